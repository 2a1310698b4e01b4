#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs
# every test there (ctest arguments may follow). LeakSanitizer is on; tests/lsan.supp lists the
# leaks proven to be in system libraries. Any report fails the test that caused it.
# With --build-only it only builds. Warnings are not errors here: with the sanitizers' instrumentation
# g++ 12 warns of array bounds that the normal build (where warnings are errors) proves safe.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRADEVANE_SANITIZE=ON \
    -DTRADEVANE_WERROR=OFF -DTRADEVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan
[[ ${1:-} == --build-only ]] && exit 0
cd build-asan
ctest --output-on-failure --timeout 600 -j2 "$@"
