#!/usr/bin/env bash
# Starts the program on a real X server, looks at its window, and leaves it through
# File > Exit > "Exit program?" > Yes. The program runs from a scratch copy of its folder so
# that its data files are made there.
set -euo pipefail
bin=$1
src=$2
source "$src/tests/e2e/e2e_lib.sh"
work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
cp -r "$bin"/. "$work"/
cd "$work"
start_x 1024x768
./stickwell & pid=$!
wid=$(window Stickwell)
focus_window "$wid"
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" -eq 602 ] || fail "window width $WIDTH"
import -window root "$work/screen.png"
xdotool key --window "$wid" alt+f sleep 0.3 key e
window Exit >/dev/null
xdotool key Return
process_gone $pid
wait $pid
echo "ok"
