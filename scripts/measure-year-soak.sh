#!/usr/bin/env bash
# Runs the monitoring engine through a whole trading year on the simulated clock, with injected
# faults, against the in-process quote server and a real mail server (python3-aiosmtpd), and
# prints the table of its checks (bench/YearSoak.cpp, tests/common/YearSoak.h). The computer sits
# in Sydney, far from New York, with its own changes of clocks. It ends with status 1 when a check
# failed. Usage: scripts/measure-year-soak.sh [year-soak options, e.g. --year 2026 --seed 7]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(pwd)/build
[[ -x $build/year-soak ]] || { echo "build first (scripts/build.sh)"; exit 1; }
TZ=Australia/Sydney LANG=C.UTF-8 LC_ALL=C.UTF-8 "$build/year-soak" --zone Australia/Sydney "$@"
