#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the project's own sources,
# with the flags of the build in $BUILD_DIR (default build), which must be
# built first: the tests include files that moc generates there.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/compile_commands.json" ]; then
  echo "Falta $BUILD_DIR/compile_commands.json: ejecute antes ./scripts/setup.sh" >&2
  exit 2
fi
# Only sources under these folders; moc's output in the build folder is not ours.
run-clang-tidy -quiet -p "$BUILD_DIR" -j "$(nproc)" "^$PWD/(src|tests|tools|bench)/"
