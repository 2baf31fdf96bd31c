#!/usr/bin/env bash
# Test fixture: a CUPS-PDF print queue for the real-printer tests.
#
# Starts cupsd when it is not running, points CUPS-PDF's output at a known folder, and makes
# sure the queue exists. Writes the outcome to the status file given as $1: "ok QUEUE OUTDIR" on
# success, "skip REASON" when printing through CUPS cannot be set up here (not root, CUPS or
# CUPS-PDF missing). It always exits 0 so that the tests can report the reason as a skip.
set -u

status_file=${1:?usage: cups_pdf_setup.sh STATUS_FILE}
queue=SheetwisePDF
out_dir=/var/spool/sheetwise-cups-pdf
conf=/etc/cups/cups-pdf.conf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

skip() {
  echo "skip $*" >"$status_file"
  echo "cups_pdf_setup: skipped: $*"
  exit 0
}

[ "$(id -u)" -eq 0 ] || skip "needs root to start cupsd and add a queue (run the tests as root, as CI does)"
for tool in cupsd lpadmin lpstat; do
  command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] || skip "$tool is not installed (scripts/install-deps.sh)"
done
[ -x /usr/lib/cups/backend/cups-pdf ] || skip "printer-driver-cups-pdf is not installed"
[ -f "$ppd" ] || skip "the CUPS-PDF PPD $ppd is missing"

# CUPS-PDF writes every job of every user into one known folder.
mkdir -p "$out_dir"
chmod 0777 "$out_dir"
if [ -f "$conf" ]; then
  if ! grep -q "^Out $out_dir\$" "$conf"; then
    sed -i -e '/^Out /d' -e '/^AnonDirName /d' "$conf"
    printf 'Out %s\nAnonDirName %s\n' "$out_dir" "$out_dir" >>"$conf"
  fi
else
  printf 'Out %s\nAnonDirName %s\n' "$out_dir" "$out_dir" >"$conf"
fi

if ! lpstat -r 2>/dev/null | grep -q "is running"; then
  PATH=/usr/sbin:$PATH cupsd || skip "cupsd did not start"
  for _ in $(seq 1 50); do
    lpstat -r 2>/dev/null | grep -q "is running" && break
    sleep 0.2
  done
  lpstat -r 2>/dev/null | grep -q "is running" || skip "cupsd did not come up"
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
  PATH=/usr/sbin:$PATH lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" -o printer-error-policy=abort-job \
    || skip "lpadmin could not add the $queue queue"
fi
PATH=/usr/sbin:$PATH cupsenable "$queue" 2>/dev/null || true
PATH=/usr/sbin:$PATH cupsaccept "$queue" 2>/dev/null || true

echo "ok $queue $out_dir" >"$status_file"
echo "cups_pdf_setup: queue $queue writes to $out_dir"
