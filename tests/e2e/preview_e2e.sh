#!/usr/bin/env bash
# The preview with real input on a real X server: a label on the 5160 stock (3 across, 10 down
# on letter paper) with a rectangle, saved; File > Preview Labels opens "Preview Labels" with
# the sheet at 100 % (wider than the window); zoom in; page width makes the sheet exactly as
# wide as the room; whole page shows all of it; Close.
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
  trap "kill $pid 2>/dev/null || true" EXIT
  new_label "Avery 5160"
  # A rectangle (42, 31 on the Tools) on the label, then Save.
  drag $((tx + 53)) $((ty + 42)) $((px + 30)) $((py + 20))
  xdotool key --window "$main" alt+s

  before=$(visible_windows)
  xdotool key --window "$main" alt+f
  more_windows "$before"
  xdotool key v
  pv=$(window "Preview Labels")
  eval "$(xdotool getwindowgeometry --shell "$pv")"
  wx=$X; wy=$Y
  [ "$WIDTH" -eq 608 ] && [ "$HEIGHT" -eq 424 ] || fail "preview window is $WIDTH x $HEIGHT"
  # The view: the scroll area inside the window, screenshot into NAME-box.ppm.
  view() {
    shot "$1"
    convert "$WORK/$1.png" -crop 600x375+$((wx + 2))+$((wy + 2)) +repage "$WORK/$1-box.ppm"
  }
  # The sheet: the largest white area inside the view, once the view shows one, differs from
  # the previous step'"'"'s view and holds still.
  last=""
  sheet() {
    local i
    for (( i = 0; i < 100; i++ )); do
      view "$1"
      if [ -n "$last" ] && cmp -s "$WORK/$1-box.ppm" "$WORK/$last-box.ppm"; then
        sleep 0.3
        continue
      fi
      read -r x y w h < <("${find[@]}" label "$WORK/$1-box.ppm")
      [ "$w" -gt 0 ] || { sleep 0.3; continue; }
      cp "$WORK/$1-box.ppm" "$WORK/$1-first.ppm"
      sleep 0.3
      view "$1"
      cmp -s "$WORK/$1-box.ppm" "$WORK/$1-first.ppm" && break
    done
    last=$1
    "${find[@]}" label "$WORK/$1-box.ppm"
  }
  # The buttons stand in the 41-pixel bar at the bottom, 25 x 25 from x = 8.
  button() { xdotool mousemove $((wx + $1 + 12)) $((wy + 383 + 20)) click 1; }
  read x y w h < <(sheet at100)
  # At 100 % the page (816 pixels) is wider than the room: white across the whole view.
  [ "$w" -gt 540 ] && [ "$h" -gt 320 ] || fail "no sheet at 100 % ($x $y $w $h)"
  button 8
  read x y w h < <(sheet zoomed)
  [ "$w" -gt 540 ] || fail "no sheet after zoom in ($x $y $w $h)"
  button 60
  read x y w h < <(sheet width)
  # Page width: the white page is the view less the two 20-pixel margins (the vertical scroll
  # bar takes its part of the view).
  [ "$x" -ge 18 ] && [ "$x" -le 24 ] && [ "$w" -gt 500 ] && [ "$w" -lt 570 ] || fail "page width shows $x $y $w $h"
  button 86
  read x y w h < <(sheet whole)
  # Whole page: 32 % of 816 x 1056, about 262 x 339, wholly inside the view.
  [ "$w" -ge 255 ] && [ "$w" -le 268 ] && [ "$h" -ge 332 ] && [ "$h" -le 345 ] || fail "whole page shows $x $y $w $h"
  xdotool mousemove $((wx + 608 - 83 + 37)) $((wy + 383 + 20)) click 1
  window_gone "Preview Labels"
  kill $pid
'
echo "ok"
