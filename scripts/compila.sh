#!/usr/bin/env bash
# Configures and builds into a folder:
#   compila.sh FOLDER [cmake options...] [-- target...]
# With targets after "--", only those are built.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
carpeta=$1
shift
opciones=()
objetivos=()
while [ $# -gt 0 ]; do
    if [ "$1" = "--" ]; then
        shift
        objetivos=("$@")
        break
    fi
    opciones+=("$1")
    shift
done
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
cmake -S "$raiz" -B "$carpeta" -G Ninja "${opciones[@]}"
if [ ${#objetivos[@]} -gt 0 ]; then
    cmake --build "$carpeta" --parallel "$(nproc)" --target "${objetivos[@]}"
else
    cmake --build "$carpeta" --parallel "$(nproc)"
fi
