# Steps shared by the end-to-end checks that drive the design panel: sourced inside their X
# session, in the working copy of the program (WORK).
find=(/usr/bin/python3 "$WORK/designer_find.py")
shot() { import -window root "$WORK/$1.png"; convert "$WORK/$1.png" "$WORK/$1.ppm"; }
window() { # waits for a visible window with this exact title
  local id=""
  for i in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "no window \"$1\"" >&2; return 1; }
  echo "$id"
}
drag() { # x0 y0 x1 y1: press, move in steps, release
  xdotool mousemove "$1" "$2"
  sleep 0.2
  xdotool mousedown 1
  sleep 0.4
  xdotool mousemove $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))
  sleep 0.3
  xdotool mousemove "$3" "$4"
  sleep 0.4
  xdotool mouseup 1
  sleep 1
}
start() {
  ./stickwell & pid=$!
  main=$(window Stickwell)
  sleep 1
  xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"
}
quit() {
  xdotool key --window "$main" alt+f
  sleep 0.3
  xdotool key e
  box=$(window Exit)
  xdotool key Return
  for i in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "still running"; kill $pid; exit 1; fi
}
