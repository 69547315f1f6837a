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
# The sanitizers' run-time options (stop at the first report, suppress only
# what sanitizers/*.supp lists) are set per test by CMake.
if [ "$kind" = thread ]; then
  export VANTREO_STRESS_SECONDS="${VANTREO_STRESS_SECONDS:-60}"
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREO_SANITIZE="$kind"
cmake --build "$dir" -j"$(nproc)"
ctest --test-dir "$dir" --output-on-failure "$@"
