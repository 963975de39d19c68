#!/usr/bin/env bash
# Fails when a C++ file differs from the committed clang-format style; lists the
# files. `formato.sh --aplica` formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t archivos < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--aplica" ]; then
    clang-format -i "${archivos[@]}"
    exit 0
fi
if ! clang-format --dry-run --Werror "${archivos[@]}" 2>/tmp/formato.$$; then
    grep -o '^[^:]*\.\(cpp\|h\)' /tmp/formato.$$ | sort -u | sed 's/^/not formatted: /'
    rm -f /tmp/formato.$$
    echo "Run: bash scripts/formato.sh --aplica"
    exit 1
fi
rm -f /tmp/formato.$$
echo "Formatting: clean."
