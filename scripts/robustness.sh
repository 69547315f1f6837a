#!/usr/bin/env bash
# Every robustness check in one run, for people (about half an hour on two
# cores): the test suite under AddressSanitizer + UBSan and under
# ThreadSanitizer (with the one-minute concurrency stress test), then each
# fuzz target for the given seconds (default 60). Prints the figures at the
# end: tests passed per sanitizer, sanitizer reports, the table of injected
# faults and outcomes, the stress test's traffic, and the fuzz table. Logs
# stay in build-robustness/.
#   scripts/robustness.sh [fuzz-seconds-per-target]
set -uo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
logs=build-robustness
mkdir -p "$logs"
status=0

scripts/sanitize.sh address -V >"$logs/asan.log" 2>&1 || status=1
scripts/sanitize.sh thread -V >"$logs/tsan.log" 2>&1 || status=1
scripts/fuzz.sh "$seconds" >"$logs/fuzz.log" 2>&1 || status=1

summary() {
  local name="$1" log="$2"
  local line reports
  line=$(grep -E 'tests passed|tests failed' "$log" | tail -1)
  reports=$(grep -cE 'ERROR: AddressSanitizer|runtime error:|WARNING: ThreadSanitizer|ERROR: LeakSanitizer' "$log")
  printf '%-28s %s; sanitizer reports: %s\n' "$name" "${line:-did not finish}" "$reports"
}

echo
echo "== sanitizers"
summary "AddressSanitizer + UBSan:" "$logs/asan.log"
summary "ThreadSanitizer:" "$logs/tsan.log"
echo
echo "== fault injection (AddressSanitizer build)"
sed 's/^[0-9]*: //' "$logs/asan.log" | sed -n '/^Faults injected:/,/^(wrong-success/p'
echo
echo "== concurrency stress test (ThreadSanitizer build)"
sed 's/^[0-9]*: //' "$logs/tsan.log" | grep -E '^(native|RTU|ASCII) +[0-9]+ frames'
echo
echo "== fuzzing, $seconds s per target"
sed -n '/^target /,$p' "$logs/fuzz.log"
exit "$status"
