#!/usr/bin/env bash
# Builds the libFuzzer targets (clang++-14, in build-fuzz) and runs each for
# the given number of seconds (default 20) on a working copy of its seed
# corpus from fuzz/corpus/. Prints executions and crashes per target; exits
# non-zero when any target crashed. Crash inputs are left in
# build-fuzz/crashes/ (add each to fuzz/corpus/<target>/ once fixed).
#   scripts/fuzz.sh [seconds-per-target] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true
cxx="${CXX_FUZZ:-clang++-14}"
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$cxx" \
  -DVANTREO_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzz_all -j"$(nproc)"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for d in fuzz/corpus/*/; do targets+=("$(basename "$d")"); done
fi
mkdir -p build-fuzz/crashes build-fuzz/logs
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
# The same third-party leaks as in the sanitizer builds are suppressed (a
# buffer libfreexl loses on some damaged workbooks); ours are all reported.
export LSAN_OPTIONS="suppressions=$PWD/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
passed=0
crashed=0
printf '%-22s %12s %10s %8s\n' target executions exec/s crashes
for t in "${targets[@]}"; do
  work="build-fuzz/corpus/$t"
  mkdir -p "$work"
  log="build-fuzz/logs/$t.log"
  status=0
  # Workbooks and catalogues are larger than the frames and short files.
  case "$t" in
    fuzz_xls) max_len=65536 ;;
    fuzz_catalogue) max_len=16384 ;;
    *) max_len=4096 ;;
  esac
  "build-fuzz/fuzz/$t" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/crashes/$t-" \
    "$work" "fuzz/corpus/$t" >"$log" 2>&1 || status=$?
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  crashes=0
  if [ "$status" -ne 0 ]; then
    crashes=1
    failed=1
    crashed=$((crashed + 1))
  else
    passed=$((passed + 1))
  fi
  printf '%-22s %12s %10s %8s\n' "$t" "${execs:-?}" "${speed:-?}" "$crashes"
  if [ "$status" -ne 0 ]; then
    grep -m1 -A25 'ERROR\|runtime error\|deadly signal' "$log" | sed 's/^/    /' || tail -25 "$log"
  fi
done
echo "fuzz: $passed passed, $crashed failed"
exit "$failed"
