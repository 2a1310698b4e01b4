#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format makes of it (.clang-format
# at the top). scripts/check-format.sh --fix formats them in place.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=clang-format-14
command -v $formatter >/dev/null || { echo "$formatter is missing (Debian package clang-format-14)"; exit 1; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
if [[ ${1:-} == --fix ]]; then
    $formatter -i "${files[@]}"
    exit 0
fi
$formatter --dry-run --Werror "${files[@]}"
echo "format: ${#files[@]} files as .clang-format wants them"
