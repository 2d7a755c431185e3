#!/usr/bin/env bash
# Whole-process timing of `stickwell-batch print` to PDF beside `glabels-3-batch` (Debian
# glabels) on the same sheet: 3 x 10 on letter (1 x 2.625 in labels, pitches 2.75 x 1, margins
# 0.1875 / 0.5); on every label a 1-point box 2 x 0.8 in at (0.05, 0.05), a bold 10-point
# "Hello world" at (0.1, 0.1), a red ellipse 0.5 x 0.4 in at (1.5, 0.3) and a line 1.3 in long at
# (0.1, 0.7). 10 and 100 sheets; wall time (start-up included) and PDF size. Not run by the tests.
#
#   bash bench/print_vs_glabels.sh [BUILD_BIN_DIR]     (default build/bin)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$here/build/bin}" && pwd)
command -v glabels-3-batch >/dev/null || { echo "glabels-3-batch is not installed (Debian glabels)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
# shellcheck source=../tests/e2e/label_table.sh
source "$here/tests/e2e/label_table.sh"

# LINETHICKNESS is in screen pixels at 96 per inch: 1 pixel prints as 0.01 in (0.72 pt), the
# nearest the item text comes to one point.
printf '%s\r\n' \
  LABELITEM=RECTANGLE TOP=0.050 LEFT=0.050 WIDTH=2.000 HEIGHT=0.800 BRUSHSTYLE=CLEAR \
  COLOR=16777215 LINETHICKNESS=1 LINECOLOR=0 \
  LABELITEM=TEXT "TEXT=Hello world" TOP=0.100 LEFT=0.100 WIDTH=0.802 HEIGHT=0.167 \
  FONTNAME=Arial FONTCOLOR=0 FONTSIZE=10 FONTBOLD=Y FONTITALIC=N FONTUNDER=N ANGLE=0 \
  RELATIVEX=0.000 RELATIVEY=0.000 \
  LABELITEM=ELLIPSE TOP=0.300 LEFT=1.500 WIDTH=0.500 HEIGHT=0.400 BRUSHSTYLE=SOLID COLOR=255 \
  LINETHICKNESS=1 LINECOLOR=255 \
  LABELITEM=HORIZONTALLINE TOP=0.700 LEFT=0.100 WIDTH=1.300 HEIGHT=0.010 ORIENTATION=H \
  LINETHICKNESS=1 LINECOLOR=0 > "$work/items.txt"
label_table_create "$work"
label_table_add "$work" Bench LTR "$work/items.txt"

cat > "$work/bench.glabels" <<'EOF'
<?xml version="1.0"?>
<Glabels-document xmlns="http://glabels.org/xmlns/3.0/">
  <Template brand="Bench" part="3x10" size="US-Letter" description="3 x 10 address labels">
    <Meta category="label"/>
    <Label-rectangle id="0" width="2.625in" height="1in" round="0in" x_waste="0in" y_waste="0in">
      <Markup-margin size="0in"/>
      <Layout nx="3" ny="10" x0="0.1875in" y0="0.5in" dx="2.75in" dy="1in"/>
    </Label-rectangle>
  </Template>
  <Objects id="0" rotate="False">
    <Object-box x="0.05in" y="0.05in" w="2in" h="0.8in" line_width="1pt" line_color="0x000000ff"
                fill_color="0x00000000" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0"/>
    <Object-text x="0.1in" y="0.1in" w="1.2in" h="0.2in" justify="Left" valign="Top"
                 auto_shrink="False" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0">
      <Span color="0x000000ff" font_family="Liberation Sans" font_size="10" font_weight="Bold"
            font_italic="False" line_spacing="1">Hello world</Span>
    </Object-text>
    <Object-ellipse x="1.5in" y="0.3in" w="0.5in" h="0.4in" line_width="0pt" line_color="0xff0000ff"
                    fill_color="0xff0000ff" a0="1" a1="0" a2="0" a3="1" a4="0" a5="0"/>
    <Object-line x="0.1in" y="0.7in" dx="1.3in" dy="0in" line_width="1pt" line_color="0x000000ff"
                 a0="1" a1="0" a2="0" a3="1" a4="0" a5="0"/>
  </Objects>
</Glabels-document>
EOF

size() { stat -c %s "$1"; }
for sheets in 10 100; do
  sw=("$bin/stickwell-batch" print --table "$work/QXLBLS.DBF" --label Bench --sheets "$sheets"
      --pdf "$work/sw$sheets.pdf")
  gl=(glabels-3-batch -o "$work/gl$sheets.pdf" -s "$sheets" "$work/bench.glabels")
  "${sw[@]}"
  "${gl[@]}" >/dev/null 2>&1
  echo "== $sheets sheets: stickwell-batch print (A) vs glabels-3-batch (B)"
  if command -v farm-bench >/dev/null; then
    farm-bench -n 5 --timeout 600 --vs "${gl[*]}" -- "${sw[@]}"
  else
    hyperfine -w 1 -r 5 "${sw[*]}" "${gl[*]}"
  fi
  echo "PDF size: stickwell $(size "$work/sw$sheets.pdf") bytes," \
       "gLabels $(size "$work/gl$sheets.pdf") bytes" \
       "($(pdfinfo "$work/sw$sheets.pdf" | awk '/^Pages/ {print $2}') and" \
       "$(pdfinfo "$work/gl$sheets.pdf" | awk '/^Pages/ {print $2}') pages)"
done
pdffonts "$work/sw100.pdf"
