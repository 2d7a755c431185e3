#!/usr/bin/env bash
# Codes that scan: a sheet with one code of every symbology and a sheet of serial-numbered Data
# Matrix codes printed by stickwell-batch to PDF, rasterised at 300 pixels per inch, each code
# cut out at its place and read by decoders that share nothing with the encoder (zbarimg,
# dmtxread, and ZXing's for PDF417, which zbar cannot read). The same for a QR code and a
# Code 128 drawn from the preview stream at 96 pixels per inch.
set -euo pipefail
bin=$1
src=$2
source "$src/tests/e2e/e2e_lib.sh"
source "$src/tests/e2e/label_table.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
batch="$bin/stickwell-batch"

# code SYMBOLOGY DATA LEFT TOP WIDTH HEIGHT [ANGLE]: one barcode record.
code() {
  printf 'LABELITEM=BARCODE\nTOP=%s\nLEFT=%s\nWIDTH=%s\nHEIGHT=%s\nSYMBOLOGY=%s\nDATA=%s\n' "$4" "$3" "$5" "$6" "$1" "$2"
  printf 'SHOWTEXT=Y\nLINECOLOR=0\nANGLE=%s\n' "${7:-0}"
}

# add_sheet_label DESCRIPTION ITEMS: one label that fills a letter sheet (8 x 10 in at 0.25, 0.5).
add_sheet_label() {
  local memo
  memo=$(awk '{ printf "%s\\r\\n", $0 }' "$2")
  {
    printf 'DESCRIPT\tTEMPLATE\tLBLHEIGHT\tLBLWIDTH\tNBRACROSS\tNBRDOWN\tTOPMARG\tLEFTMARG\t'
    printf 'HORIZPITCH\tVERTPITCH\tSHEETWIDTH\tSHEETDEPTH\tPAPERSIZE\tLBLSHAPE\tOBJECTS\n'
    printf '%s\tFull sheet\t10.000\t8.000\t1\t1\t0.500\t0.250\t8.000\t10.000\t0.000\t0.000\tLTR\tSR\t%s\n' \
      "$1" "$memo"
  } > "$work/row.tsv"
  "$bin/stickwell-table" import "$work/QXLBLS.DBF" "$work/row.tsv"
}

# crop IMAGE DPI X Y W H OUT: the part of the page at (X, Y) inches, W x H inches, with a
# quarter inch of white around it for the decoders' quiet zone.
crop() {
  local d=$2
  convert "$1" -crop "$(awk -v d="$d" -v x="$3" -v y="$4" -v w="$5" -v h="$6" \
    'BEGIN { printf "%dx%d+%d+%d", (w + 0.3) * d, (h + 0.3) * d, (x - 0.15) * d, (y - 0.15) * d }')" \
    +repage -bordercolor white -border "$((d / 4))" "$7"
}

# zbar IMAGE: the one value zbarimg reads, as TYPE:VALUE.
zbar() { zbarimg -q --nodbus "$1" 2>/dev/null | head -1; }
pdf417() {
  /usr/bin/python3 -c '
import sys, zxingcpp
from PIL import Image
found = zxingcpp.read_barcodes(Image.open(sys.argv[1]), formats=zxingcpp.PDF417)
print(found[0].text if found else "")' "$1"
}

label_table_create "$work"

# Every symbology on one sheet, one turned a quarter; positions are the label's (0.25, 0.5) plus
# the item's.
codes=(
  "CODE128|Stickwell-128|0.5|0.5|2.5|1.0|0|CODE-128:Stickwell-128"
  "CODE39|ASSET 42|4.5|0.5|3.0|1.0|0|CODE-39:ASSET 42"
  "EAN13|590123412345|0.5|2.0|2.0|1.2|0|EAN-13:5901234123457"
  "EAN8|1234567|4.5|2.0|1.6|1.0|0|EAN-8:12345670"
  "UPCA|03600029145|0.5|3.7|2.0|1.2|0|EAN-13:0036000291452"
  "ITF14|1234567890123|4.5|3.7|3.0|1.2|0|I2/5:12345678901231"
  "QRCODE|https://example.com/stickwell?id=42|0.5|5.5|1.2|1.2|0|QR-Code:https://example.com/stickwell?id=42"
  "DATAMATRIX|DM-STICKWELL-7|4.5|5.5|1.0|1.0|0|DM-STICKWELL-7"
  "PDF417|Stickwell PDF417 test|0.5|7.2|3.0|1.0|0|Stickwell PDF417 test"
  "CODE128|ROT-90|4.5|7.2|1.0|2.5|90|CODE-128:ROT-90"
)
: > "$work/codes.txt"
for c in "${codes[@]}"; do
  IFS='|' read -r sym data x y w h a _ <<< "$c"
  code "$sym" "$data" "$x" "$y" "$w" "$h" "$a" >> "$work/codes.txt"
done
add_sheet_label Codes "$work/codes.txt"
"$batch" print --table "$work/QXLBLS.DBF" --label Codes --pdf "$work/codes.pdf" || fail "print exited $?"
pdftoppm -r 300 -png -singlefile "$work/codes.pdf" "$work/codes"
for c in "${codes[@]}"; do
  IFS='|' read -r sym data x y w h a want <<< "$c"
  px=$(awk -v v="$x" 'BEGIN { print v + 0.25 }')
  py=$(awk -v v="$y" 'BEGIN { print v + 0.5 }')
  crop "$work/codes.png" 300 "$px" "$py" "$w" "$h" "$work/one.png"
  case $sym in
    DATAMATRIX) got=$(dmtxread -n -N 1 -m 20000 "$work/one.png" 2>/dev/null | head -1) ;;
    PDF417) got=$(pdf417 "$work/one.png") ;;
    *) got=$(zbar "$work/one.png") ;;
  esac
  [ "$got" = "$want" ] || fail "$sym at ($x, $y): read '$got', want '$want'"
done

# Serial numbers: a counter from 98 on a 3 x 10 sheet, the Data Matrix behind it carrying the
# value the counter prints on that label, position by position.
{
  code DATAMATRIX 'SN{COUNTER:5}' 0.15 0.1 0.8 0.8
  printf 'LABELITEM=COUNTER\nTOP=0.300\nLEFT=1.200\nWIDTH=0.500\nHEIGHT=0.200\nRELATIVEX=0.000\n'
  printf 'RELATIVEY=0.000\nSTARTINGNUMBER=98\nREPEATEACH=1\nFONTNAME=Liberation Sans\nFONTSIZE=12\n'
  printf 'FONTCOLOR=0\nFONTBOLD=N\nFONTITALIC=N\nFONTUNDER=N\nANGLE=0\n'
} > "$work/serial.txt"
label_table_add "$work" Serial LTR "$work/serial.txt"
"$batch" print --table "$work/QXLBLS.DBF" --label Serial --pdf "$work/serial.pdf" || fail "serial print exited $?"
pdftoppm -r 300 -png -singlefile "$work/serial.pdf" "$work/serial"
pdftotext -layout "$work/serial.pdf" - | grep -q '127' || fail "the counter's last value is not printed"
n=98
for r in $(seq 0 9); do
  for c in 0 1 2; do
    px=$(awk -v c="$c" 'BEGIN { print 0.1875 + c * 2.75 + 0.15 }')
    py=$(awk -v r="$r" 'BEGIN { print 0.5 + r * 1.0 + 0.1 }')
    crop "$work/serial.png" 300 "$px" "$py" 0.8 0.8 "$work/one.png"
    got=$(dmtxread -n -N 1 -m 20000 "$work/one.png" 2>/dev/null | head -1)
    want=$(printf 'SN%05d' "$n")
    [ "$got" = "$want" ] || fail "serial at row $((r + 1)), column $((c + 1)): read '$got', want '$want'"
    n=$((n + 1))
  done
done

# The preview stream at screen resolution: what the preview shows scans too.
{
  code QRCODE 'PREVIEW-{COUNTER:3}' 0.5 0.5 1.2 1.2
  code CODE128 'SW-42' 3.0 0.5 2.5 1.0
} > "$work/preview.txt"
add_sheet_label Preview "$work/preview.txt"
"$batch" print --table "$work/QXLBLS.DBF" --label Preview --stream "$work/preview.rps" || fail "stream print exited $?"
"$batch" stream-render "$work/preview.rps" "$work/preview.png" --zoom 100 --dpi 96 || fail "stream-render exited $?"
crop "$work/preview.png" 96 0.75 1.0 1.2 1.2 "$work/one.png"
got=$(zbar "$work/one.png")
[ "$got" = "QR-Code:PREVIEW-001" ] || fail "preview QR code read '$got'"
crop "$work/preview.png" 96 3.25 1.0 2.5 1.0 "$work/one.png"
got=$(zbar "$work/one.png")
[ "$got" = "CODE-128:SW-42" ] || fail "preview Code 128 read '$got'"
echo "barcodes e2e: ok"
