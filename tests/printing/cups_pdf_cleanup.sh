#!/usr/bin/env bash
# Test fixture cleanup: when the last test run using the CUPS-PDF queue ends, puts the machine
# back as cups_pdf_setup.sh found it before the first one: removes the SheetwisePDF queue, the
# CUPS-PDF configuration edits and the output folder where it added them, and stops cupsd where
# it started it. A cupsd or queue that was there before is left as it is. Fails when the state
# could not be restored, so a service left running shows as a failed test.
set -u

queue=SheetwisePDF
out_dir=/var/spool/sheetwise-cups-pdf
conf=/etc/cups/cups-pdf.conf
state=${SW_CUPS_FIXTURE_STATE:-/run/sheetwise-cups-pdf}
run_id=$PPID

if [ "$(id -u)" -ne 0 ] || [ ! -d "$state" ]; then
  echo "cups_pdf_cleanup: nothing was set up"
  exit 0
fi
exec 9>"$state/lock"
flock -x 9

rm -f "$state/leases/$run_id"
others=0
for lease in "$state"/leases/*; do
  [ -e "$lease" ] || continue
  if kill -0 "$(basename "$lease")" 2>/dev/null; then others=$((others + 1)); else rm -f "$lease"; fi
done
if [ "$others" -gt 0 ]; then
  echo "cups_pdf_cleanup: $others other test run(s) still use the queue; the last one restores it"
  exit 0
fi
[ -f "$state/original" ] || { echo "cups_pdf_cleanup: nothing to restore"; exit 0; }
# What the record does not say is left as it is.
was_running=1 had_queue=1 had_conf=1 had_out_dir=1
# shellcheck disable=SC1091
. "$state/original"

scheduler_running() { lpstat -r 2>/dev/null | grep -q "is running"; }
problems=()

if [ "$had_queue" = 0 ] && scheduler_running && lpstat -p "$queue" >/dev/null 2>&1; then
  # Jobs still on their way to CUPS-PDF finish first (at most 30 s).
  for _ in $(seq 1 60); do
    [ -z "$(lpstat -o "$queue" 2>/dev/null)" ] && break
    sleep 0.5
  done
  PATH=/usr/sbin:$PATH lpadmin -x "$queue" || problems+=("the $queue queue could not be removed")
fi

if [ "$had_conf" = 1 ]; then
  cp -p "$state/cups-pdf.conf.orig" "$conf" || problems+=("$conf could not be restored")
else
  rm -f "$conf"
fi
[ "$had_out_dir" = 1 ] || rm -rf "$out_dir"

if [ "$was_running" = 0 ] && [ -f "$state/cupsd.pid" ]; then
  pid=$(cat "$state/cupsd.pid")
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    for _ in $(seq 1 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.2
    done
  fi
  kill -0 "$pid" 2>/dev/null && problems+=("cupsd ($pid) did not stop")
fi
if [ "$was_running" = 0 ] && scheduler_running; then
  problems+=("a cupsd this fixture did not start is running now; it was left alone")
fi
if [ "$had_queue" = 0 ] && grep -Eq "^<(Default)?Printer $queue>" /etc/cups/printers.conf 2>/dev/null; then
  problems+=("the $queue queue is still configured")
fi

rm -f "$state/original" "$state/cupsd.pid" "$state/cups-pdf.conf.orig"
if [ "${#problems[@]}" -gt 0 ]; then
  printf 'cups_pdf_cleanup: %s\n' "${problems[@]}"
  exit 1
fi
echo "cups_pdf_cleanup: CUPS is as the tests found it"
