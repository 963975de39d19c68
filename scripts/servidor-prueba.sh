#!/usr/bin/env bash
# A throwaway PostgreSQL server on a loopback port, for the tests that need a real
# server at the other end of a socket (lost connections, time-outs, locks). It is a
# stand-in for the network behaviour of the suite's servers, not a supported database.
#
#   servidor-prueba.sh PROGRAM [ARGS...]   starts a server in a temporary folder, runs
#                                          the program with HOJARUTA_PG_* set, and
#                                          removes the server whatever the program did
#   servidor-prueba.sh detiene|arranca     stops or starts again the server of the
#                                          running program (from HOJARUTA_PG_* in the
#                                          environment)
#
# The server never runs as root (PostgreSQL refuses it): as root, it runs as nobody.
set -euo pipefail

binarios() {
    local d
    for d in /usr/lib/postgresql/*/bin; do
        if [ -x "$d/pg_ctl" ]; then
            echo "$d"
            return
        fi
    done
    echo "PostgreSQL is not installed (scripts/instala-dependencias.sh installs it)" >&2
    exit 1
}

# Runs a command as the server's owner.
como_dueno() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u nobody -- "$@"
    else
        "$@"
    fi
}

pg_ctl_de() {
    como_dueno "$HOJARUTA_PG_BIN/pg_ctl" -D "$HOJARUTA_PG_DATOS" -l "$HOJARUTA_PG_DIR/servidor.log" "$@"
}

arranca() {
    pg_ctl_de -w -t 30 -o "-p $HOJARUTA_PG_PUERTO -k $HOJARUTA_PG_DIR -c listen_addresses=127.0.0.1 -c fsync=off -c full_page_writes=off" start >/dev/null
}

case "${1:-}" in
"")
    echo "usage: $0 PROGRAM [ARGS...] | detiene | arranca" >&2
    exit 1
    ;;
detiene)
    pg_ctl_de -w -m fast stop >/dev/null
    exit 0
    ;;
arranca)
    arranca
    exit 0
    ;;
esac

HOJARUTA_PG_BIN=$(binarios)
HOJARUTA_PG_DIR=$(mktemp -d "${TMPDIR:-/tmp}/hojaruta-pg.XXXXXX")
HOJARUTA_PG_DATOS=$HOJARUTA_PG_DIR/datos
export HOJARUTA_PG_BIN HOJARUTA_PG_DIR HOJARUTA_PG_DATOS

termina() {
    pg_ctl_de -m immediate stop >/dev/null 2>&1 || true
    rm -rf "$HOJARUTA_PG_DIR"
}
trap termina EXIT
trap 'exit 130' INT TERM

if [ "$(id -u)" -eq 0 ]; then
    chown nobody: "$HOJARUTA_PG_DIR"
fi
como_dueno "$HOJARUTA_PG_BIN/initdb" -D "$HOJARUTA_PG_DATOS" -U hojaruta -A trust -E UTF8 \
    --locale=C.UTF-8 --no-sync >"$HOJARUTA_PG_DIR/initdb.log" 2>&1 ||
    {
        cat "$HOJARUTA_PG_DIR/initdb.log" >&2
        exit 1
    }

# A free loopback port: another program's server may hold any fixed one.
libre() {
    ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}
for _ in $(seq 50); do
    HOJARUTA_PG_PUERTO=$((20000 + RANDOM % 30000))
    libre "$HOJARUTA_PG_PUERTO" && break
done
export HOJARUTA_PG_PUERTO

arranca || {
    cat "$HOJARUTA_PG_DIR/servidor.log" >&2
    exit 1
}
como_dueno "$HOJARUTA_PG_BIN/createdb" -h 127.0.0.1 -p "$HOJARUTA_PG_PUERTO" -U hojaruta hojaruta

# Not exec: the trap must still remove the server when the program ends.
set +e
"$@"
estado=$?
set -e
exit $estado
