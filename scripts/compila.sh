#!/usr/bin/env bash
# Configures and builds into a folder: compila.sh FOLDER [cmake options...]
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
carpeta=$1
shift
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.cache/ccache}
cmake -S "$raiz" -B "$carpeta" -G Ninja "$@"
cmake --build "$carpeta" --parallel "$(nproc)"
