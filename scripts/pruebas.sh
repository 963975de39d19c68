#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors and with AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
bash "$raiz/scripts/instala-dependencias.sh" --pruebas
bash "$raiz/scripts/formato.sh"
bash "$raiz/scripts/compila.sh" "$raiz/build-pruebas" -DCMAKE_BUILD_TYPE=Debug \
    -DHOJARUTA_WERROR=ON -DHOJARUTA_SANITIZE=ON
cd "$raiz/build-pruebas"
# Qt's own leaks at exit are not ours to chase; the rest of ASan stays on.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --output-on-failure --parallel "$(nproc)"
