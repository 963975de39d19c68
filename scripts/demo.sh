#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo databases when missing and
# starts the program on them.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
bash "$raiz/scripts/instala-dependencias.sh"
bash "$raiz/scripts/compila.sh" "$raiz/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
"$raiz/build/resources/hojaruta-creabase" "$raiz/demo"
exec "$raiz/build/hojaruta" "@server=sqlite; @dbname= $raiz/demo/hojaruta.db; @usuario= ADMIN; @Password= ; @ParametroAdicional=; @Caja=1;kora@"
