#!/usr/bin/env bash
# Zoom with the real keyboard and mouse on a real X server: a new label zoomed to 150 % with
# Ctrl+plus and to 200 % with Ctrl+wheel, the rectangle tool dropped at screen point (80, 60) of
# the label, the rectangle dragged by (80, 40) and nudged right with the arrow key, Save. The
# label table must hold the rectangle in label pixels: dropped at (40, 30), moved by (40, 20)
# and one pixel, 25 pixels square as at 100 %.
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
  new_label "Avery 5160"
  w100=$lw; h100=$lh
  # Room for the label at 200 % beside the Tools: the window made larger in the corner of the screen,
  # then a click on the top bar puts the Tools at its right.
  xdotool windowmove --sync "$main" 0 0
  xdotool windowsize --sync "$main" 1000 700
  sleep 0.5
  shot large
  read lx ly lw lh < <("${find[@]}" label "$WORK/large.ppm")
  # Nothing scrolls at these sizes: the panel keeps its corner (px, py) at every zoom.
  px=$((lx - 1)); py=$((ly - 1))
  cx=$((px - 17)); cy=$((py - 57))
  xdotool mousemove $((cx + 4)) $((cy + 44)) click 1
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$main")"
  tx=$((cx + WIDTH - 161 - 10)); ty=$((cy + 60))

  # The label is found anew until it shows at the wanted width.
  zoomed_to() { # PERCENT: the white inside of the label (inside its outline) at that zoom
    shot zoomed
    read lx ly lw lh < <("${find[@]}" label "$WORK/zoomed.ppm")
    local want=$(( (w100 + 2) * $1 / 100 - 2 ))
    [ $((lw - want)) -le 3 ] && [ $((want - lw)) -le 3 ]
  }
  xdotool key --window "$main" ctrl+plus
  until_true 30 zoomed_to 150 || fail "Ctrl+plus did not zoom to 150 %: ${lw}x$lh from ${w100}x$h100"
  shot at150
  xdotool mousemove $((lx + 20)) $((ly + 20))
  sleep 0.3
  xdotool keydown ctrl click 4 keyup ctrl
  until_true 30 zoomed_to 200 || fail "Ctrl+wheel did not zoom to 200 %: ${lw}x$lh from ${w100}x$h100"
  echo "label at $px,$py ${lw}x$lh at 200 % (${w100}x$h100 at 100 %); tools at $tx,$ty"

  # The rectangle tool (42, 31 on the Tools) dropped at screen point (80, 60) of the label.
  drag $((tx + 53)) $((ty + 42)) $((px + 80)) $((py + 60))
  # Grabbed in its middle (it shows 50 pixels square) and dragged by (80, 40); nudged right.
  drag $((px + 105)) $((py + 85)) $((px + 185)) $((py + 125))
  xdotool key --window "$main" Right
  sleep 0.8
  shot selected
  # Clear the selection; the rectangle shows at twice its size once the handle has gone.
  xdotool mousemove $((px + lw - 30)) $((py + lh - 20)) click 1
  shown_double() {
    shot designed
    read bx by bw bh < <("${find[@]}" ink "$WORK/designed.ppm" $((px + 100)) $((py + 60)) 160 120)
    [ "$bw" -ge 49 ] && [ "$bw" -le 51 ] && [ "$bh" -ge 49 ] && [ "$bh" -le 51 ]
  }
  until_true 30 shown_double || fail "the rectangle does not show at 200 %: ${bw}x$bh"
  echo "rectangle on screen at $((bx - px)),$((by - py)) ${bw}x$bh"
  xdotool key --window "$main" alt+s
  sleep 1.5
  quit

  # (81, 50) and 25 x 25 label pixels at 96 pixels per inch.
  saved_items 1 "LABELITEM=RECTANGLE\\r\\nTOP=0.521\\r\\nLEFT=0.844\\r\\nWIDTH=0.260\\r\\nHEIGHT=0.260\\r\\n"
'
echo "ok"
