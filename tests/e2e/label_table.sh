# Label tables for the print checks, made with stickwell-table; sourced by *_e2e.sh scripts.
#
#   label_table_create DIR     an empty QXLBLS.DBF with its index and memo file in DIR
#   label_table_add DIR DESCRIPTION PAPER ITEMS [DOWN]
#                              appends a label on the 3 × 10 letter stock (1 × 2.625 in labels,
#                              pitches 2.75 × 1, margins 0.1875 / 0.5; DOWN rows instead of 10)
#                              with PAPER as its paper code and the item text in the file ITEMS
#                              (one KEY=VALUE a line)
# Needs $bin, the folder of the programs.

label_table_create() {
  "$bin/stickwell-table" create "$1/QXLBLS.DBF" DESCRIPT:C:30 TEMPLATE:C:60 LBLHEIGHT:N:6:3 \
    LBLWIDTH:N:6:3 NBRACROSS:N:2 NBRDOWN:N:2 TOPMARG:N:6:3 LEFTMARG:N:6:3 HORIZPITCH:N:6:3 \
    VERTPITCH:N:6:3 SHEETWIDTH:N:6:3 SHEETDEPTH:N:6:3 PAPERSIZE:C:5 LBLSHAPE:C:2 OBJECTS:M:10
  "$bin/stickwell-table" index "$1/QXLBLS.DBF" DESCRIPT 'upper(DESCRIPT)'
}

label_table_add() {
  local dir=$1 description=$2 paper=$3 items=$4 down=${5:-10} memo
  # Item text lines end with CR LF in the table; the import takes them escaped.
  memo=$(sed 's/\r$//' "$items" | awk '{ printf "%s\\r\\n", $0 }')
  {
    printf 'DESCRIPT\tTEMPLATE\tLBLHEIGHT\tLBLWIDTH\tNBRACROSS\tNBRDOWN\tTOPMARG\tLEFTMARG\t'
    printf 'HORIZPITCH\tVERTPITCH\tSHEETWIDTH\tSHEETDEPTH\tPAPERSIZE\tLBLSHAPE\tOBJECTS\n'
    printf '%s\tAvery 5160 Address\t1.000\t2.625\t3\t%s\t0.500\t0.188\t2.750\t1.000\t0.000\t0.000\t%s\tRR\t%s\n' \
      "$description" "$down" "$paper" "$memo"
  } > "$dir/row.tsv"
  "$bin/stickwell-table" import "$dir/QXLBLS.DBF" "$dir/row.tsv"
  rm -f "$dir/row.tsv"
}
