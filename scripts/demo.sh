#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo databases when missing and
# starts the program on them.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
bash "$raiz/scripts/instala-dependencias.sh"
# Only the program and its tools: the tests are the other command's business.
bash "$raiz/scripts/compila.sh" "$raiz/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    -- hojaruta hojaruta-creabase
"$raiz/build/resources/hojaruta-creabase" "$raiz/demo"
exec "$raiz/build/hojaruta" "@server=sqlite; @dbname= $raiz/demo/hojaruta.db; @usuario= ADMIN; @Password= ; @ParametroAdicional=; @Caja=1;kora@"
