#!/usr/bin/env bash
# Runs a trading day of the monitoring engine on a fast clock against the quote service's simulated
# market and a real mail server, both on loopback, and prints the longest event-loop stall and the
# engine's own work per quote set. Usage: scripts/measure-engine.sh [SETS] [SPEED]
set -euo pipefail
cd "$(dirname "$0")/.."
sets=${1:-30}
speed=${2:-60}
build=$(pwd)/build
[[ -x $build/engine-day && -x $build/tradevane-quoted ]] || { echo "build first (scripts/build.sh)"; exit 1; }
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

: >"$work/quoted.log"
"$build/tradevane-quoted" --listen 127.0.0.1:0 >>"$work/quoted.log" 2>&1 &
mkdir "$work/mail"
sleep 600 | /usr/bin/python3 tests/common/smtp_server.py --store "$work/mail" >"$work/smtp.out" &
for _ in $(seq 100); do
    grep -q 'listening on' "$work/quoted.log" && grep -q READY "$work/smtp.out" && break
    sleep 0.1
done
port=$(sed -n 's/.*listening on http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/quoted.log")
smtp=$(awk '/READY/ {print $2}' "$work/smtp.out")
"$build/engine-day" "http://127.0.0.1:$port" "127.0.0.1:$smtp" "$sets" "$speed"
