# Steps shared by the end-to-end checks that drive the design panel: sourced inside their X
# session, in the working copy of the program (WORK), after e2e_lib.sh (window, window_gone,
# until_true, fail).
find=(/usr/bin/python3 "$WORK/designer_find.py")
shot() { import -window root "$WORK/$1.png"; convert "$WORK/$1.png" "$WORK/$1.ppm"; }
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
new_label() { # File > New Label on the first template (or the one whose name starts with $1); sets
              # the label's corner (px, py) and the Tools' (tx, ty)
  xdotool key --window "$main" alt+f
  sleep 0.3
  xdotool key n
  window "Select Label Template" >/dev/null
  sleep 0.5
  [ -z "${1:-}" ] || { xdotool type --delay 40 "$1"; sleep 0.5; }
  xdotool key Return
  window_gone "Select Label Template"
  sleep 1
  shot empty
  read lx ly lw lh < <("${find[@]}" label "$WORK/empty.ppm")
  # The panel starts one pixel outside its white inside; the window client area 17, 49 + 8 before it.
  px=$((lx - 1)); py=$((ly - 1))
  local cx=$((px - 17)) cy=$((py - 57))
  eval "$(xdotool getwindowgeometry --shell "$main")"
  # The Tools stand at top 60, right-aligned with 10 pixels to spare.
  tx=$((cx + WIDTH - 161 - 10)); ty=$((cy + 60))
}
saved_items() { # COUNT WANT...: once the program has gone, its table holds COUNT items and each
                # WANT among them (escaped as stickwell-table dump writes them)
  ./stickwell-table dump QXLBLS.DBF > dump.txt
  cp dump.txt "${E2E_KEEP:-/nonexistent}/" 2>/dev/null || true
  local count=$1 want n
  shift
  for want in "$@"; do
    grep -qF -- "$want" dump.txt || { cat dump.txt; fail "saved items lack $want"; }
  done
  n=$(grep -o "LABELITEM=" dump.txt | wc -l)
  [ "$n" -eq "$count" ] || { cat dump.txt; fail "$n items saved, not $count"; }
}
restarted_alike() { # HEIGHT: starts the program again; the label's top HEIGHT pixels (at most),
                    # 300 wide, must show as they did in designed.png. The Tools may stand
                    # elsewhere after a restart, so only the label is compared.
  start
  sleep 1
  shot restarted
  local crop="300x$(( lh < $1 ? lh : $1 ))+${lx}+${ly}" diff
  convert "$WORK/designed.png" -crop "$crop" +repage "$WORK/a.png"
  convert "$WORK/restarted.png" -crop "$crop" +repage "$WORK/b.png"
  diff=$(compare -metric AE "$WORK/a.png" "$WORK/b.png" null: 2>&1 || true)
  [ "$diff" = "0" ] || { kill $pid; fail "restarted label differs in $diff pixels"; }
}
