#!/usr/bin/env bash
# Builds the fuzzers (clang, AddressSanitizer, libFuzzer) in their own build
# folder and runs each over its seed corpus for a short while.
#   scripts/fuzz-smoke.sh [SECONDS]   (30 by default; FUZZ_BUILD_DIR=build-fuzz)
# New inputs go to a scratch folder, never into fuzz/corpus/. Exit code 1 when
# a fuzzer of our own decoders found a crash; its input is left in the build
# folder. The metafile fuzzers count crashes inside libwmf and libemf2svg
# without stopping: in the program those run in the helper process.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
build=${FUZZ_BUILD_DIR:-build-fuzz}

cmake -S . -B "$build" -DHLR_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target fuzzers --parallel "$(nproc)"

# Caches of system libraries that last the process are not the fuzzers' leaks.
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
status=0
for target in fuzz_bitmap fuzz_icon fuzz_jpeg fuzz_emf fuzz_wmf fuzz_paradox fuzz_aliases fuzz_report fuzz_help; do
  scratch="$build/fuzz-work/$target"
  rm -rf "$scratch" && mkdir -p "$scratch"
  options=(-max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 -artifact_prefix="$build/fuzz-work/$target-")
  # The metafile libraries run in a short-lived helper in the program, where
  # a leak or a crash of theirs costs nothing: those runs go on past a crash
  # and report how many they saw. Our own decoders stop at the first.
  case $target in
    fuzz_emf | fuzz_wmf)
      options+=(-detect_leaks=0 -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1) ;;
  esac
  echo "== $target (${seconds} s)"
  if ! QT_QPA_PLATFORM=offscreen "$build/bin/$target" "${options[@]}" "$scratch" "fuzz/corpus/$target" \
    2>"$build/fuzz-work/$target.log"; then
    tail -n 40 "$build/fuzz-work/$target.log"
    status=1
  else
    grep -E "^(Done|#[0-9]+ +DONE|INFO: fuzzed for)" "$build/fuzz-work/$target.log" | tail -n 1 || true
    grep -E "crashes: [1-9]" "$build/fuzz-work/$target.log" | tail -n 1 || true
  fi
done
exit $status
