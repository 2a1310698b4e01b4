#!/usr/bin/env bash
# End to end, the demonstration as a new user meets it: tradevane-quoted with its simulated market,
# a fresh program folder given the demo stocks, and Tradevane on a Monday morning (libfaketime,
# both programs on the same clock). Through the accessibility tree: Set Times, the first-start
# notice, Insert Current Time, save, START. Quotes must reach the main window and alert lines the
# activity log. A missing tool fails the test and names its package.
set -euo pipefail
program_dir=$1
source_dir=$2
source "$source_dir/tests/e2e/common.sh"
require_tools xvfb-run:xvfb dbus-run-session:dbus
fake=$(ls /usr/lib/*/faketime/libfaketimeMT.so.1 2>/dev/null | head -n 1 || true)
[[ -n $fake ]] || { echo "FAILED: libfaketime is missing (Debian package libfaketime)"; exit 1; }
make_work_folder

# Monday 7 December 2026, 10:59:30, ten times as fast; the service and the program share it.
export FAKETIME='@2026-12-07 10:59:30 x10'
copy_program "$work/program"
printf '\x01' >"$work/program/frs.dat" # the terms were accepted before
"$program_dir/tradevane-demo-stocks" "$work/program"

: >"$work/quoted.log" # there before the service writes to it, for the first look below
LD_PRELOAD=$fake "$program_dir/tradevane-quoted" --listen 127.0.0.1:0 >>"$work/quoted.log" 2>&1 &
port=
for _ in $(seq 100); do
    port=$(sed -n 's/.*listening on http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/quoted.log")
    [[ -n $port ]] && break
    sleep 0.05
done
[[ -n $port ]] || { echo "the quote service did not start"; cat "$work/quoted.log"; exit 1; }
printf '[servers]\nQuoteServer=http://127.0.0.1:%s\nHistoryServer=http://127.0.0.1:%s\n' "$port" "$port" \
    >"$work/program/servers.ini"

cat >"$work/session.sh" <<SH
#!/usr/bin/env bash
set -u
press() { /usr/bin/python3 "$source_dir/scripts/press-button.py" "\$@"; }
LD_PRELOAD=$fake "$work/program/tradevane" >"$work/program.out" 2>&1 &
press "Set Times" 40 || exit 2
press OK 10 || exit 2 # a first start has no time settings yet
press "Insert Current Time" 10 || exit 2
press "Close Settings" 10 || exit 2
press Yes 10 || exit 2
press START 10 || exit 2
for i in \$(seq 120); do
    grep -q "Quote set #: 1 downloded" "$work/program/activlog.dat" 2>/dev/null && exit 0
    sleep 0.5
done
exit 3
SH
chmod +x "$work/session.sh"
status=0
QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$work/session.sh" || status=$?
log="$work/program/activlog.dat"
if ((status != 0)); then
    echo "failed (status $status): a button was not found (2) or no quote set within 60 s (3)"
    echo "--- activity log"; cat "$log" 2>/dev/null || true
    echo "--- quote service"; tail -n 20 "$work/quoted.log"
    echo "--- program output"; cat "$work/program.out" 2>/dev/null || true
    exit 1
fi
# Every demo stock was served: ten history and ten quote requests answered with data.
histories=$(grep -c -- "-> 200 history " "$work/quoted.log" || true)
quotes=$(grep -c -- "-> 200 quote " "$work/quoted.log" || true)
if [[ $histories != 10 || $quotes != 10 ]] || grep -q "Error-Stock" "$log"; then
    echo "not every stock was served: $histories histories, $quotes quotes"
    cat "$log"; cat "$work/quoted.log"
    exit 1
fi
if ! grep -qE '^(ABC|MSFT|IBM|INTC|CSCO|GE|XOM|KO|PFE|T) +: ' "$log"; then
    echo "no alert line in the activity log:"; cat "$log"
    exit 1
fi
echo "quote set and alert lines of the demonstration:"
cat "$log"
