#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang-14 into build-fuzz/ and runs each of them:
# first over its seed corpus (tests/fuzz/corpus/<target>/) and the inputs kept from earlier finds
# (tests/fuzz/regressions/<target>/), then fuzzing for SECONDS (default 10) from a temporary copy of
# those, so that the corpus in the repository does not grow. Any crash, failed check, sanitizer
# report, leak, time-out or oversized allocation fails the script, which names the input that shows
# it; the inputs found while fuzzing are kept in build-fuzz/artifacts/.
#
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${1:-10}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds < 1)); then
    echo "usage: scripts/fuzz.sh [SECONDS]   (seconds of fuzzing per target, default 10)" >&2
    exit 2
fi

missing_clang() {
    echo "fuzz.sh: $1; install the Debian packages clang-14 libclang-rt-14-dev" \
        "(scripts/install-deps.sh installs them)" >&2
    exit 1
}
command -v clang++-14 >/dev/null || missing_clang "clang++-14 is missing"
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
    >"$probe/probe.cpp"
clang++-14 -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>"$probe/log" \
    || { cat "$probe/log" >&2; missing_clang "clang++-14 cannot link a fuzz target (no libFuzzer runtime)"; }

start=$SECONDS
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DTRADEVANE_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

# Every sanitizer report ends the run with a stack; UBSan's as well as ASan's.
export ASAN_OPTIONS=halt_on_error=1:print_stacktrace=1:detect_leaks=1:allocator_may_return_null=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
if [[ -f tests/fuzz/lsan.supp ]]; then
    export LSAN_OPTIONS=suppressions=$root/tests/fuzz/lsan.supp:print_suppressions=0
fi
export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d)
trap 'rm -rf "$probe" "$work"' EXIT
artifacts=$root/$build/artifacts
mkdir -p "$artifacts"
# The targets' own temporary program folders go with the rest, even after a crash.
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"

targets=()
for source in tests/fuzz/fuzz_*.cpp; do
    targets+=("$(basename "$source" .cpp)")
done

failed=0
report() { # target, log, what
    echo "FAILED: $1 ($3)" >&2
    tail -n 40 "$2" >&2
    failed=1
}

for target in "${targets[@]}"; do
    name=${target#fuzz_}
    binary=$root/$build/$target
    seeds=(tests/fuzz/corpus/"$name")
    [[ -d tests/fuzz/regressions/$name ]] && seeds+=(tests/fuzz/regressions/"$name")
    log=$work/$target.log

    # The kept inputs, each run once.
    mapfile -t inputs < <(find "${seeds[@]}" -type f | sort)
    if ((${#inputs[@]} == 0)); then
        echo "FAILED: $target has no seed inputs in tests/fuzz/corpus/$name" >&2
        failed=1
        continue
    fi
    if ! "$binary" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 -artifact_prefix="$work/" \
        "${inputs[@]}" >"$log" 2>&1; then
        input=$(grep '^Running: ' "$log" | tail -n 1 | sed 's/^Running: //')
        report "$target" "$log" "kept input"
        echo "reproduce: $build/$target $input" >&2
        continue
    fi
    echo "$target: ${#inputs[@]} kept inputs pass"

    # Fuzzing from a copy of the kept inputs.
    corpus=$work/corpus/$name
    mkdir -p "$corpus"
    for f in "${inputs[@]}"; do cp "$f" "$corpus/$(echo "$f" | tr '/' '_')"; done
    if ! "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$target-" "$corpus" >"$log" 2>&1; then
        input=$(grep -o "Test unit written to .*" "$log" | tail -n 1 | sed 's/^Test unit written to //')
        report "$target" "$log" "fuzzing"
        echo "reproduce: $build/$target ${input:-(no input written; see the log above)}" >&2
        continue
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    echo "$target: fuzzed ${seconds} s, $runs runs, no finding"
done

echo "fuzz.sh: ${#targets[@]} targets in $((SECONDS - start)) s"
if ((failed)); then
    echo "fuzz.sh: FAILED (see above)" >&2
    exit 1
fi
