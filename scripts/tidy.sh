#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the project's own sources,
# with the flags of the build in $BUILD_DIR (default build), which must be
# built first: the tests include files that moc generates there.
#   scripts/tidy.sh              every source
#   scripts/tidy.sh --changed    the sources a change touches: those changed
#                                by the commits of the six hours before the
#                                last one (a working session's), or since the
#                                commit given as TIDY_BASE; a changed header
#                                brings the source of its name
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/compile_commands.json" ]; then
  echo "Falta $BUILD_DIR/compile_commands.json: ejecute antes ./scripts/setup.sh" >&2
  exit 2
fi
if [ "${1:-}" != "--changed" ]; then
  # Only sources under these folders; moc's output in the build folder is not ours.
  run-clang-tidy -quiet -p "$BUILD_DIR" -j "$(nproc)" "^$PWD/(src|tests|tools|bench)/"
  exit 0
fi
# Measured from the last commit's date, not today's, so a clone checked later
# looks at the same change.
since=$(($(git log -1 --format=%ct HEAD) - 6 * 3600))
base=${TIDY_BASE:-$(git rev-list -1 --before="@$since" HEAD 2>/dev/null || true)}
[ -n "$base" ] || base=$(git rev-list --max-parents=0 HEAD | tail -n 1)
mapfile -t changed < <(git diff --name-only --diff-filter=d "$base" HEAD -- 'src/*' 'tests/*' 'tools/*' 'bench/*' \
  | grep -E '\.(cpp|h)$' || true)
sources=()
for file in "${changed[@]}"; do
  case $file in
    *.cpp) sources+=("$PWD/$file") ;;
    *.h) [ -f "${file%.h}.cpp" ] && sources+=("$PWD/${file%.h}.cpp") ;;
  esac
done
if ((${#sources[@]} == 0)); then
  echo "clang-tidy: ningún fuente cambiado desde $(git rev-parse --short "$base")."
  exit 0
fi
mapfile -t sources < <(printf '%s\n' "${sources[@]}" | sort -u)
# Only files the build compiles (a header-only test helper has no entry).
known=()
for source in "${sources[@]}"; do
  grep -qF "\"file\": \"$source\"" "$BUILD_DIR/compile_commands.json" && known+=("$source")
done
echo "clang-tidy sobre ${#known[@]} fuentes cambiados desde $(git rev-parse --short "$base")"
((${#known[@]} == 0)) || run-clang-tidy -quiet -p "$BUILD_DIR" -j "$(nproc)" "${known[@]/#/^}"
