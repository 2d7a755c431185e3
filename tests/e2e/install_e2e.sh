#!/usr/bin/env bash
# An installed program works: `cmake --install` into a scratch prefix, then the installed
# program, started with an empty XDG_DATA_HOME, makes its label table there, offers the whole
# stock template catalogue (its copy in the user's folder equals the installed one and the
# template chooser opens on it) and opens help at the main window's page.
set -euo pipefail
bin=$1
work=$(mktemp -d)
xvfb=""
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "$*" >&2; exit 1; }

cmake --install "$bin/.." --prefix "$work/prefix" >/dev/null
share=$work/prefix/share/stickwell
for f in QXLTPL.DBF QXLTPL.CDX wingdings-unicode.tsv help/index.html help/1001.html; do
  [ -f "$share/$f" ] || fail "not installed: share/stickwell/$f"
done

# An X server of its own: it picks a free display and reports it.
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp 3>"$work/display" 2>/dev/null & xvfb=$!
for i in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")

mkdir -p "$work/home" "$work/xdg"
export HOME=$work/home XDG_DATA_HOME=$work/xdg
unset STICKWELL_DATA_DIR
user=$XDG_DATA_HOME/Stickwell

window() { # waits for a visible window whose title is this text (Qt may add " — Stickwell")
  local id=""
  for i in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "^$1( — Stickwell)?\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && break
    sleep 0.2
  done
  [ -n "$id" ] || fail "no window \"$1\""
  echo "$id"
}
gone() { # waits until no visible window has this title
  for i in $(seq 300); do
    xdotool search --onlyvisible --name "^$1( — Stickwell)?\$" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  fail "window \"$1\" stays"
}
keys() { # focuses the window, then types the keys
  local w=$1; shift
  xdotool windowfocus --sync "$w" 2>/dev/null || true
  for k in "$@"; do xdotool key "$k"; sleep 0.2; done
}

(cd "$work" && exec "$work/prefix/bin/stickwell") & pid=$!
main=$(window Stickwell)
for i in $(seq 300); do [ -f "$user/QXLBLS.DBF" ] && [ -f "$user/QXLBLS.CDX" ] && break; sleep 0.2; done
[ -f "$user/QXLBLS.DBF" ] || fail "no label table in \$XDG_DATA_HOME/Stickwell"
[ -z "$(ls "$work/prefix/bin" | grep -i -e qxlbls -e qx.ini || true)" ] || fail "data written beside the installed program"
cmp -s "$share/QXLTPL.DBF" "$user/QXLTPL.DBF" || fail "the user's template catalogue differs from the installed one"

# New Label opens the template chooser on that catalogue (not "unable to open").
keys "$main" alt+f n
chooser=$(window "Select Label Template")
keys "$chooser" Escape
gone "Select Label Template"

# The Help button opens help at the main window's page: Alt+H (shared with the Help menu) puts
# the focus on the button, Space presses it.
keys "$main" alt+h space
help=$(window "Stickwell Help - The main window")
keys "$help" Escape
gone "Stickwell Help - The main window"

keys "$main" alt+f e
ask=$(window Exit)
keys "$ask" Return
for i in $(seq 100); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
if kill -0 $pid 2>/dev/null; then kill $pid; fail "still running"; fi
wait $pid || fail "the program ended with an error"
grep -q "LastUse" "$user/QX.INI" || fail "QX.INI not in \$XDG_DATA_HOME/Stickwell"
[ -z "$(ls -A "$work/home")" ] || fail "files written into HOME: $(ls -A "$work/home")"
echo "ok"
