#!/usr/bin/env bash
# Sets up what is missing, then builds and runs the whole test suite twice: a plain build, and
# a build under AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz target for
# about 30 seconds under ASan+UBSan. Fails on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
werror=OFF
[ -n "${CI:-}" ] && werror=ON
passed=0
failed=0

run_suite() {
    local dir=$1; shift
    echo "== $dir: configure and build"
    cmake -S . -B "$dir" -G Ninja -DONDARIS_WERROR=$werror "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    echo "== $dir: tests"
    local log status=0
    log=$(mktemp)
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" 2>&1 | tee "$log" || status=$?
    local total fails
    total=$(sed -n 's/.* tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -1)
    fails=$(sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -1)
    rm -f "$log"
    passed=$((passed + ${total:-0} - ${fails:-0}))
    failed=$((failed + ${fails:-0}))
    [ "$status" -eq 0 ] && [ -n "$total" ] || failed=$((failed + 1))
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
    run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DONDARIS_SANITIZE=ON -DONDARIS_BENCH=OFF

echo "== fuzzing"
if scripts/fuzz.sh "${ONDARIS_FUZZ_SECONDS:-30}"; then
    passed=$((passed + 4))
else
    failed=$((failed + 1))
fi

echo "suite: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
