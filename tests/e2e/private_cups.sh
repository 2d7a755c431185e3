# A private CUPS server for print checks, sourced by the *_e2e.sh scripts that print.
#
#   cups_start DIR        starts cupsd with its configuration, spool and logs under DIR, on a free
#                         loopback port from CUPS_PORTS (default 8631-8639); exports CUPS_SERVER
#   cups_add_queues       adds PDFQ (cups-pdf: no hardware margins, output in $CUPS_OUT) and
#                         GENQ (generic PDF printer whose driver declares 18/36 pt margins, writing
#                         $CUPS_OUT/generic.pdf through a file: device)
#   cups_wait_job ID      waits until the job has left the queue
#   cups_last_job QUEUE   the newest job id of the queue (QUEUE-N)
#   cups_output QUEUE ID  the PDF the job produced
#   cups_stop             stops cupsd by its process id and removes the cups-pdf settings file
#
# cupsd runs its filters as user lp, so DIR and its parent are made traversable (0755). cups-pdf only reads its
# settings from /etc/cups/cups-pdf-NAME.conf for the URI cups-pdf:/NAME: the file is written for
# this server alone and removed again by cups_stop.

CUPSD_PID=""
CUPS_PDF_CONF=""

cups_start() {
  local dir=$1 port ports=${CUPS_PORTS:-8631-8639}
  mkdir -p "$dir"/{etc,spool/tmp,cache,state,log,out,cupspdf}
  chmod 0755 "$dir" "$(dirname "$dir")"
  chmod 0777 "$dir/out"
  CUPS_DIR=$dir
  CUPS_OUT=$dir/out
  cat > "$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
FileDevice Yes
EOF
  for port in $(seq "${ports%-*}" "${ports#*-}"); do
    # A port someone else holds makes cupsd exit at once; try the next one then.
    cat > "$dir/etc/cupsd.conf" <<EOF
Listen 127.0.0.1:$port
Browsing No
WebInterface No
LogLevel info
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    /usr/sbin/cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" &
    CUPSD_PID=$!
    export CUPS_SERVER=127.0.0.1:$port
    local i
    for i in $(seq 200); do
      kill -0 "$CUPSD_PID" 2>/dev/null || break
      lpstat -r >/dev/null 2>&1 && return 0
      sleep 0.05
    done
    kill -TERM "$CUPSD_PID" 2>/dev/null
    wait "$CUPSD_PID" 2>/dev/null
    CUPSD_PID=""
  done
  echo "no loopback port in $ports for cupsd" >&2
  return 1
}

cups_add_queues() {
  local name=sw$$
  CUPS_PDF_CONF=/etc/cups/cups-pdf-$name.conf
  cat > "$CUPS_PDF_CONF" <<EOF
Out $CUPS_OUT
AnonDirName $CUPS_OUT
Spool $CUPS_DIR/cupspdf/spool
Log $CUPS_DIR/cupspdf
GSTmp $CUPS_DIR/cupspdf
Grp root
EOF
  # lpadmin warns that printer drivers are deprecated; the queues work all the same.
  lpadmin -p PDFQ -E -v "cups-pdf:/$name" -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
  lpadmin -p GENQ -E -v "file://$CUPS_OUT/generic.pdf" \
    -m lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd 2>/dev/null
  lpstat -p PDFQ >/dev/null && lpstat -p GENQ >/dev/null
}

cups_wait_job() {
  local i
  for i in $(seq 1200); do
    lpstat -o 2>/dev/null | grep -q "^$1 " || return 0
    # A filter that fails stops the queue with the job still in it.
    lpstat -p "${1%-*}" 2>/dev/null | grep -q disabled && break
    sleep 0.1
  done
  echo "print job $1 did not finish" >&2
  grep -E '^[EW] ' "$CUPS_DIR/log/error_log" | tail -20 >&2
  return 1
}

cups_last_job() {
  lpstat -W all -o "$1" 2>/dev/null | awk '{print $1}' | sort -t- -k2 -n | tail -1
}

cups_output() {
  local queue=$1 id=$2 f i
  if [ "$queue" = GENQ ]; then
    echo "$CUPS_OUT/generic.pdf"
    return
  fi
  # cups-pdf mangles the title into the name but keeps the job number at its end.
  for i in $(seq 100); do
    for f in "$CUPS_OUT"/*-job_"${id##*-}".pdf; do
      [ -s "$f" ] && { echo "$f"; return; }
    done
    sleep 0.1
  done
  echo "no cups-pdf output for $id" >&2
  return 1
}

cups_stop() {
  if [ -n "$CUPSD_PID" ]; then
    kill -TERM "$CUPSD_PID" 2>/dev/null
    wait "$CUPSD_PID" 2>/dev/null || true
    CUPSD_PID=""
  fi
  [ -n "$CUPS_PDF_CONF" ] && rm -f "$CUPS_PDF_CONF"
  CUPS_PDF_CONF=""
}
