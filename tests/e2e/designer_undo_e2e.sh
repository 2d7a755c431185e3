#!/usr/bin/env bash
# Undo and redo with the real keyboard and mouse on a real X server: a new label, the rectangle
# tool dropped on it, the rectangle dragged away, Ctrl+Z twice (the move, then the drop),
# Ctrl+Shift+Z (the drop again), Save. The label table must then hold the one rectangle where
# it was dropped, and a restarted program must show the same label.
set -euo pipefail
bin=$1
src=$2
source "$src/tests/e2e/e2e_lib.sh"
designer_workspace "$bin" "$src"
bash -euo pipefail -c '
  cd "$WORK"
  . "$WORK/e2e_lib.sh"
  . "$WORK/designer_steps.sh"
  ink() { # the dark pixels of the part of the label the rectangle may stand on: "X Y W H"
    shot "$1"
    "${find[@]}" ink "$WORK/$1.ppm" $((px + 30)) $((py + 20)) 90 65
  }

  start
  new_label

  # The rectangle tool dropped at label point (40, 30), then dragged by (40, 20).
  drag $((tx + 53)) $((ty + 42)) $((px + 40)) $((py + 30))
  drag $((px + 52)) $((py + 42)) $((px + 92)) $((py + 62))
  moved=$(ink moved)
  # Undo the move, then the drop; redo the drop.
  xdotool key --window "$main" ctrl+z
  sleep 0.8
  back=$(ink back)
  xdotool key --window "$main" ctrl+z
  sleep 0.8
  none=$(ink none)
  xdotool key --window "$main" ctrl+shift+z
  sleep 0.8
  again=$(ink again)
  echo "moved: $moved; back: $back; none: $none; again: $again"
  [ "$none" = "0 0 0 0" ] || { echo "the drop was not undone: $none"; exit 1; }
  [ "$back" = "$again" ] || { echo "redo did not bring back the dropped rectangle"; exit 1; }
  [ "$moved" != "$back" ] || { echo "the move was not undone"; exit 1; }

  # Clear the selection, picture the label, save.
  xdotool mousemove $((px + lw - 30)) $((py + lh - 20)) click 1
  sleep 0.5
  shot designed
  xdotool key --window "$main" alt+s
  sleep 1.5
  quit

  saved_items 1 "LABELITEM=RECTANGLE\\r\\nTOP=0.313\\r\\nLEFT=0.417\\r\\nWIDTH=0.260\\r\\nHEIGHT=0.260\\r\\n"

  restarted_alike 150
  quit
'
echo "ok"
