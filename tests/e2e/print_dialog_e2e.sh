#!/usr/bin/env bash
# Prints with the real mouse and keyboard on a real X server: File > Print Labels opens the print dialog,
# whose "Print to File (PDF)" entry is the program's PDF file printer, proposed in the folder the
# PDF printer last wrote to; 2 copies give a 2-page PDF with the label at every position of both
# sheets.
set -euo pipefail
bin=$1
src=$(cd "$2" && pwd)
source "$src/tests/e2e/e2e_lib.sh"
work=$(mktemp -d)
trap 'stop_x; [ -n "${E2E_KEEP:-}" ] && cp "$work"/*.png "$E2E_KEEP"/ 2>/dev/null; rm -rf "$work"' EXIT
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
start_x 1024x768
bash -euo pipefail -c '
  cd "$WORK"
  source "$SRC/tests/e2e/e2e_lib.sh"
  shot() { import -window root "$WORK/$1.png"; }
  ./stickwell & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  main=$(window Stickwell)
  file_menu() { # opens File with the mouse (the description field keeps the keyboard), picks by letter
    focus_window "$main"
    eval "$(xdotool getwindowgeometry --shell "$main")"
    local before
    before=$(visible_windows)
    xdotool mousemove $((X + 18)) $((Y + 8)) click 1
    more_windows "$before"
    xdotool key "$1"
  }

  file_menu p
  dialog=$(window "Print( — Stickwell)?")
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  shot dialog
  # More options: the Copies field stands 72 pixels in from the right, 215 down.
  closed=$HEIGHT
  taller() { eval "$(xdotool getwindowgeometry --shell "$dialog")"; [ "$HEIGHT" -gt "$closed" ]; }
  xdotool key alt+o
  until_true 30 taller || fail "More options did not open"
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  xdotool mousemove $((X + WIDTH - 72)) $((Y + 215)) click 1
  xdotool key ctrl+a
  xdotool type --delay 40 "2"
  shot filled
  # The output file proposed is Labels.pdf in the folder the PDF printer last wrote to.
  xdotool key Return
  printed() { [ -s "$WORK/out/Labels.pdf" ] && ! xdotool search --onlyvisible --name "^Print Status" >/dev/null 2>&1; }
  until_true 60 printed || true
  shot printed
  [ -s "$WORK/out/Labels.pdf" ] || fail "no PDF was written in the remembered folder"

  file_menu e
  window "Exit( — Stickwell)?" >/dev/null
  xdotool key Return
  process_gone $pid
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
