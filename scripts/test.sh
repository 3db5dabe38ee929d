#!/usr/bin/env bash
# Sets up what is missing, checks the formatting, then builds and runs the whole test suite
# twice: a plain build, and a build under AddressSanitizer and UndefinedBehaviorSanitizer; then
# runs each fuzz target for about 30 seconds under ASan+UBSan. Fails on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
plain=dev
werror=OFF
[ -n "${CI:-}" ] && plain=ci && werror=ON
passed=0
failed=0

echo "== formatting"
if find src tests bench fuzz packaging \( -name '*.cpp' -o -name '*.h' \) -print0 \
        | xargs -0 clang-format --dry-run --Werror; then
    passed=$((passed + 1))
else
    echo "clang-format: the files above are not formatted (clang-format -i FILE)" >&2
    failed=$((failed + 1))
fi

# Adds the results of CTest's JUnit report to the counts; a missing report is one failure.
count_junit() {
    local report=$1 counts
    if ! counts=$(python3 - "$report" <<'PY'
import sys, xml.etree.ElementTree as ET
suite = ET.parse(sys.argv[1]).getroot()
cases = suite.iter("testcase")
bad = sum(1 for c in cases if c.get("status") not in ("run", "disabled") or
          c.find("failure") is not None or c.find("error") is not None)
total = int(suite.get("tests", 0))
print(total - bad, bad)
PY
    ); then
        failed=$((failed + 1))
        return
    fi
    read -r ok bad <<<"$counts"
    [ "$ok" -gt 0 ] || bad=$((bad + 1))
    passed=$((passed + ok))
    failed=$((failed + bad))
}

run_suite() {
    local preset=$1; shift
    echo "== $preset: configure and build"
    cmake --preset "$preset" -DONDARIS_WERROR=$werror "$@" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "== $preset: tests"
    local report
    report=$(mktemp --suffix=.xml)
    ctest --preset "$preset" -j "$jobs" --output-junit "$report" || true
    count_junit "$report"
    rm -f "$report"
}

run_suite "$plain"
run_suite asan

echo "== fuzzing"
fuzzlog=$(mktemp)
scripts/fuzz.sh "${ONDARIS_FUZZ_SECONDS:-30}" 2>&1 | tee "$fuzzlog" || failed=$((failed + 1))
ran=$(grep -c '^fuzz_[a-z]*: ran clean' "$fuzzlog" || true)
rm -f "$fuzzlog"
passed=$((passed + ran))
[ "$ran" -gt 0 ] || failed=$((failed + 1))

echo "suite: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
