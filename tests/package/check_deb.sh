#!/usr/bin/env bash
# Builds the .deb from a built tree, unpacks it into an empty folder with
# dpkg -x and checks what a user gets: the programs with the files they read
# beside them, the menu entry, icon and AppStream metadata, the dependencies,
# and an unpacked huellario-setup that installs a data folder.
# Usage: check_deb.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FALLO: $*" >&2
  exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "cpack no pudo hacer el paquete"; }
debs=("$work"/out/huellario_*.deb)
[ -f "${debs[0]}" ] || fail "cpack no dejó ningún huellario_*.deb en $work/out"
deb=${debs[0]}
echo "Paquete: $(basename "$deb")"

root="$work/root"
mkdir "$root"
dpkg -x "$deb" "$root"

expected=(usr/bin/huellario usr/bin/huellario-setup usr/bin/HLR20.HLP
  usr/share/applications/org.huellario.Huellario.desktop
  usr/share/metainfo/org.huellario.Huellario.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/org.huellario.Huellario.svg)
# The report project comes with the health register's branch; once it is in
# the sources it must be in the package too.
[ -f "$source/resources/sanidad.rpt" ] && expected+=(usr/bin/sanidad.rpt)
for f in "${expected[@]}"; do
  [ -f "$root/$f" ] || fail "falta $f en el paquete"
done
for f in huellario huellario-setup; do
  [ -x "$root/usr/bin/$f" ] || fail "usr/bin/$f no es ejecutable"
done
cmp -s "$root/usr/bin/HLR20.HLP" "$source/resources/HLR20.HLP" || fail "HLR20.HLP no es el de las fuentes"

# Every dependency is a Debian package: the libraries found by dpkg-shlibdeps
# and the plugin and fonts named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6widgets6 libqt6core6 libsqlite3-0 pxlib1 qt6-qpa-plugins fonts-liberation2; do
  grep -qE "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends no incluye $p"
done
while read -r p; do
  dpkg-query -W "$p" >/dev/null 2>&1 || apt-cache show "$p" >/dev/null 2>&1 || fail "la dependencia $p no es un paquete de Debian"
done < <(tr ',' '\n' <<<"$depends" | sed -E 's/\(.*\)//; s/\|.*//; s/^ +| +$//g' | grep -v '^$')

# The metadata and the menu entry as AppStream sees them, installed together.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli no acepta los metadatos instalados"
desktop="$root/usr/share/applications/org.huellario.Huellario.desktop"
grep -q '^Name=Huellario$' "$desktop" || fail "el .desktop no se llama Huellario"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "el icono «$icon» del .desktop no está en el paquete"
grep -q '<launchable type="desktop-id">org.huellario.Huellario.desktop</launchable>' \
  "$root/usr/share/metainfo/org.huellario.Huellario.metainfo.xml" || fail "los metadatos no lanzan el .desktop instalado"

# The unpacked tool runs and installs a data folder.
HLR_ALIASES="$work/aliases.conf" "$root/usr/bin/huellario-setup" --dir "$work/datos" >/dev/null \
  || fail "huellario-setup del paquete no instala los datos"
[ -f "$work/datos/FICMAES.DB" ] || fail "huellario-setup del paquete no creó FICMAES.DB"
echo "Paquete correcto."
