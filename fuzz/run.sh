#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time, one after the other.
#
#   FUZZ_SECONDS  seconds per target (default 180)
#   FUZZ_TARGETS  the targets to run, separated by blanks (default: all of them)
#   FUZZ_BUILD    the build directory (default build/fuzz)
#   FUZZ_WORK     where the grown corpora, the logs and any crashing inputs go
#                 (default $FUZZ_BUILD/work; kept between runs, so later runs start further on)
#   FUZZ_JOBS     parallel compile jobs (default 2); the fuzzing itself always runs one process
#
# Each target starts from its committed seeds in fuzz/corpus/<target> plus what earlier runs
# found. A crashing input is saved as $FUZZ_WORK/crashes/<target>/crash-* and the script fails.
# Replay one with: $FUZZ_BUILD/fuzz/<target>_fuzz <file> (TINTORA_FUZZ_SHOW=1 prints its parts).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD:-$root/build/fuzz}
work=${FUZZ_WORK:-$build/work}
seconds=${FUZZ_SECONDS:-180}
read -r -a targets <<<"${FUZZ_TARGETS:-integer_text colour_text profile inibrel usercolor codepage gimp_palette colour_history}"

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTINTORA_FUZZ=ON -DTINTORA_WITH_UI=OFF -DBUILD_TESTING=OFF -DTINTORA_BENCH=OFF >/dev/null
cmake --build "$build" -j"${FUZZ_JOBS:-2}" --target "${targets[@]/%/_fuzz}" >/dev/null

# The files the targets write live on tmpfs when the machine has one.
tmp=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && tmp=/dev/shm

failed=()
for target in "${targets[@]}"; do
    corpus="$work/corpus/$target"
    crashes="$work/crashes/$target"
    log="$work/$target.log"
    mkdir -p "$corpus" "$crashes"
    max_len=4096
    [ "$target" = integer_text ] && max_len=256
    status=0
    TINTORA_FUZZ_TMP=$tmp \
        ASAN_OPTIONS=abort_on_error=1:detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
        -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$crashes/" \
        "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    runs=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log")
    echo "fuzz: $target: ${runs:-?} inputs in ${seconds} s, corpus $(find "$corpus" -type f | wc -l) files"
    if [ "$status" -ne 0 ]; then
        failed+=("$target")
        grep -a -E 'check failed|ERROR|runtime error|Test unit written' "$log" | head -n 20 || true
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz: failures in ${failed[*]}; logs in $work"
    exit 1
fi
