#!/usr/bin/env bash
# Prints with the real mouse and keyboard on a real X server: File > Print Labels opens the print dialog,
# whose "Print to File (PDF)" entry is the program's PDF file printer, proposed in the folder the
# PDF printer last wrote to; 2 copies give a 2-page PDF with the label at every position of both
# sheets.
set -euo pipefail
bin=$1
src=$(cd "$2" && pwd)
work=$(mktemp -d)
trap '[ -n "${E2E_KEEP:-}" ] && cp "$work"/*.png "$E2E_KEEP"/ 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$bin"/. "$work"/
bin=$work
# shellcheck source=label_table.sh
source "$src/tests/e2e/label_table.sh"
printf '%s\n' LABELITEM=RECTANGLE TOP=0.050 LEFT=0.100 WIDTH=0.500 HEIGHT=0.300 BRUSHSTYLE=SOLID \
  COLOR=0 LINETHICKNESS=0 LINECOLOR=0 \
  LABELITEM=TEXT "TEXT=Hello world" TOP=0.050 LEFT=0.750 WIDTH=0.800 HEIGHT=0.170 FONTNAME=Arial \
  FONTCOLOR=0 FONTSIZE=10 FONTBOLD=Y FONTITALIC=N FONTUNDER=N ANGLE=0 RELATIVEX=0.000 RELATIVEY=0.000 \
  > "$work/items.txt"
label_table_create "$work"
label_table_add "$work" Marks LTR "$work/items.txt"
mkdir "$work/out"
printf '[Remember]\r\nLastUse=1\r\n[PDF file]\r\nFolder=%s\r\n' "$work/out" > "$work/QX.INI"
# No print server: the PDF file printer is the only one, as on a machine without printers.
export CUPS_SERVER=/nonexistent/cups.sock
export WORK=$work SRC=$src
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" bash -euo pipefail -c '
  cd "$WORK"
  source "$SRC/tests/e2e/x_window.sh"
  ./stickwell & pid=$!
  main=$(window Stickwell)
  sleep 1.5
  file_menu() { # opens File with the mouse (the description field keeps the keyboard), picks by letter
    xdotool windowactivate --sync "$main" 2>/dev/null || true
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + 18)) $((Y + 8)) click 1
    sleep 0.7
    xdotool key "$1"
  }

  file_menu p
  dialog=$(window "Print( — Stickwell)?")
  sleep 1
  shot dialog
  # More options: the Copies field stands 72 pixels in from the right, 215 down.
  xdotool key alt+o
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  xdotool mousemove $((X + WIDTH - 72)) $((Y + 215)) click 1
  sleep 0.3
  xdotool key ctrl+a
  xdotool type --delay 40 "2"
  sleep 0.3
  shot filled
  # The output file proposed is Labels.pdf in the folder the PDF printer last wrote to.
  xdotool key Return
  for i in $(seq 300); do
    [ -s "$WORK/out/Labels.pdf" ] && ! xdotool search --onlyvisible --name "^Print Status" >/dev/null 2>&1 && break
    sleep 0.2
  done
  sleep 1
  shot printed
  [ -s "$WORK/out/Labels.pdf" ] || { echo "no PDF was written in the remembered folder"; kill $pid; exit 1; }

  file_menu e
  window "Exit( — Stickwell)?" >/dev/null
  xdotool key Return
  for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "still running"; kill $pid; exit 1; fi
'
out=$work/out/Labels.pdf
pdfinfo "$out" | grep -q '^Pages: *2$' || { echo "FAIL: $(pdfinfo "$out" | grep Pages)"; exit 1; }
[ "$(pdftotext "$out" - | grep -c 'Hello world')" = 60 ] || { echo "FAIL: not 60 labels of text"; exit 1; }
for page in 1 2; do
  awk 'BEGIN { for (r = 0; r < 10; r++) for (c = 0; c < 3; c++)
    printf "rect-r%dc%d %.4f %.4f 0.5 0.3\n", r + 1, c + 1, 0.188 + c * 2.75 + 0.1, 0.5 + r + 0.05 }' \
    | /usr/bin/python3 "$src/tests/e2e/pdf_marks.py" "$out" "$page" 200 0.3 \
    || { echo "FAIL: page $page"; exit 1; }
done
echo "print dialog e2e: ok"
