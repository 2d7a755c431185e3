#!/usr/bin/env bash
# Designs a label with the real mouse on a real X server: a new label, the rectangle tool
# dragged onto it, its bottom-right handle dragged to resize it, a text tool drop with a typed
# caption, the text turned to 90 degrees on the rotation dial, Save. The label table must then
# hold both items where the mouse put them, and a restarted program must show the same label.
set -euo pipefail
bin=$1
src=$2
source "$src/tests/e2e/e2e_lib.sh"
designer_workspace "$bin" "$src"
bash -euo pipefail -c '
  cd "$WORK"
  . "$WORK/e2e_lib.sh"
  . "$WORK/designer_steps.sh"

  start
  new_label
  echo "label at $px,$py ${lw}x$lh; tools at $tx,$ty"

  # The rectangle tool (42, 31 on the Tools) dropped at label point (40, 30).
  drag $((tx + 53)) $((ty + 42)) $((px + 40)) $((py + 30))
  # Its bottom-right handle square lies 2..6 pixels past the 25 x 25 box: drag it by (40, 20).
  drag $((px + 66)) $((py + 56)) $((px + 106)) $((py + 76))
  # The text tool (16, 31) dropped at (150, 40), caption typed.
  drag $((tx + 27)) $((ty + 42)) $((px + 150)) $((py + 40))
  q=$(window Text)
  xdotool key --window "$q" ctrl+a
  xdotool type --delay 40 "Hello"
  xdotool key Return
  sleep 0.8
  # Its menu by a right press, fourth entry "Rotation".
  xdotool mousemove $((px + 155)) $((py + 46)) click 3
  sleep 0.6
  xdotool key Down Down Down Down Return
  rot=$(window "Set Rotation")
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$rot")"
  shot rotation
  # The dial is the circle in the right part of the dialog; drag straight up from its centre.
  read bx by bw bh < <("${find[@]}" ink "$WORK/rotation.ppm" $((X + WIDTH * 62 / 100)) "$Y" $((WIDTH * 38 / 100)) $((HEIGHT - 45)))
  dx=$((bx + bw - 1 - 56)); dy=$((by + 56))
  drag "$dx" $((dy - 20)) "$dx" $((dy - 45))
  xdotool key Return
  sleep 0.8
  # A tool released over the grey margin left of the label makes nothing.
  drag $((tx + 53)) $((ty + 42)) $((px - 8)) $((py + 100))
  # Clear the selection, picture the label, save.
  xdotool mousemove $((px + lw - 30)) $((py + lh - 20)) click 1
  sleep 0.5
  shot designed
  xdotool key --window "$main" alt+s
  sleep 1.5

  quit

  # The table belongs to the running program; read it once it has gone.
  # The rectangle dropped at (40, 30) and sized to 65 x 45, the text at (150, 40) turned to 90,
  # in inches at 96 pixels per inch, in the order they were made.
  saved_items 2 "LABELITEM=RECTANGLE\\r\\nTOP=0.313\\r\\nLEFT=0.417\\r\\nWIDTH=0.677\\r\\nHEIGHT=0.469\\r\\n" \
                "LABELITEM=TEXT\\r\\nTEXT=Hello\\r\\nTOP=0.417\\r\\nLEFT=1.563\\r\\n" \
                "ANGLE=90\\r\\n"

  restarted_alike 150
  quit
'
echo "ok"
