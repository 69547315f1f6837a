#!/usr/bin/env bash
# Builds everything with a sanitizer in a folder of its own and runs the tests:
#   scripts/sanitize.sh address   AddressSanitizer + UndefinedBehaviorSanitizer (build-asan)
#   scripts/sanitize.sh thread    ThreadSanitizer (build-tsan); the concurrency
#                                 stress test runs for a minute here
# Extra arguments go to ctest (e.g. -R tst_faultinjection).
set -euo pipefail
cd "$(dirname "$0")/.."
kind="${1:-address}"
shift || true
case "$kind" in
  address) dir=build-asan ;;
  thread) dir=build-tsan ;;
  *) echo "usage: $0 [address|thread] [ctest arguments]" >&2; exit 2 ;;
esac
supp="$PWD/sanitizers"
# Stop at the first report of any kind; suppress only what sanitizers/ lists (Qt's own).
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$supp/tsan.supp:print_suppressions=0"
if [ "$kind" = thread ]; then
  export VANTREO_STRESS_SECONDS="${VANTREO_STRESS_SECONDS:-60}"
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREO_SANITIZE="$kind"
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure "$@"
