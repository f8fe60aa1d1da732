#!/usr/bin/env bash
# Debug build under AddressSanitizer and UndefinedBehaviorSanitizer in
# build-asan, then the in-process tests. The end-to-end cases and the
# benchmarks' smoke runs stay on the Release build (scripts/test.sh).
# Needs the packages of scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${ASAN_BUILD_DIR:-build-asan}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Debug -DHLR_SANITIZE=ON >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)"

# Any finding fails its test: the report goes to the test's output and the
# process stops with an error. Leaks are checked too, with none excused.
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=0:detect_leaks=1:print_stacktrace=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
ctest --test-dir "$BUILD_DIR" --output-on-failure --parallel "$(nproc)" -LE 'e2e|bench' "$@"
