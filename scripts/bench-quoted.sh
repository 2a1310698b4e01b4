#!/usr/bin/env bash
# Measures how many quote requests per second tradevane-quoted (simulated market) answers on
# loopback, request log included: once at the machine's time, and once on a weekday afternoon
# (under faketime, when installed), when every quote walks the day's price path up to the minute.
#   scripts/bench-quoted.sh [SECONDS] [CLIENTS]     (default 5 seconds, 4 clients)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
clients=${2:-4}
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target tradevane-quoted tradevane-quoted-bench >/dev/null

log=$(mktemp)
pid=
cleanup() {
    [[ -n $pid ]] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    pid=
    return 0
}
trap 'cleanup; rm -f "$log"' EXIT

measure() { # label, then the command that starts the service
    local label=$1 port=
    shift
    "$@" build/tradevane-quoted --listen 127.0.0.1:0 >"$log" 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        port=$(sed -n 's/.*listening on http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log")
        [[ -n $port ]] && break
        sleep 0.05
    done
    [[ -n $port ]] || { cat "$log" >&2; exit 1; }
    printf '%-34s ' "$label:"
    build/tradevane-quoted-bench "$port" "$seconds" "$clients"
    cleanup
}

measure "now ($(date '+%a %H:%M'))" env
# libfaketime preloaded directly: the faketime wrapper would fork, leaving a pid that is not the
# service's.
fake=$(ls /usr/lib/*/faketime/libfaketimeMT.so.1 2>/dev/null | head -n 1 || true)
if [[ -n $fake ]]; then
    measure "weekday 15:00, mid-session" env LD_PRELOAD="$fake" FAKETIME='@2026-03-11 15:00:00'
fi
