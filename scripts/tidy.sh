#!/usr/bin/env bash
# Runs clang-tidy with the project's checks (.clang-tidy: the naming guideline, bugprone and a few
# modernize checks) over every source file of src/, with the compile commands of build/ (make them
# with scripts/build.sh). Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v run-clang-tidy-14 >/dev/null \
    || { echo "tidy.sh: run-clang-tidy-14 is missing (Debian package clang-tidy-14)" >&2; exit 1; }
[[ -f build/compile_commands.json ]] || { echo "tidy.sh: build first (scripts/build.sh)" >&2; exit 1; }
output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
run-clang-tidy-14 -p build -j "$(nproc)" -quiet "$PWD/src/.*\.cpp$" >"$output" 2>&1 || status=$?
# Only the findings: run-clang-tidy prints every command it runs as well.
sed "s/\x1b\[[0-9;]*m//g" "$output" | grep -E "(warning|error):" | sort -u || true
files=$(grep -c '^clang-tidy-14 ' "$output" || true)
if ((status != 0)); then
    echo "tidy.sh: clang-tidy found the problems above" >&2
    exit 1
fi
echo "tidy: $files files of src/ without a finding"
