#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and runs each
# in turn over a working copy of its corpus.
#
#   fuzz/run.sh [--time SECONDS | --runs N] [TARGET...]
#
# Targets: fuzz_document, fuzz_csv, fuzz_titxt, fuzz_picture, fuzz_edits (default: all five).
# Default limit: 60 seconds each.
# New inputs collect in fuzz/corpus-run/TARGET/ (not committed); a crash, hang, leak or oversized
# allocation stops the run, leaves its input in build-fuzz/fuzz/artifacts/ and makes the script fail.
# An input counts as a hang after FUZZ_TIMEOUT seconds (default 1); on a machine shared with other
# work a larger value avoids reports that do not reproduce.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=60)
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
        --time) limit=(-max_total_time="$2"); shift 2 ;;
        --runs) limit=(-runs="$2"); shift 2 ;;
        -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
        *) targets+=("$1"); shift ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_document fuzz_csv fuzz_titxt fuzz_picture fuzz_edits)

bash scripts/setup.sh fuzz
build=build-fuzz
mkdir -p "$build"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTESSALOOM_FUZZ=ON \
    > "$build/configure.log" 2>&1 || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j 2 --target "${targets[@]}"

artifacts="$build/fuzz/artifacts"
mkdir -p "$artifacts"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:allocator_may_return_null=0
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

for target in "${targets[@]}"; do
    work="fuzz/corpus-run/$target"
    mkdir -p "$work"
    echo "== $target (${limit[*]})"
    # A single input running over the timeout is a hang; one that needs more than 2 GB is a fault.
    "$build/fuzz/$target" "$work" "fuzz/corpus/$target" \
        -timeout="${FUZZ_TIMEOUT:-1}" -rss_limit_mb=2048 -malloc_limit_mb=1024 -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$artifacts/$target-" "${limit[@]}"
done
