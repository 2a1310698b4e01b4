#!/usr/bin/env bash
# Configures and builds into build/ (the build folder is a working program folder). Arguments go
# to the configure step, e.g. -DTRADEVANE_WERROR=ON.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build
