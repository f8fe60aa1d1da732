#!/usr/bin/env bash
# Builds the .deb from a built tree, unpacks it into an empty folder with
# dpkg -x and checks what a user gets: the programs, the files they read
# where Debian puts them, the manual pages, licence and changelog, the menu
# entry, icons and AppStream metadata, the dependencies, lintian's verdict
# (no error), and an unpacked huellario-setup that installs a data folder.
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

expected=(usr/bin/huellario usr/bin/huellario-setup usr/share/huellario/HLR20.HLP
  usr/libexec/huellario/huellario-metafile usr/lib/x86_64-linux-gnu/huellario/huellario-impresion.so
  usr/lib/x86_64-linux-gnu/huellario/huellario-imagenes.so
  usr/share/man/man1/huellario.1.gz usr/share/man/man1/huellario-setup.1.gz
  usr/share/doc/huellario/copyright usr/share/doc/huellario/changelog.Debian.gz
  usr/share/applications/org.huellario.Huellario.desktop
  usr/share/metainfo/org.huellario.Huellario.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/org.huellario.Huellario.svg)
# The report project comes with the health register's branch; once it is in
# the sources it must be in the package too.
[ -f "$source/resources/sanidad.rpt" ] && expected+=(usr/share/huellario/sanidad.rpt)
for f in "${expected[@]}"; do
  [ -f "$root/$f" ] || fail "falta $f en el paquete"
done
for f in usr/bin/huellario usr/bin/huellario-setup usr/libexec/huellario/huellario-metafile; do
  [ -x "$root/$f" ] || fail "$f no es ejecutable"
done
# The modules, not the program, need Qt's printing library and libjpeg.
readelf -d "$root/usr/bin/huellario" | grep -qE "PrintSupport|libjpeg" && fail "huellario carga QtPrintSupport o libjpeg al empezar"
readelf -d "$root/usr/lib/x86_64-linux-gnu/huellario/huellario-imagenes.so" | grep -q libjpeg \
  || fail "el módulo de imágenes no usa libjpeg"
readelf -d "$root/usr/lib/x86_64-linux-gnu/huellario/huellario-impresion.so" | grep -q PrintSupport \
  || fail "el módulo de impresión no usa QtPrintSupport"
# Only programs in /usr/bin: the programs find their data from their own
# folder, under ../share/huellario and ../libexec/huellario.
extra=$(find "$root/usr/bin" -type f ! -name huellario ! -name huellario-setup -printf '%f ')
[ -z "$extra" ] || fail "en usr/bin hay más que los dos programas: $extra"
for size in 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/org.huellario.Huellario.png"
  [ -f "$png" ] || fail "falta el icono PNG de ${size}x${size}"
  file -b "$png" | grep -q "^PNG image data, $size x $size," || fail "el icono de $size no es un PNG de ${size}x${size}: $(file -b "$png")"
done
cmp -s "$root/usr/share/huellario/HLR20.HLP" "$source/resources/HLR20.HLP" || fail "HLR20.HLP no es el de las fuentes"

# Every dependency is a Debian package: the libraries found by dpkg-shlibdeps
# and the plugin and fonts named by hand.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libqt6widgets6 libqt6core6 libqt6printsupport6 libsqlite3-0 pxlib1 qt6-qpa-plugins fonts-liberation2 qt6-translations-l10n; do
  grep -qE "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends no incluye $p"
done
while read -r p; do
  dpkg-query -W "$p" >/dev/null 2>&1 || apt-cache show "$p" >/dev/null 2>&1 || fail "la dependencia $p no es un paquete de Debian"
done < <(tr ',' '\n' <<<"$depends" | sed -E 's/\(.*\)//; s/\|.*//; s/^ +| +$//g' | grep -v '^$')

# The control fields as a Debian maintainer reads them.
maintainer=$(dpkg-deb -f "$deb" Maintainer)
grep -qE '^[^<>]+ <[^<>@ ]+@[^<>@ ]+\.[^<>@ ]+>$' <<<"$maintainer" || fail "Maintainer sin dirección de correo: $maintainer"
description=$(dpkg-deb -f "$deb" Description)
grep -q ';' <<<"$description" && fail "la descripción tiene un «;»: $description"
[ "$(wc -l <<<"$description")" -ge 3 ] || fail "la descripción no tiene descripción larga: $description"

# Every option of each program is in its manual page.
# Read whole before grep: grep -q stops early, and the pipe's failure would count.
manual() { zcat "$root/usr/share/man/man1/$1.1.gz" | sed 's/\\-/-/g'; }
setup_page=$(manual huellario-setup)
options=$(HLR_ALIASES="$work/aliases.conf" "$root/usr/bin/huellario-setup" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
[ -n "$options" ] || fail "huellario-setup --help no da opciones"
for option in $options; do
  grep -qF -- "$option" <<<"$setup_page" || fail "la página de manual de huellario-setup no explica $option"
done
grep -qF -- --avisos <<<"$(manual huellario)" || fail "la página de manual de huellario no explica --avisos"
for page in huellario huellario-setup; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "la página de manual de $page tiene errores: $warnings"
done
grep -q '^License: GPL-3.0-or-later' "$root/usr/share/doc/huellario/copyright" || fail "copyright no da la licencia GPL-3.0-or-later"
grep -q '<project_license>GPL-3.0-or-later</project_license>' \
  "$root/usr/share/metainfo/org.huellario.Huellario.metainfo.xml" || fail "los metadatos no dan la licencia"

# lintian as a Debian maintainer would run it: no error; warnings shown.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
grep -q '^E: ' "$work/lintian.log" && fail "lintian da errores"

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
