#!/usr/bin/env bash
# A label in five scripts with the real mouse and keyboard: a text tool dropped on a new label,
# its caption pasted in Polish, Greek, Ukrainian, Japanese and Hebrew, Save, the program restarted.
# The table must hold the caption as UTF-8 behind the memo's mark, the restarted program must
# show the same label, and the label printed to PDF must give back every word as text.
set -euo pipefail
bin=$1
src=$2
source "$src/tests/e2e/e2e_lib.sh"
work=$(mktemp -d)
trap 'stop_x; [ -n "${E2E_KEEP:-}" ] && cp "$work"/*.png "$work"/*.pdf "$E2E_KEEP"/ 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$bin"/. "$work"/
cp "$src/tests/e2e/designer_find.py" "$src/tests/e2e/designer_steps.sh" "$src/tests/e2e/e2e_lib.sh" "$work/"
export WORK=$work
start_x 1024x768
bash -euo pipefail -c '
  cd "$WORK"
  . "$WORK/e2e_lib.sh"
  . "$WORK/designer_steps.sh"
  words="Łódź Ελλάδα Київ 東京 שלום"

  start
  new_label

  # The text tool dropped at (20, 30), the caption typed.
  drag $((tx + 27)) $((ty + 42)) $((px + 20)) $((py + 30))
  q=$(window Text)
  xdotool key --window "$q" ctrl+a
  # Pasted, not typed: xdotool types a character missing from the keymap by remapping a spare
  # key for a moment, and on a loaded machine the program reads the keymap after the next
  # remapping, so Hebrew letters arrive as the wrong ones.
  printf %s "$words" | xclip -selection clipboard
  xdotool key --window "$q" ctrl+v
  sleep 0.5
  xdotool key Return
  sleep 0.8
  xdotool mousemove $((px + lw - 20)) $((py + lh - 15)) click 1
  sleep 0.5
  shot designed
  xdotool key --window "$main" alt+s
  sleep 1.5
  quit

  # The caption as UTF-8, behind the mark that says so.
  saved_items 1 "CHARSET=UTF-8\\r\\nLABELITEM=TEXT\\r\\nTEXT=$words\\r\\n"

  restarted_alike 100
  # The preview shows the sheet (looked at, not compared: its zoom follows the window).
  xdotool key --window "$main" alt+f
  sleep 0.3
  xdotool key v
  # Its title holds a dash outside Latin-1, which the window name may carry in another
  # encoding: the window is found by the start of its title.
  preview=""
  for i in $(seq 150); do
    preview=$(xdotool search --onlyvisible --name "^Preview Labels" 2>/dev/null | head -1 || true)
    [ -n "$preview" ] && break
    sleep 0.2
  done
  [ -n "$preview" ] || { echo "no preview window"; shot nopreview; exit 1; }
  sleep 2
  shot preview
  xdotool windowfocus --sync "$preview" 2>/dev/null || true
  xdotool key Escape
  for i in $(seq 50); do
    xdotool search --onlyvisible --name "^Preview Labels" >/dev/null 2>&1 || break
    sleep 0.2
  done
  xdotool windowfocus --sync "$main" 2>/dev/null || true
  quit

  # Printed to PDF, every word comes back as text and every font is embedded.
  ./stickwell-batch print --table QXLBLS.DBF --label "{untitled label}" --pdf world.pdf
  pdftotext world.pdf world.txt
  for w in $words; do
    grep -qF "$w" world.txt || { echo "the PDF lacks $w"; cat world.txt; exit 1; }
  done
  if pdffonts world.pdf | tail -n +3 | grep -v " yes " | grep -q .; then
    echo "fonts not embedded:"; pdffonts world.pdf; exit 1
  fi
'
echo "ok"
