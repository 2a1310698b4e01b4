#!/usr/bin/env bash
# End to end without a display: tradevane-headless on a data folder of its own, its clock set by
# libfaketime to a Monday just before its 10:00 start time, a loopback quote server and a real mail
# server. The alert mail must arrive, the log records must stream to standard output, and SIGTERM
# must end the program within a second with the stop lines logged and status 0.
set -euo pipefail
program_dir=$1
source_dir=$2
source "$source_dir/tests/e2e/common.sh"
require_tools faketime:faketime pgrep:procps ldd:libc-bin
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM= # a display-less program must not need a platform plugin
make_work_folder
mkdir "$work/data"
start_test_servers "$work/data"

fail() {
    echo "FAILED: $*"
    echo "--- standard output"; cat "$work/out" || true
    echo "--- standard error"; cat "$work/err" || true
    echo "--- activity log"; cat "$work/data/activlog.dat" 2>/dev/null || true
    exit 1
}

# The headless program loads no library of the windows.
windowed=$(ldd "$program_dir/tradevane-headless" | grep -oE 'libQt6(Gui|Widgets|Multimedia|Charts)[^ ]*' || true)
[[ -z $windowed ]] || fail "tradevane-headless links window libraries: $windowed"

# Monday 7 December 2026, 09:59:00, ten times as fast: the start time comes after ~6 s.
faketime -f '@2026-12-07 09:59:00 x10' "$program_dir/tradevane-headless" --data "$work/data" \
    >"$work/out" 2>"$work/err" &
wrapper=$!
# The faketime wrapper forks: the program is its child.
pid=
for _ in $(seq 50); do
    pid=$(pgrep -P "$wrapper" -n || true)
    [[ -n $pid ]] && break
    sleep 0.1
done
[[ -n $pid ]] || fail "the program did not start"
for _ in $(seq 120); do
    ls "$work/mail"/*.eml >/dev/null 2>&1 && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended early"
    sleep 0.5
done
mail=$(ls "$work/mail"/*.eml 2>/dev/null | head -1)
[[ -n $mail ]] || fail "no alert mail within 60 s"
grep -qF 'ABC    : Price climbed above $12.00' "$mail" || fail "the mail lacks the alert line: $(cat "$mail")"
# A second instance on the same data folder is refused while the first runs (the desktop program's
# --headless runs the same code).
second=0
"$program_dir/tradevane" --headless --data "$work/data" >/dev/null 2>"$work/second.err" || second=$?
((second == 5)) || fail "a second instance on the same data folder gave status $second, not 5"
grep -q "already running" "$work/second.err" || fail "the second instance said: $(cat "$work/second.err")"

kill -TERM "$pid"
for _ in $(seq 10); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running 1 s after SIGTERM"
status=0
wait "$wrapper" || status=$?
((status == 0)) || fail "ended with status $status after SIGTERM"

grep -qF 'Price climbed above $12.00' "$work/out" || fail "the alert record did not reach standard output"
grep -qF 'Process stopped by user' "$work/data/activlog.dat" || fail "the stop lines are not in the activity log"
grep -qF 'Process stopped by user' "$work/out" || fail "the stop lines did not reach standard output"
[[ ! -e "$work/data/tradevane.lock" ]] || fail "the instance lock was left behind"
echo "headless run: mail arrived, log streamed, SIGTERM ended it with status 0"
