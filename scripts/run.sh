#!/usr/bin/env bash
# Installs what is needed, builds and starts Tradevane.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: running Tradevane under xvfb-run (a virtual display)."
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/tradevane
fi
exec build/tradevane
