#!/usr/bin/env bash
# Installs what is needed, then checks everything, in this order: the formatting of every C++ file,
# a build without a single warning, clang-tidy over src/, a build without the windows
# (build-nogui/), every test, every test again built with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/), and the fuzzers (build-fuzz/) for a fixed time each.
# A test that lacks a tool fails and names the package; a skipped test fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
step() { printf '\n=== %s (%d s so far)\n' "$1" $((SECONDS - started)); }

# Runs ctest in the build folder $1 with the remaining arguments; fails when a test did not run.
run_tests() {
    local folder=$1 output
    shift
    output=$(mktemp)
    (cd "$folder" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 "$@") 2>&1 | tee "$output"
    local status=${PIPESTATUS[0]}
    if grep -q 'tests did not run' "$output"; then
        echo "FAILED: tests were skipped in $folder; under CI every test must run"
        status=1
    fi
    rm -f "$output"
    return "$status"
}

# The builds share their compiler cache wherever they compile the same source the same way.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1

step "install"
scripts/install-deps.sh
step "format"
scripts/check-format.sh
step "build (warnings are errors)"
scripts/build.sh -DTRADEVANE_WERROR=ON
step "clang-tidy"
scripts/tidy.sh
step "build without the windows (the engine, the headless program and their tests need none)"
cmake -S . -B build-nogui -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRADEVANE_GUI=OFF -DTRADEVANE_WERROR=ON \
    -DTRADEVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-nogui
step "tests"
run_tests build --timeout 300
step "tests with AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/sanitize.sh --build-only
run_tests build-asan --timeout 600
step "fuzzers"
scripts/fuzz.sh
step "all checks passed"
