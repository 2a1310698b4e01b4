#!/usr/bin/env bash
# Installs what is needed, builds, then starts Tradevane with the simulated market built into the
# program (no quote service runs). Without a display (a server, a container) Tradevane runs
# headless and its log streams by.
#   scripts/run.sh                              simulated market
#   scripts/run.sh --source replay DIR          daily bars from DIR/SYMBOL.csv
#   scripts/run.sh --source nasdaq              live delayed prices (needs the internet)
#   scripts/run.sh --source servers             the quote and history servers of build/servers.ini
# The choice is stored in build/source.ini, as the Data Source window stores it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

# Without a display Tradevane runs headless: its log records stream to the terminal.
headless=0
[[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]] && headless=1

source=simulated
folder=
if [[ ${1:-} == --source ]]; then
    source=${2:-}
    [[ $source == replay ]] && folder=${3:-}
fi
case $source in
    simulate | simulated) printf '[source]\nKind=simulated\nSeed=1\n' >build/source.ini ;;
    replay)
        [[ -d $folder ]] || { echo "run.sh: --source replay needs a folder of SYMBOL.csv files" >&2; exit 64; }
        printf '[source]\nKind=replay\nSeed=1\nReplayFolder=%s\n' "$(realpath "$folder")" >build/source.ini ;;
    nasdaq | live) printf '[source]\nKind=live\nSeed=1\n' >build/source.ini ;;
    servers) printf '[source]\nKind=servers\nSeed=1\n' >build/source.ini ;;
    *) echo "run.sh: unknown source '$source' (simulated, replay DIR, nasdaq or servers)" >&2; exit 64 ;;
esac

# A first run on the simulated market watches ten demo stocks (nothing else is changed). Without a
# display nobody can press Insert Current Time: the first run also gets a schedule from now on.
if [[ $source == simulate* ]]; then
    if ((headless)); then build/tradevane-demo-stocks build --times-from-now; else build/tradevane-demo-stocks build; fi
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
