#!/usr/bin/env bash
# Installs what is missing, builds the program and its tools (Release, no tests)
# and makes the Debian package: build-paquete/hojaruta_VERSION_ARCH.deb.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
bash "$raiz/scripts/instala-dependencias.sh"
# Installing builds nothing by itself: only these targets are built, and a file
# of the package that is missing fails the packaging.
bash "$raiz/scripts/compila.sh" "$raiz/build-paquete" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
    -- hojaruta hojaruta-creabase hojaruta-reporte
cd "$raiz/build-paquete"
rm -f hojaruta_*.deb
cpack -G DEB
ls "$raiz"/build-paquete/hojaruta_*.deb
