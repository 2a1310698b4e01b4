#!/usr/bin/env bash
# End to end, the demonstration as a new user meets it, with no quote service running: a fresh
# program folder given the demo stocks and the simulated market built into the program, and
# Tradevane on a Monday morning (libfaketime). Through the accessibility tree: Set Times, the
# first-start notice, Insert Current Time, save, START. Quotes must reach the main window and
# alert lines the activity log. Then tradevane-headless on the same folder gets its quotes from the
# same built-in source. A missing tool fails the test and names its package.
set -euo pipefail
program_dir=$1
source_dir=$2
source "$source_dir/tests/e2e/common.sh"
require_tools xvfb-run:xvfb dbus-run-session:dbus
fake=$(ls /usr/lib/*/faketime/libfaketimeMT.so.1 2>/dev/null | head -n 1 || true)
[[ -n $fake ]] || { echo "FAILED: libfaketime is missing (Debian package libfaketime)"; exit 1; }
make_work_folder

# Monday 7 December 2026, 10:59:30, ten times as fast.
export FAKETIME='@2026-12-07 10:59:30 x10'
copy_program "$work/program"
cp "$program_dir/tradevane-headless" "$work/program/"
printf '\x01' >"$work/program/frs.dat" # the terms were accepted before
"$program_dir/tradevane-demo-stocks" "$work/program"
printf '[source]\nKind=simulated\nSeed=1\n' >"$work/program/source.ini"

cat >"$work/session.sh" <<SH
#!/usr/bin/env bash
set -u
press() { /usr/bin/python3 "$source_dir/scripts/press-button.py" "\$@"; }
LD_PRELOAD=$fake "$work/program/tradevane" >"$work/program.out" 2>&1 &
app=\$!
press "Set Times" 40 || exit 2
press OK 10 || exit 2 # a first start has no time settings yet
press "Insert Current Time" 10 || exit 2
press "Close Settings" 10 || exit 2
press Yes 10 || exit 2
press START 10 || exit 2
for i in \$(seq 120); do
    if grep -q "Quote set #: 1 downloded" "$work/program/activlog.dat" 2>/dev/null; then
        kill -TERM \$app; wait \$app; exit 0 # the folder is free for the headless run
    fi
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
    echo "--- program output"; cat "$work/program.out" 2>/dev/null || true
    exit 1
fi
# Every demo stock was served by the built-in market, and the log says the prices are not real.
if grep -q "Error-Stock" "$log" || ! grep -qF "Prices: simulated market (not real prices)" "$log"; then
    echo "not every stock was served by the simulated market:"
    cat "$log"
    exit 1
fi
if ! grep -qE '^(ABC|MSFT|IBM|INTC|CSCO|GE|XOM|KO|PFE|T) +: ' "$log"; then
    echo "no alert line in the activity log:"; cat "$log"
    exit 1
fi
echo "quote set and alert lines of the demonstration:"
cat "$log"

# The headless program on the same folder, no service either: the next quote set comes from the
# built-in market too.
LD_PRELOAD=$fake "$work/program/tradevane-headless" --source simulate:2 >"$work/headless.out" 2>&1 &
headless=$!
for _ in $(seq 120); do
    grep -q "downloded" "$work/headless.out" && break
    sleep 0.5
done
kill -TERM "$headless" 2>/dev/null || true
wait "$headless" || true
if ! grep -q "downloded" "$work/headless.out" || grep -q "Error-Stock" "$work/headless.out"; then
    echo "the headless program got no quote set from the built-in market:"
    cat "$work/headless.out"
    exit 1
fi
echo "headless, built-in market:"
grep -E "Prices|downloded" "$work/headless.out"

