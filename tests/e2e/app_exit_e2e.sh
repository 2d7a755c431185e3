#!/usr/bin/env bash
# Starts the program on a real X server, looks at its window, and leaves it through
# File > Exit > "Exit program?" > Yes. The program runs from a scratch copy of its folder so
# that its data files are made there.
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$bin"/. "$work"/
export WORK=$work
xvfb-run -a -s "-screen 0 1024x768x24" bash -euo pipefail -c '
  cd "$WORK"
  ./stickwell & pid=$!
  for i in $(seq 50); do
    wid=$(xdotool search --onlyvisible --name "^Stickwell$" 2>/dev/null | head -1 || true)
    [ -n "$wid" ] && break
    sleep 0.2
  done
  [ -n "$wid" ] || { echo "no main window"; exit 1; }
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$wid")"
  [ "$WIDTH" -eq 602 ] || { echo "window width $WIDTH"; exit 1; }
  import -window root "$WORK/screen.png"
  xdotool windowactivate --sync "$wid" 2>/dev/null || xdotool windowfocus --sync "$wid"
  xdotool key --window "$wid" alt+f
  sleep 0.3
  xdotool key e
  sleep 0.5
  box=$(xdotool search --onlyvisible --name "^Exit$" | head -1 || true)
  [ -n "$box" ] || { echo "no Exit program? box"; kill $pid; exit 1; }
  xdotool key Return
  for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "still running"; kill $pid; exit 1; fi
  wait $pid
'
echo "ok"
