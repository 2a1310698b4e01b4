#!/usr/bin/env bash
# Screenshots of the alert, time, mail and channel settings windows (every pane and help panel) on a
# virtual X display, into the folder given (default: build/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots}")
mkdir -p "$out"
cmake --build build --target test_gui >/dev/null
for t in test_gui; do
    TRADEVANE_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=xcb \
        xvfb-run -a -s "-screen 0 1280x1024x24" build/$t --gtest_filter='Screenshots.*'
done
echo "screenshots in $out"
