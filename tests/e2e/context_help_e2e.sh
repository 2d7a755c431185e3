#!/usr/bin/env bash
# Control help with real input on a real X server. A right click on the Tools and "What's
# this?" shows the Tools' help in a pale yellow pop-up; any key closes it. In the counter dialog
# the pointer button and then a click on the caption "Repeat for how many labels?" show the
# repeat field's help: a pop-up of two lines (the caption's own one-line text would be shorter)
# just below the caption's top.
set -euo pipefail
bin=$1
src=$2
source "$src/tests/e2e/e2e_lib.sh"
designer_workspace "$bin" "$src"
bash -euo pipefail -c '
  cd "$WORK"
  . "$WORK/e2e_lib.sh"
  . "$WORK/designer_steps.sh"
  # Waits until the help pop-up shows (or, with "gone", until it has gone); prints its box.
  popup() {
    local box="0 0 0 0"
    for i in $(seq 40); do
      shot popup
      box=$("${find[@]}" color "$WORK/popup.ppm" 255 255 232)
      if [ "${1:-}" = gone ]; then [ "$box" = "0 0 0 0" ] && break; else [ "$box" != "0 0 0 0" ] && break; fi
      sleep 0.25
    done
    echo "$box"
  }

  start
  trap "kill $pid 2>/dev/null || true" EXIT
  new_label

  # "What'"'"'s this?" on a free spot of the Tools.
  before=$(visible_windows)
  xdotool mousemove $((tx + 6)) $((ty + 104)) click 3
  more_windows "$before"
  xdotool key Down Return
  read bx by bw bh < <(popup)
  [ "$bw" -gt 200 ] || fail "no help pop-up for the Tools ($bx $by $bw $bh)"
  xdotool key a
  [ "$(popup gone)" = "0 0 0 0" ] || fail "a key did not close the pop-up"

  # The counter tool (95, 58 on the Tools) dropped on the label opens the counter dialog.
  drag $((tx + 106)) $((ty + 69)) $((px + 40)) $((py + 30))
  dlg=$(window Counter)
  eval "$(xdotool getwindowgeometry --shell "$dlg")"
  # The pointer button: the "?" at the left end of the bottom row (waited for until painted).
  for i in $(seq 100); do
    shot counter
    read qx qy qw qh < <("${find[@]}" ink "$WORK/counter.ppm" "$X" $((Y + HEIGHT - 45)) 45 45)
    [ "$qw" -gt 0 ] && break
    sleep 0.3
  done
  [ "$qw" -gt 0 ] || fail "no pointer button"
  # The two captions are the ink of the left part above the buttons; the repeat caption is the
  # lower one.
  read cx0 cy0 cw ch < <("${find[@]}" ink "$WORK/counter.ppm" "$X" "$Y" $((WIDTH * 45 / 100)) $((HEIGHT - 50)))
  [ "$ch" -gt 20 ] || fail "captions not found ($cx0 $cy0 $cw $ch)"
  xdotool mousemove $((qx + qw / 2)) $((qy + qh / 2)) click 1
  xdotool mousemove $((cx0 + 10)) $((cy0 + ch - 5)) click 1
  read bx by bw bh < <(popup)
  [ "$bw" -gt 250 ] || fail "no wrapped help pop-up for the repeat caption ($bx $by $bw $bh)"
  # Two lines of text: the repeat field'"'"'s text, not the one-line starting-number text.
  [ "$bh" -ge 30 ] || fail "the pop-up shows one line only ($bw x $bh)"
  [ "$by" -gt "$cy0" ] && [ "$by" -lt $((cy0 + ch)) ] || fail "the pop-up is not at the caption ($by vs $cy0..$((cy0 + ch)))"
  xdotool key Escape
  [ "$(popup gone)" = "0 0 0 0" ] || fail "Escape did not close the pop-up"
  xdotool key Escape
  window_gone Counter
  kill $pid
'
echo "ok"
