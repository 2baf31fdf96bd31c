#!/usr/bin/env bash
# Test fixture: a CUPS-PDF print queue for the real-printer tests.
#
# Starts cupsd when it is not running, points CUPS-PDF's output at a known folder, and makes
# sure the queue exists. Writes the outcome to the status file given as $1: "ok QUEUE OUTDIR" on
# success, "skip REASON" when printing through CUPS cannot be set up here (not root, CUPS or
# CUPS-PDF missing). It always exits 0 so that the tests can report the reason as a skip.
#
# What it changes is undone by cups_pdf_cleanup.sh when the tests end. Several test runs (other
# build folders, other checkouts) may use the queue at the same time, so the machine's state is
# shared in $SW_CUPS_FIXTURE_STATE (/run/sheetwise-cups-pdf): how things were before the first
# run that is still using them ("original": whether cupsd ran, the queue existed, the CUPS-PDF
# configuration and the output folder existed), the id of a cupsd a run started, a copy of the
# configuration as it was, and one lease per test run (named by the id of the ctest process,
# this script's parent). The last run to leave restores the original state.
set -u

status_file=${1:?usage: cups_pdf_setup.sh STATUS_FILE}
queue=SheetwisePDF
out_dir=/var/spool/sheetwise-cups-pdf
conf=/etc/cups/cups-pdf.conf
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
state=${SW_CUPS_FIXTURE_STATE:-/run/sheetwise-cups-pdf}
run_id=$PPID

skip() {
  echo "skip $*" >"$status_file"
  echo "cups_pdf_setup: skipped: $*"
  exit 0
}

[ "$(id -u)" -eq 0 ] || skip "needs root to start cupsd and add a queue (run the tests as root, as CI does)"
for tool in cupsd lpadmin lpstat flock; do
  command -v "$tool" >/dev/null 2>&1 || [ -x "/usr/sbin/$tool" ] || skip "$tool is not installed (scripts/install-deps.sh)"
done
[ -x /usr/lib/cups/backend/cups-pdf ] || skip "printer-driver-cups-pdf is not installed"
[ -f "$ppd" ] || skip "the CUPS-PDF PPD $ppd is missing"

scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }

mkdir -p "$state/leases"
exec 9>"$state/lock"
flock -x 9

# Leases of test runs that ended without their cleanup (killed) no longer count.
for lease in "$state"/leases/*; do
  [ -e "$lease" ] || continue
  kill -0 "$(basename "$lease")" 2>/dev/null || rm -f "$lease"
done

# The state before the first run. A record left by a run that never cleaned up still holds.
if [ ! -f "$state/original" ]; then
  rm -f "$state/cupsd.pid" "$state/cups-pdf.conf.orig"
  was_running=0; scheduler_running && was_running=1
  had_queue=0
  grep -Eq "^<(Default)?Printer $queue>" /etc/cups/printers.conf 2>/dev/null && had_queue=1
  had_conf=0
  if [ -f "$conf" ]; then had_conf=1; cp -p "$conf" "$state/cups-pdf.conf.orig"; fi
  had_out_dir=0; [ -d "$out_dir" ] && had_out_dir=1
  printf 'was_running=%s\nhad_queue=%s\nhad_conf=%s\nhad_out_dir=%s\n' \
    "$was_running" "$had_queue" "$had_conf" "$had_out_dir" >"$state/original"
fi
: >"$state/leases/$run_id"

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

if ! scheduler_running; then
  # In the foreground of its own session, so that its id is known and the cleanup stops exactly
  # it; without the lock, which the next test run must be able to take.
  PATH=/usr/sbin:$PATH setsid cupsd -f </dev/null >/dev/null 2>&1 9>&- &
  echo $! >"$state/cupsd.pid"
  for _ in $(seq 1 50); do
    scheduler_running && break
    sleep 0.2
  done
  scheduler_running || skip "cupsd did not come up"
fi

if ! lpstat -p "$queue" >/dev/null 2>&1; then
  PATH=/usr/sbin:$PATH lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" -o printer-error-policy=abort-job \
    || skip "lpadmin could not add the $queue queue"
fi
PATH=/usr/sbin:$PATH cupsenable "$queue" 2>/dev/null || true
PATH=/usr/sbin:$PATH cupsaccept "$queue" 2>/dev/null || true

echo "ok $queue $out_dir" >"$status_file"
echo "cups_pdf_setup: queue $queue writes to $out_dir"
