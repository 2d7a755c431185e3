#!/usr/bin/env bash
# Every item dialog opens centred over the main window and inside a 1024 x 768 screen: the
# real program on a real X server, each dialog opened the way a user opens it (a tool dropped
# on the label, an entry of an item's menu), its place read from the X server and from a
# screenshot (the area that changed when it opened).
set -euo pipefail
bin=$1
src=$2
source "$src/tests/e2e/e2e_lib.sh"
work=$(mktemp -d)
trap '[ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; stop_x; [ -n "${E2E_KEEP:-}" ] && cp "$work"/*.png "$E2E_KEEP"/ 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$bin"/. "$work"/
rm -f "$work"/QXLBLS.* "$work"/QX.INI
cd "$work"
start_x 1024x768
find=(/usr/bin/python3 "$src/tests/e2e/designer_find.py")
screen_w=1024 screen_h=768

shot() { import -window root "$work/$1.png"; }
drag() { # x0 y0 x1 y1: press, move in steps, release
  xdotool mousemove "$1" "$2" sleep 0.2 mousedown 1 sleep 0.3 \
    mousemove $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 )) sleep 0.3 mousemove "$3" "$4" sleep 0.3 mouseup 1
}
geometry() { # id -> "X Y W H", once two reads a moment apart agree (the window has settled)
  local a b
  b=$(xdotool getwindowgeometry --shell "$1" | tr '\n' ' ')
  for _ in $(seq 50); do
    sleep 0.1
    a=$b
    b=$(xdotool getwindowgeometry --shell "$1" | tr '\n' ' ')
    [ "$a" = "$b" ] && break
  done
  eval "$b"
  echo "$X $Y $WIDTH $HEIGHT"
}
checked=0
# centred TITLE: the dialog with this title must be centred over the main window (within 3
# pixels; pushed inside the screen where centring would leave it), wholly on the screen, and
# the screenshot must show it there. Closes it with Escape.
centred() {
  local id mx my mw mh x y w h ex ey box
  id=$(window "$1")
  read -r mx my mw mh < <(geometry "$main")
  read -r x y w h < <(geometry "$id")
  ex=$(( mx + (mw - w) / 2 )); ey=$(( my + (mh - h) / 2 ))
  ex=$(( ex < 0 ? 0 : ex + w > screen_w ? screen_w - w : ex ))
  ey=$(( ey < 0 ? 0 : ey + h > screen_h ? screen_h - h : ey ))
  echo "$1: ${w}x$h at $x,$y; main ${mw}x$mh at $mx,$my; centred at $ex,$ey"
  (( x - ex <= 3 && ex - x <= 3 && y - ey <= 3 && ey - y <= 3 )) || fail "\"$1\" is not centred"
  (( x >= 0 && y >= 0 && x + w <= screen_w && y + h <= screen_h )) || fail "\"$1\" leaves the screen"
  local name=${1// /_}
  shot "$name"
  # What the dialog's opening changed on the screen lies within a few pixels of its place.
  box=$(convert "$work/before.png" "$work/$name.png" -compose difference -composite \
        -threshold 0 -trim -format "%w %h %X %Y" info: | tr -d '+')
  read -r bw bh bx by <<<"$box"
  echo "  changed on screen: ${bw}x$bh at $bx,$by"
  (( bx >= x - 3 && by >= y - 3 && bx + bw <= x + w + 3 && by + bh <= y + h + 3 )) \
    || fail "the screenshot shows \"$1\" elsewhere"
  # (Without a window manager a dialog has no frame, and its margins match the window behind.)
  (( bw * bh * 2 >= w * h )) || fail "the screenshot shows little of \"$1\""
  xdotool key Escape
  window_gone "$1"
  checked=$((checked + 1))
}
windows() { xdotool search --onlyvisible --name "" 2>/dev/null | wc -l; }
menu_entry() { # x y downs: the item selected by a click, a screenshot, then its menu by a right
  # press and the entry
  local n
  xdotool mousemove "$1" "$2" click 1
  sleep 0.5
  shot before
  n=$(windows)
  xdotool click 3
  until_true 30 test "$(windows)" -gt "$n" || fail "no item menu at $1, $2"
  for (( i = 0; i < $3; i++ )); do xdotool key Down; done
  xdotool key Return
}

./stickwell & pid=$!
main=$(window Stickwell)
focus_window "$main"
# File > New Label, the first template.
xdotool key --window "$main" alt+f sleep 0.3 key n
tpl=$(window "Select Label Template")
xdotool key Return
window_gone "Select Label Template"
sleep 1
shot empty
convert "$work/empty.png" "$work/empty.ppm"
read -r lx ly lw lh < <("${find[@]}" label "$work/empty.ppm")
px=$((lx - 1)) py=$((ly - 1))
read -r mx my mw mh < <(geometry "$main")
# The Tools stand at top 60 of the client area (17, 57 before the panel), right-aligned with 10
# pixels to spare; its buttons' centres are below.
tx=$((px - 17 + mw - 161 - 10)) ty=$((py - 57 + 60))
echo "label at $px,$py ${lw}x$lh; tools at $tx,$ty"

shot before
drag $((tx + 27)) $((ty + 42)) $((px + 20)) $((py + 20))   # text
centred Text
drag $((tx + 27)) $((ty + 42)) $((px + 20)) $((py + 20))
q=$(window Text)
xdotool type --delay 40 "Hi"
xdotool key Return
window_gone Text
menu_entry $((px + 24)) $((py + 26)) 2
centred Font
menu_entry $((px + 24)) $((py + 26)) 3
centred Color
menu_entry $((px + 24)) $((py + 26)) 4
centred "Set Rotation"
xdotool mousemove $((px + lw - 20)) $((py + lh - 10)) click 1
sleep 0.5
shot before
drag $((tx + 132)) $((ty + 42)) $((px + 150)) $((py + 20))  # symbol
centred "Select Symbol"
shot before
drag $((tx + 80)) $((ty + 69)) $((px + 150)) $((py + 60))   # image
centred "Image Browse"
# A dropped counter asks at its own place; its menu's Counter Values opens centred.
drag $((tx + 106)) $((ty + 69)) $((px + 80)) $((py + 60))
c=$(window Counter)
xdotool key Return
window_gone Counter
menu_entry $((px + 84)) $((py + 66)) 1
centred Counter

kill "$pid" 2>/dev/null || true
echo "dialogs centred: $checked of 7"
[ "$checked" -eq 7 ]
