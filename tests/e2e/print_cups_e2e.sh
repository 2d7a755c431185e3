#!/usr/bin/env bash
# Prints sheets of labels with `stickwell-batch print --printer QUEUE` through a CUPS server of
# its own (loopback port, configuration and spool in a temporary folder), on two queues that
# behave like two kinds of real printer: cups-pdf (no unprintable border) and a generic PDF
# printer whose driver declares 18/36 pt hardware margins. The queues are found through CUPS
# (CUPS_SERVER), not given as files. Every item of every label must land at its place measured
# from the paper's corner on both. Then a calibrated queue: positions move by exactly its
# calibration, while the PDF printer, the preview stream and the stored label stay as they were.
# Needs root (cups-pdf reads its settings only from /etc/cups).
set -euo pipefail
bin=$1
src=$(cd "$2" && pwd)
here=$src/tests/e2e
# shellcheck source=private_cups.sh
source "$here/private_cups.sh"
# shellcheck source=label_table.sh
source "$here/label_table.sh"
fail() { echo "FAIL: $*" >&2; [ -n "${CUPS_DIR:-}" ] && grep -E '^E ' "$CUPS_DIR/log/error_log" | tail -5 >&2; exit 1; }
[ -x /usr/sbin/cupsd ] || fail "cupsd is not installed (scripts/install-deps.sh installs cups)"
[ "$(id -u)" = 0 ] || fail "needs root: cups-pdf reads its settings only from /etc/cups"
work=$(mktemp -d /tmp/stickwell-cups.XXXXXX)
trap 'cups_stop; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
batch="$bin/stickwell-batch"
table=$work/data/QXLBLS.DBF

# Every item a filled shape or a line, so that its ink shows where it landed; the items stand
# at least 0.1 in apart.
printf '%s\n' LABELITEM=RECTANGLE TOP=0.050 LEFT=0.100 WIDTH=0.500 HEIGHT=0.300 BRUSHSTYLE=SOLID \
  COLOR=0 LINETHICKNESS=0 LINECOLOR=0 \
  LABELITEM=TEXT "TEXT=Hello world" TOP=0.050 LEFT=0.750 WIDTH=0.800 HEIGHT=0.170 FONTNAME=Arial \
  FONTCOLOR=0 FONTSIZE=10 FONTBOLD=Y FONTITALIC=N FONTUNDER=N ANGLE=0 RELATIVEX=0.000 RELATIVEY=0.000 \
  LABELITEM=ELLIPSE TOP=0.300 LEFT=1.800 WIDTH=0.500 HEIGHT=0.400 BRUSHSTYLE=SOLID COLOR=0 \
  LINETHICKNESS=0 LINECOLOR=0 \
  LABELITEM=HORIZONTALLINE TOP=0.700 LEFT=0.100 WIDTH=1.300 HEIGHT=0.020 ORIENTATION=H \
  LINETHICKNESS=2 LINECOLOR=0 > "$work/items.txt"
mkdir "$work/data"
label_table_create "$work/data"
label_table_add "$work/data" Marks LTR "$work/items.txt"
label_table_add "$work/data" "Marks A4" A4 "$work/items.txt"
label_table_add "$work/data" "Marks wide" LTRL "$work/items.txt" 4

# The places of the items on the sheet: NAME X Y W H in inches from the paper's corner. The line
# is 0.02 in thick with round ends. With OX OY SX SY, the places a printer calibrated with those
# values must draw at. With ROWS 4 and LAND 1, the 4 rows of the landscape label, on the sheet
# as it comes out of the printer: the page turned a quarter left onto portrait letter.
places() {
  awk -v ox="${1:-0}" -v oy="${2:-0}" -v sx="${3:-100}" -v sy="${4:-100}" -v rows="${5:-10}" \
      -v land="${6:-0}" 'BEGIN {
    split("rect 0.1 0.05 0.5 0.3|ellipse 1.8 0.3 0.5 0.4|line 0.09 0.69 1.32 0.02", items, "|")
    for (r = 0; r < rows; r++) for (c = 0; c < 3; c++) for (i = 1; i <= 3; i++) {
      split(items[i], f, " ")
      x = 0.188 + c * 2.75 + f[2]; y = 0.5 + r + f[3]; w = f[4]; h = f[5]
      if (land) { t = x; x = y; y = 11 - t - w; t = w; w = h; h = t }
      printf "%s-r%dc%d %.5f %.5f %.5f %.5f\n", f[1], r + 1, c + 1, ox + x * sx / 100,
             oy + y * sy / 100, w * sx / 100, h * sy / 100
    }
  }'
}

# print QUEUE LABEL: prints one sheet on the queue and echoes the PDF the queue made of it.
print_on() {
  local queue=$1 label=$2 job before
  before=$(cups_last_job "$queue")
  "$batch" print --table "$table" --label "$label" --printer "$queue" >&2 \
    || fail "stickwell-batch print on $queue exited $?"
  job=$(cups_last_job "$queue")
  [ -n "$job" ] && [ "$job" != "$before" ] || fail "no job reached $queue"
  cups_wait_job "$job" || fail "job $job on $queue"
  cups_output "$queue" "$job" || fail "no output of $job"
}

cups_start "$work/cups" || fail "cupsd did not start"
cups_add_queues || fail "the queues could not be added"
lpstat -v

for queue in PDFQ GENQ; do
  out=$(print_on "$queue" Marks)
  pdfinfo "$out" | grep -q 'Page size: *612 x 792 pts' || fail "$queue: not letter: $(pdfinfo "$out" | grep 'Page size')"
  echo "$queue:"
  places | /usr/bin/python3 "$here/pdf_marks.py" "$out" 1 300 0.25 || fail "$queue: items are not at their places"
done

# The generic queue keeps the program's PDF as it is: text as text, fonts embedded, no pictures.
[ "$(pdftotext "$out" - | grep -c 'Hello world')" = 30 ] || fail "GENQ: text is not text"
pdffonts "$out" | tail -n +3 | awk '$(NF-4) != "yes" { bad = 1 } END { exit bad }' || fail "GENQ: a font is not embedded"
[ -z "$(pdfimages -list "$out" | tail -n +3)" ] || fail "GENQ: the page holds pictures"

# A4 paper on the queue with the unprintable border.
out=$(print_on GENQ "Marks A4")
pdfinfo "$out" | grep -q 'Page size: *595.* x 84[12].* pts' || fail "GENQ A4: $(pdfinfo "$out" | grep 'Page size')"
echo "GENQ A4:"
places | /usr/bin/python3 "$here/pdf_marks.py" "$out" 1 300 0.25 || fail "GENQ A4: items are not at their places"

# A landscape label: the page turned onto the sheet, every item at its place.
out=$(print_on GENQ "Marks wide")
echo "GENQ landscape:"
places 0 0 100 100 4 1 | /usr/bin/python3 "$here/pdf_marks.py" "$out" 1 300 0.25 || fail "GENQ landscape: items are not at their places"

# A calibrated queue: positions move by exactly the calibration.
"$batch" print --table "$table" --label Marks --stream "$work/before.rps" || fail "stream before calibrating"
"$bin/stickwell-table" dump "$table" > "$work/before.tsv"
"$batch" calibrate --table "$table" --printer GENQ --offset 0.06,-1mm --scale 100.5,99.6 > "$work/cal.txt" \
  || fail "calibrate exited $?"
grep -qx 'GENQ: offset 0.0600, -0.0394 in; scale 100.5000 %, 99.6000 %' "$work/cal.txt" || fail "calibrate said $(cat "$work/cal.txt")"
grep -q '^\[Calibration GENQ\]' "$work/data/QX.INI" || fail "no calibration section in QX.INI"
out=$(print_on GENQ Marks)
echo "GENQ calibrated:"
places 0.06 -0.03937 100.5 99.6 | /usr/bin/python3 "$here/pdf_marks.py" "$out" 1 300 0.25 \
  || fail "calibrated GENQ: items did not move by the calibration"
out=$(print_on GENQ "Marks wide")
echo "GENQ calibrated, landscape:"
places 0.06 -0.03937 100.5 99.6 4 1 | /usr/bin/python3 "$here/pdf_marks.py" "$out" 1 300 0.25 \
  || fail "calibrated GENQ: landscape items did not move by the calibration of the sheet"
"$batch" print --table "$table" --label Marks --stream "$work/after.rps" || fail "stream after calibrating"
cmp -s <("$batch" stream-dump "$work/before.rps") <("$batch" stream-dump "$work/after.rps") \
  || fail "the calibration of a printer changed the preview"
"$bin/stickwell-table" dump "$table" | cmp -s - "$work/before.tsv" || fail "the calibration changed the stored label"
"$batch" print --table "$table" --label Marks --pdf "$work/plain.pdf" || fail "print --pdf"
echo "PDF file beside calibrated GENQ:"
places | /usr/bin/python3 "$here/pdf_marks.py" "$work/plain.pdf" 1 300 0.25 || fail "GENQ's calibration moved the PDF printer"

# Refused, reset.
if "$batch" calibrate --table "$table" --printer GENQ --scale 106,100 2> "$work/err.txt"; then
  fail "a 6 % scale was taken"
fi
grep -q 'more than 5 %' "$work/err.txt" || fail "refusal said $(cat "$work/err.txt")"
if "$batch" calibrate --table "$table" --printer NOSUCHQ 2> "$work/err.txt"; then fail "an unknown printer was taken"; fi
"$batch" calibrate --table "$table" --printer GENQ --reset | grep -qx 'GENQ: none' || fail "reset"
grep -q 'Calibration' "$work/data/QX.INI" && fail "reset left the section"
echo "print cups e2e: ok"
