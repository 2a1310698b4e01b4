#!/usr/bin/env bash
# Installs what is needed, builds, starts the quote service tradevane-quoted in the background (a
# simulated market unless told otherwise), then Tradevane; the service stops when Tradevane exits.
# Without a display (a server, a container) Tradevane runs headless and its log streams by.
#   scripts/run.sh                              simulated market
#   scripts/run.sh --source replay DIR          daily bars from DIR/SYMBOL.csv
#   scripts/run.sh --source nasdaq              live delayed prices (needs the internet)
#   scripts/run.sh --no-service                 only Tradevane, with the servers of build/servers.ini
# Any other arguments go to tradevane-quoted (see build/tradevane-quoted --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

# Without a display Tradevane runs headless: its log records stream to the terminal.
headless=0
[[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]] && headless=1

service=1
args=()
for arg in "$@"; do
    if [[ $arg == --no-service ]]; then service=0; else args+=("$arg"); fi
done

# True when a tradevane-quoted answers on HOST PORT.
quoted_answers() {
    local reply
    reply=$(timeout 2 bash -c "exec 3<>/dev/tcp/$1/$2 && printf 'GET / HTTP/1.0\r\n\r\n' >&3 && cat <&3" \
        2>/dev/null) || return 1
    [[ $reply == *"tradevane-quoted:"* ]]
}

pid=
stop_service() {
    if [[ -n $pid ]]; then
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        pid=
    fi
}
trap stop_service EXIT
trap 'exit 130' INT TERM

if ((service)); then
    listen=127.0.0.1:8470
    for ((i = 0; i < ${#args[@]}; i++)); do
        [[ ${args[i]} == --listen && $((i + 1)) -lt ${#args[@]} ]] && listen=${args[i + 1]}
    done
    host=${listen%:*} port=${listen##*:}
    [[ $host == 0.0.0.0 ]] && host=127.0.0.1
    log=build/tradevane-quoted.log
    if quoted_answers "$host" "$port"; then
        echo "A quote service already answers on $listen: Tradevane will use it."
    else
        build/tradevane-quoted "${args[@]}" >"$log" 2>&1 &
        pid=$!
        # Ready once it has said where it listens; a service that ends at once could not start.
        for _ in $(seq 100); do
            grep -q "listening on" "$log" && break
            if ! kill -0 "$pid" 2>/dev/null; then
                pid=
                cat "$log" >&2
                echo "The quote service did not start (see above); Tradevane is not started." >&2
                exit 1
            fi
            sleep 0.05
        done
        head -n 1 "$log"
        echo "Quote service log (one line per request): $log"
    fi
    # A first run on the simulated market watches ten demo stocks (nothing else is changed).
    simulated=1
    for ((i = 0; i < ${#args[@]}; i++)); do
        [[ ${args[i]} == --source && ${args[i + 1]:-} != simulate ]] && simulated=0
    done
    # Without a display nobody can press Insert Current Time: the first run also gets a schedule
    # from now on.
    if ((simulated)); then
        if ((headless)); then build/tradevane-demo-stocks build --times-from-now; else build/tradevane-demo-stocks build; fi
    fi
fi

status=0
if ((headless)); then
    echo "No display found: running Tradevane without a window (Ctrl+C stops it)."
    # On a terminal the licence is shown and asked for once.
    accept=()
    [[ -t 0 ]] && accept=(--accept-licence)
    build/tradevane-headless "${accept[@]}" || status=$?
else
    build/tradevane || status=$?
fi
exit "$status"
