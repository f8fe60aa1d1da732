#!/usr/bin/env bash
# Shared by run.sh and test.sh: installs the Debian 12 packages that are
# missing, then configures and builds in Release. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config python3 qt6-base-dev qt6-svg-dev libsqlite3-dev sqlite3
  libjpeg62-turbo-dev libwmf-dev libemf2svg-dev pxlib-dev
  libxcb1-dev fonts-liberation2 fonts-dejavu-core qt6-translations-l10n xvfb xauth xdotool x11-utils openbox faketime poppler-utils
  clang libclang-rt-14-dev)
# The Debian package: cpack's library dependency scan needs file; its test
# validates the AppStream metadata with appstreamcli.
packages+=(file appstream)
# Printing through a real queue, the reminders' notification and calendar
# checks, and the package's lint.
packages+=(cups printer-driver-cups-pdf dbus-daemon dbus-bin python3-dbusmock python3-icalendar lintian)
# The format and static checks (check-format.sh, tidy.sh).
packages+=(clang-format clang-tidy)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Instalando paquetes: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" --parallel "$(nproc)"
