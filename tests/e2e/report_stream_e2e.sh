#!/usr/bin/env bash
# stickwell-batch's stream subcommands on a recorded two-page label job: dump, render, pdf, and
# a damaged stream refused with the reader's message.
set -euo pipefail
bin=$1
src=$2
batch="$bin/stickwell-batch"
stream="$src/tests/data/report/labels.rps"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
fail() { echo "FAIL: $*" >&2; exit 1; }

"$batch" stream-dump "$stream" > "$work/dump.txt" || fail "stream-dump exited $?"
head -1 "$work/dump.txt" | grep -q '^@0 89 header pages=2 ' || fail "dump header: $(head -1 "$work/dump.txt")"
[ "$(grep -c ' 80 page ' "$work/dump.txt")" = 2 ] || fail "dump should list two page records"
[ "$(grep -c ' 82 end-page' "$work/dump.txt")" = 2 ] || fail "dump should list two page ends"
grep -q ' 80 page prev=0 next=[1-9][0-9]* number=1 ' "$work/dump.txt" || fail "first page link"
grep -q ' 80 page prev=45 next=0 number=2 ' "$work/dump.txt" || fail "second page link"
grep -q ' 33 text-span .*text="Stickwell label"' "$work/dump.txt" || fail "text records"

"$batch" stream-render "$stream" "$work/p2.png" --page 2 --zoom 50 --dpi 96 || fail "stream-render exited $?"
[ "$(identify -format '%w %h' "$work/p2.png")" = "408 528" ] || fail "render size $(identify -format '%w %h' "$work/p2.png")"
# Most of the page is white paper; the labels put some ink on it.
mean=$(convert "$work/p2.png" -colorspace Gray -format '%[fx:mean]' info:)
awk -v m="$mean" 'BEGIN { exit !(m > 0.6 && m < 0.99) }' || fail "render mean grey $mean"

"$batch" stream-pdf "$stream" "$work/out.pdf" || fail "stream-pdf exited $?"
pdfinfo "$work/out.pdf" | grep -q '^Pages: *2$' || fail "pdf pages: $(pdfinfo "$work/out.pdf" | grep Pages)"
pdfinfo "$work/out.pdf" | grep -q '612 x 792 pts' || fail "pdf paper is not letter"

printf 'XX' > "$work/bad.rps"
set +e
"$batch" stream-dump "$work/bad.rps" > /dev/null 2> "$work/err.txt"
rc=$?
set -e
[ $rc = 1 ] || fail "bad stream exit $rc"
grep -q 'Unexpected code found in report file.' "$work/err.txt" || fail "bad stream message: $(cat "$work/err.txt")"
head -c 300 "$stream" > "$work/cut.rps"
if "$batch" stream-pdf "$work/cut.rps" "$work/cut.pdf" 2> "$work/err.txt"; then fail "cut stream accepted"; fi
grep -q 'Damaged report file' "$work/err.txt" || fail "cut stream message: $(cat "$work/err.txt")"
echo "report stream e2e: ok"
