#!/usr/bin/env bash
# Installs, from Debian 12 packages, what building, testing and running need.
# Works as root and through sudo; installs only what is missing.
#   instala-dependencias.sh [--pruebas]
# --pruebas adds what only the tests need: a PostgreSQL server and its ODBC driver,
# which scripts/servidor-prueba.sh runs as a throwaway server.
set -euo pipefail

paquetes=(
    build-essential cmake ninja-build ccache pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlite3-dev sqlite3
    unixodbc unixodbc-dev odbcinst tdsodbc libsqliteodbc
    fonts-dejavu-core
    libxlsxwriter-dev unzip
    dpkg-dev file appstream desktop-file-utils
)
if [ "${1:-}" = "--pruebas" ]; then
    paquetes+=(postgresql odbc-postgresql)
fi

faltan=()
for p in "${paquetes[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || faltan+=("$p")
done
if [ ${#faltan[@]} -eq 0 ]; then
    echo "All packages are installed."
    exit 0
fi

como_root=()
if [ "$(id -u)" -ne 0 ]; then
    como_root=(sudo)
fi
echo "Installing: ${faltan[*]}"
"${como_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# The tests start a server of their own: no system cluster is made (nor started,
# which fails where there is no init system).
if [[ " ${faltan[*]} " == *" postgresql "* ]] &&
    ! dpkg-query -W -f='${Status}' postgresql-common 2>/dev/null | grep -q "install ok installed" &&
    [ ! -e /etc/postgresql-common/createcluster.d/hojaruta.conf ]; then
    "${como_root[@]}" mkdir -p /etc/postgresql-common/createcluster.d
    echo "create_main_cluster = off" |
        "${como_root[@]}" tee /etc/postgresql-common/createcluster.d/hojaruta.conf >/dev/null
fi
"${como_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${faltan[@]}"
