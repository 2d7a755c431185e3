# Helpers for checks that drive the program on an X server, sourced inside the xvfb-run shell.
#   shot NAME      screenshot of the whole screen into $WORK/NAME.png
#   window TITLE   waits (up to 20 s) for a visible window with exactly this title; echoes its id

shot() { import -window root "$WORK/$1.png"; }

window() {
  local id="" i
  for i in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || { echo "no window \"$1\"" >&2; shot "missing-window"; return 1; }
  echo "$id"
}
