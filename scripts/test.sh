#!/usr/bin/env bash
# Sets the machine up, then builds and runs every test: the release build (warnings are errors)
# with the end-to-end tests, a second build under AddressSanitizer and UndefinedBehaviorSanitizer,
# and a short run of every fuzz target. Any failure stops the script with a non-zero status; the
# last lines sum up what ran.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
bash "$root/scripts/setup.sh"

echo "== release build and tests"
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DTINTORA_WERROR=ON >/dev/null
cmake --build "$root/build/release" -j"$jobs"
ctest --test-dir "$root/build/release" --output-on-failure -j"$jobs"

echo "== sanitizer build and tests"
cmake -S "$root" -B "$root/build/asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINTORA_WERROR=ON \
    -DTINTORA_SANITIZE=ON -DTINTORA_BENCH=OFF >/dev/null
cmake --build "$root/build/asan" -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
    ctest --test-dir "$root/build/asan" --output-on-failure -j"$jobs" -LE e2e

echo "== fuzzing, a short run of each target (fuzz/run.sh; FUZZ_SECONDS per target)"
FUZZ_SECONDS=${FUZZ_SECONDS:-12} FUZZ_JOBS=$jobs bash "$root/fuzz/run.sh"

count() { ctest --test-dir "$1" -N "${@:2}" | awk '/Total Tests:/ { print $3 }'; }
echo "== all passed: release build $(count "$root/build/release") tests," \
    "sanitizer build $(count "$root/build/asan" -LE e2e) tests, every fuzz target clean"
