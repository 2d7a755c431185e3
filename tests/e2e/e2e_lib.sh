# Shared by the end-to-end checks: an X server of their own and waiting for what a step makes.
# Source it, then call start_x. Every wait polls with a generous limit instead of sleeping a
# fixed time, so a loaded machine only makes a check slower, never red.

fail() { echo "FAIL: $*" >&2; exit 1; }

# start_x [WxH]: a fresh Xvfb on a display number the server picks itself (-displayfd), so
# checks running side by side never share or race for one. Sets DISPLAY; stop_x ends it.
start_x() {
  local size=${1:-1024x768} fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp -noreset 3>"$fd_file" \
    >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 300); do
    [ -s "$fd_file" ] && break
    kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start"
    sleep 0.1
  done
  [ -s "$fd_file" ] || fail "Xvfb gave no display number"
  export DISPLAY=":$(head -1 "$fd_file")"
  rm -f "$fd_file"
  unset XAUTHORITY
  export QT_QPA_PLATFORM=xcb
}

stop_x() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=
  return 0
}

# designer_workspace BIN SRC: a copy of the built program in a temporary folder ($work, also
# exported as WORK) with no label table or QX.INI yet, the designer's helper scripts beside it,
# and an X server of its own; both go when the script ends (screenshots are kept in $E2E_KEEP
# when it is set).
designer_workspace() {
  work=$(mktemp -d)
  trap 'stop_x; [ -n "${E2E_KEEP:-}" ] && cp "$work"/*.png "$E2E_KEEP"/ 2>/dev/null; rm -rf "$work"' EXIT
  cp -r "$1"/. "$work"/
  rm -f "$work"/QXLBLS.* "$work"/QX.INI
  cp "$2/tests/e2e/designer_find.py" "$2/tests/e2e/designer_steps.sh" "$2/tests/e2e/e2e_lib.sh" "$work/"
  export WORK=$work
  start_x 1024x768
}

# until_true SECONDS COMMAND...: polls the command every 0.1 s until it succeeds.
until_true() {
  local limit=$(( $1 * 10 )) i
  shift
  for (( i = 0; i < limit; i++ )); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# window TITLE: waits (up to 30 s) for a visible window with exactly this title; prints its id.
window() {
  local id="" i
  for (( i = 0; i < 300; i++ )); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || fail "no window \"$1\""
  echo "$id"
}

# window_gone TITLE: waits (up to 30 s) until no visible window has this title.
window_gone() {
  until_true 30 bash -c "! xdotool search --onlyvisible --name '^$1\$'" || fail "window \"$1\" stays open"
}

# process_gone PID: waits (up to 30 s) for the process to end.
process_gone() {
  until_true 30 bash -c "! kill -0 $1" || { kill "$1" 2>/dev/null; fail "program still running"; }
}

# visible_windows: how many windows the X server shows (menus and pop-ups included).
visible_windows() { xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l; }

# more_windows N: waits (up to 30 s) until more than N windows show: a menu or pop-up has opened.
more_windows() {
  until_true 30 bash -c "[ \$(xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l) -gt $1 ]" \
    || fail "no menu or pop-up opened"
}

# focus_window ID: gives the window the keyboard (there is no window manager to activate it)
# and waits until the server reports it focused.
focus_window() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1" 2>/dev/null || true
  until_true 30 bash -c "[ \"\$(xdotool getwindowfocus)\" = $1 ] || { xdotool windowfocus $1; false; }" \
    || fail "window $1 does not take the focus"
}
