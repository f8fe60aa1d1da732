#!/usr/bin/env bash
# Installs what is missing, builds, installs the initial data when the alias
# HLR10 has no tables yet, and starts Huellario.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
BUILD_DIR=${BUILD_DIR:-build}
bin="$BUILD_DIR/bin"

if [ -x "$bin/huellario-setup" ]; then
  # The tool itself says whether the alias already has its tables.
  "$bin/huellario-setup" --if-missing
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No hay pantalla gráfica (DISPLAY vacío). Para probar sin escritorio: xvfb-run -a ./scripts/run.sh" >&2
  exit 1
fi
exec "$bin/huellario"
