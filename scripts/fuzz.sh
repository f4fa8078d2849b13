#!/usr/bin/env bash
# Builds the fuzz harnesses (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs each for a fixed time, two at a time on this machine's two cores.
#   scripts/fuzz.sh [--seconds N] [--jobs J] [harness ...]     (default: 600 s, every harness)
# Each harness starts from build-fuzz/seeds/<harness> (made by fuzz/make_corpus.sh from the
# generator's files in build/bin, built first when missing) and
# fuzz/regressions/<harness> (inputs of fixed findings); what it learns collects in
# build-fuzz/corpus/<harness>. A finding is saved as build-fuzz/findings/<harness>-crash-... (or leak-,
# timeout-, oom-) and the script fails. Fixed findings move to fuzz/regressions/<harness>/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=600
jobs=2
harnesses=()
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    *) harnesses+=("$1"); shift ;;
  esac
done
[ ${#harnesses[@]} -gt 0 ] || harnesses=(area model wave texture ini shaderconfiguration material materialinstance font)

KIPSTER_BUILD_DIR=build-fuzz \
KIPSTER_CMAKE_ARGS="-DKIPSTER_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++" \
  scripts/build.sh --target fuzz_harnesses

[ -d build/bin/world ] || scripts/build.sh
fuzz/make_corpus.sh build/bin build-fuzz/seeds > /dev/null
mkdir -p build-fuzz/findings build-fuzz/logs
run_one() {
  local harness=$1
  local corpus=build-fuzz/corpus/$harness
  local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512
                 -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$harness-")
  # A file leaves one area file's terrain section (416000 bytes) behind the compact input.
  [ "$harness" = area ] && options+=(-max_len=65536) || options+=(-max_len=16384)
  [ -f "fuzz/dictionaries/$harness.dict" ] && options+=(-dict="fuzz/dictionaries/$harness.dict")
  mkdir -p "$corpus" "fuzz/regressions/$harness"
  if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0 UBSAN_OPTIONS=print_stacktrace=1 \
       "build-fuzz/fuzz/fuzz_$harness" "${options[@]}" "$corpus" "build-fuzz/seeds/$harness" "fuzz/regressions/$harness" \
       > "build-fuzz/logs/$harness.log" 2>&1; then
    echo "$harness: $(grep -m1 -o 'stat::number_of_executed_units: [0-9]*' "build-fuzz/logs/$harness.log" | grep -o '[0-9]*$') inputs in ${seconds} s, no finding"
  else
    echo "$harness: FINDING (build-fuzz/logs/$harness.log)"
    grep -m3 -E "ERROR: |runtime error|SUMMARY" "build-fuzz/logs/$harness.log" | sed 's/^/  /'
    return 1
  fi
}

failed=0
running=0
for harness in "${harnesses[@]}"; do
  run_one "$harness" > "build-fuzz/logs/$harness.result" 2>&1 &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
for harness in "${harnesses[@]}"; do
  cat "build-fuzz/logs/$harness.result"
done
exit $failed
