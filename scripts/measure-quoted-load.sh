#!/usr/bin/env bash
# Measures how tradevane-quoted (simulated market) holds up on loopback:
#  1. quote requests per second (scripts/bench-quoted.sh; target above 20,000);
#  2. the latency of a probe asking for quotes while 8 slow clients (one header line every 2 s)
#     and 2,000 idle connections are open (target: median under 50 ms);
#  3. the service's resident memory while 10 clients send 10,000 headers each, and while one
#     client announces a 4 GB body (target: under 64 MB).
#   scripts/measure-quoted-load.sh [SECONDS]     (default 10 seconds of probing, 5 of benchmark)
# The load comes from scripts/quoted-load.py (Debian's python3, standard library only).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
[[ -x /usr/bin/python3 ]] || { echo "measure-quoted-load.sh needs /usr/bin/python3 (Debian package python3)" >&2; exit 1; }

# 2,000 connections and the probe's are open files on both sides.
wanted=8192
hard=$(ulimit -Hn)
if [[ $hard != unlimited && $hard -lt 2200 ]]; then
    echo "the open-file limit is $hard; 2,000 connections need more (raise the hard limit)" >&2
    exit 1
fi
[[ $hard == unlimited || $hard -ge $wanted ]] || wanted=$hard
ulimit -n "$wanted"

cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j2 --target tradevane-quoted tradevane-quoted-bench >/dev/null

echo "Throughput (target: above 20,000 quote requests per second):"
bash scripts/bench-quoted.sh 5 4 | sed 's/^/  /'

log=$(mktemp)
pid=
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    pid=
    rm -f "$log"
    return 0
}
trap cleanup EXIT
build/tradevane-quoted --listen 127.0.0.1:0 >"$log" 2>&1 &
pid=$!
port=
for _ in $(seq 100); do
    port=$(sed -n 's/.*listening on http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
    [[ -n $port ]] && break
    sleep 0.05
done
[[ -n $port ]] || { cat "$log" >&2; exit 1; }

status=0
echo "Slow and idle clients (${seconds} s):"
/usr/bin/python3 scripts/quoted-load.py latency "$port" "$pid" "$seconds" || status=1
echo "Large heads and bodies:"
/usr/bin/python3 scripts/quoted-load.py memory "$port" "$pid" || status=1
echo "Refusals in the service's log:"
grep -o -- '-> [0-9]* refused: .*' "$log" | awk -F'refused: ' '{ gsub(/[0-9]+/, "N", $2); print $1 "refused: " $2 }' |
    sort | uniq -c | sed 's/^/  /' || true
exit $status
