#!/usr/bin/env bash
# The label library with real input on a real X server. First start in an empty folder makes
# the label table and its index; New Label on the 2-5/8" x 1" stock, a typed description, Save;
# a restart shows that label again (QX.INI); Clone, Save, Delete, Rebuild Indexes. After each
# step the table must hold exactly the expected records.
set -euo pipefail
bin=$1
src=$2
source "$src/tests/e2e/e2e_lib.sh"
work=$(mktemp -d)
trap 'stop_x; rm -rf "$work"' EXIT
cp -r "$bin"/. "$work"/
rm -f "$work"/QXLBLS.* "$work"/QX.INI
export WORK=$work SRC=$src
# The server must not reset when a run of the program ends and it has no client left: start_x
# gives it -noreset.
start_x 1024x768
bash -euo pipefail -c '
  source "$SRC/tests/e2e/e2e_lib.sh"
  cd "$WORK"
  start() {
    ./stickwell & pid=$!
    main=$(window Stickwell)
    focus_window "$main"
  }
  focus() { xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus --sync "$main"; }
  quit() {
    focus
    xdotool key alt+f
    sleep 0.3
    xdotool key e
    window Exit >/dev/null
    xdotool key Return
    process_gone $pid
  }
  menu() { # alt+letter, then the keys that pick the entry
    focus
    xdotool key "$1"
    sleep 0.3
    shift
    for k in "$@"; do xdotool key "$k"; sleep 0.15; done
    sleep 0.5
  }
  # The visible records in record order as "DELETED|DESCRIPT|TEMPLATE" lines (with --deleted:
  # all of them, deleted ones marked "*").
  records() { ./stickwell-table dump QXLBLS.DBF "$@" | tail -n +2 | cut -f2-4 | sed "s/\t/|/g"; }
  expect() { # expect "what" "want" "got"
    [ "$2" = "$3" ] || { echo "after $1: expected"; echo "$2"; echo "got"; echo "$3"; exit 1; }
  }
  # The description box: in the top bar under the menu bar (13 to 36 below it), from about
  # x 150 to 340 (after its caption).
  descript() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + 260)) $((Y + 48)) click 1
    sleep 0.2
  }
  # The Save button, 6 pixels after the 190-pixel description box.
  save() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + 137 + 196 + 26)) $((Y + 42)) click 1
    sleep 1
  }
  # How light a point of the main window is (window coordinates): 0 black to 255 white.
  pixel() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    import -window root "$WORK/shot.png"
    local p="p{$((X + $1)),$((Y + $2))}"
    convert "$WORK/shot.png" -format "%[fx:round(255*($p.r+$p.g+$p.b)/3)]" info:
  }
  # A point inside the design panel (it starts 17, 57 into the client area, under the menu bar).
  panel_x=40; panel_y=100
  tpl="Avery 5160/8160 Address 1\" x 2-5/8\", 30 per sheet"

  # The table is held exclusively while the program runs: every look at it is between runs.
  start
  quit
  [ -f QXLBLS.DBF ] || fail "no QXLBLS.DBF after the first start"
  [ -f QXLBLS.CDX ] || fail "no QXLBLS.CDX after the first start"
  ./stickwell-table check QXLBLS.DBF | grep -q "^ok 0 records" || fail "check: $(./stickwell-table check QXLBLS.DBF)"
  fields=$(./stickwell-table dump QXLBLS.DBF | head -1)
  expect "first start" "RECNO	DELETED	DESCRIPT	TEMPLATE	LBLHEIGHT	LBLWIDTH	NBRACROSS	NBRDOWN	TOPMARG	LEFTMARG	HORIZPITCH	VERTPITCH	SHEETWIDTH	SHEETDEPTH	PAPERSIZE	LBLSHAPE	OBJECTS" "$fields"
  index_dump -type=char QXLBLS.CDX DESCRIPT >/dev/null || fail "index_dump refuses QXLBLS.CDX"

  # New Label on the 2-5/8" x 1" stock, found by typing its name in the grid. Until then the
  # design panel is hidden: only the grey surface shows.
  start
  [ "$(pixel $panel_x $panel_y)" -lt 250 ] || fail "the design panel shows before New Label"
  menu alt+f n
  window "Select Label Template" >/dev/null
  sleep 0.5
  xdotool type --delay 60 "Avery 5160"
  sleep 0.3
  xdotool key Return
  sleep 1
  [ "$(pixel $panel_x $panel_y)" -eq 255 ] || fail "no design panel after New Label: $(pixel $panel_x $panel_y)"
  descript
  xdotool key ctrl+a
  xdotool type --delay 40 "Shipping list"
  save
  quit
  expect "Save" "|Shipping list|$tpl" "$(records)"
  ./stickwell-table dump QXLBLS.DBF | grep -q "	1.000	2.625	3	10	0.500	0.188	2.750	1.000	0.000	0.000	LTR	RR	" || fail "geometry: $(./stickwell-table dump QXLBLS.DBF)"
  grep -q "LastUse=1" QX.INI || fail "QX.INI: $(cat QX.INI)"

  # Restart: the same label is on screen, so its clone is named after it.
  start
  menu alt+l c
  window Clone >/dev/null
  xdotool key Return
  sleep 0.5
  save
  quit
  expect "Clone, Save" "$(printf "|Shipping list|%s\n|Clone of Shipping list|%s" "$tpl" "$tpl")" "$(records)"

  # Delete the clone (shown again after the restart): No is the default, so answer Yes by its key.
  start
  menu alt+l d
  window "Delete Entire Label" >/dev/null
  xdotool key alt+y
  sleep 1
  quit
  expect "Delete" "|Shipping list|$tpl" "$(records)"
  expect "Delete (file)" "$(printf "|Shipping list|%s\n*|Clone of Shipping list|%s" "$tpl" "$tpl")" "$(records --deleted)"

  # Rebuild Indexes (the third entry of File) packs the deleted record away.
  start
  menu alt+f Down Down Return
  window Information >/dev/null
  xdotool key Return
  sleep 0.5
  quit
  expect "Rebuild Indexes" "|Shipping list|$tpl" "$(records --deleted)"
  ./stickwell-table check QXLBLS.DBF | grep -q "^ok 1 records" || fail "check after rebuild"
  index_dump -type=char QXLBLS.CDX DESCRIPT | grep -q "SHIPPING LIST" || fail "index_dump after rebuild"
'
echo "ok"
