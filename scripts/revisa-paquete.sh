#!/usr/bin/env bash
# Checks a built package: every file a workstation needs is in it, its
# dependencies were computed, the menu entry and the description are valid, and
# the program it carries answers --version and --help.
#   revisa-paquete.sh PACKAGE.deb
set -euo pipefail
paquete=$1
id=com.vorlant.hojaruta # the program's id on the desktop (top CMakeLists.txt)
version=$(dpkg-deb -f "$paquete" Version)
contenido=$(dpkg-deb -c "$paquete" | awk '{print $6}' | sed 's|^\./|/|')
falta=0
for archivo in \
    /usr/lib/hojaruta/hojaruta /usr/lib/hojaruta/hojaruta-creabase \
    /usr/lib/hojaruta/hojaruta-reporte /usr/lib/hojaruta/RP_PLAREPARTO.rpt \
    /usr/bin/hojaruta /usr/bin/hojaruta-creabase /usr/bin/hojaruta-reporte \
    /usr/share/applications/$id.desktop \
    /usr/share/metainfo/$id.metainfo.xml \
    /usr/share/icons/hicolor/256x256/apps/hojaruta.png \
    /usr/share/icons/hicolor/scalable/apps/hojaruta.svg; do
    if ! grep -qxF "$archivo" <<<"$contenido"; then
        echo "missing from the package: $archivo"
        falta=1
    fi
done
if grep -qiE '/tst_|/bench_' <<<"$contenido"; then
    echo "the package carries tests or benchmarks"
    falta=1
fi
depende=$(dpkg-deb -f "$paquete" Depends)
for biblioteca in libqt6widgets6 libxlsxwriter4 libsqlite3-0 libodbc2 qt6-qpa-plugins; do
    grep -q "$biblioteca" <<<"$depende" || { echo "not in Depends: $biblioteca"; falta=1; }
done
[ "$falta" -eq 0 ] || exit 1

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
dpkg-deb -x "$paquete" "$dir"
desktop-file-validate "$dir/usr/share/applications/$id.desktop"
appstreamcli validate --no-net --pedantic "$dir/usr/share/metainfo/$id.metainfo.xml"
grep -qx 'Name=Planilla HojaRuta' "$dir/usr/share/applications/$id.desktop"
# The command in bin/ runs the program beside its report files; no display is needed.
[ "$("$dir/usr/bin/hojaruta" --version)" = "hojaruta $version" ]
"$dir/usr/bin/hojaruta" --help | grep -q '^Uso: hojaruta'
echo "Package $(basename "$paquete"): $(wc -l <<<"$contenido") entries, all expected files present."
