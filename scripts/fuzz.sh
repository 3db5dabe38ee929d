#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan+UBSan) and runs each for SECONDS (default 30),
# starting from the seed corpus in fuzz/corpus. A finding stops the run and is kept in
# build-fuzz/artifacts. Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
seconds=${1:-30}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(lineparser loader config serialframes)

CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DONDARIS_FUZZ=ON -DBUILD_TESTING=OFF -DONDARIS_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"
mkdir -p build-fuzz/artifacts
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for t in "${targets[@]}"; do
    work=build-fuzz/corpus/$t
    mkdir -p "$work"
    echo "== fuzz_$t for ${seconds}s"
    build-fuzz/fuzz/fuzz_$t -max_total_time="$seconds" -print_final_stats=1 -max_len=65536 \
        -rss_limit_mb=2048 -artifact_prefix=build-fuzz/artifacts/$t- "$work" fuzz/corpus/$t 2>&1 \
        | grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==|SUMMARY|INFO: Running)' || true
    [ "${PIPESTATUS[0]}" -eq 0 ] || { echo "fuzz_$t found a fault: see build-fuzz/artifacts" >&2; exit 1; }
    echo "fuzz_$t: ran clean for ${seconds}s"
done
