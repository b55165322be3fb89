#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests of the shared-server backend.
#
#   scripts/postgres.sh start   installs the server when missing, starts one on 127.0.0.1 under a
#                               new temporary data directory and prints the settings to export
#   scripts/postgres.sh stop    stops it and removes its data directory
#   scripts/postgres.sh env     prints the settings of the server running now
#
# The server never runs as root: when started by root it runs as the "postgres" user of Debian's
# package. Port: $TV_PG_PORTA, or the first free one from 54329. The state (data directory, port,
# password) lives in $TV_PG_ESTADO, /tmp/teskvado-pg by default.
set -euo pipefail

estado=${TV_PG_ESTADO:-/tmp/teskvado-pg}
usuario_bd=teskvado

instala() {
  if ! ls /usr/lib/postgresql/*/bin/pg_ctl >/dev/null 2>&1; then
    echo "Instalando o servidor PostgreSQL" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2
    apt-get install -y -qq --no-install-recommends postgresql >&2
  fi
}

binarios() {
  local ultimo
  ultimo=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n1)
  echo "$ultimo"
}

# Runs a command as the server's user.
como_servidor() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

porta_livre() {
  local p=${TV_PG_PORTA:-54329}
  while (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null; do
    p=$((p + 1))
  done
  echo "$p"
}

imprime() {
  # shellcheck disable=SC1091
  . "$estado/config"
  echo "export TESKVADO_TESTE_PG='host=127.0.0.1 port=$PORTA user=$usuario_bd password=$SENHA dbname=postgres'"
}

start() {
  if [ -f "$estado/config" ]; then
    # shellcheck disable=SC1091
    . "$estado/config"
    if como_servidor "$(binarios)/pg_ctl" -D "$DADOS" status >/dev/null 2>&1; then
      imprime
      return 0
    fi
    rm -rf "$estado"
  fi
  instala
  local bin dados porta senha
  bin=$(binarios)
  mkdir -p "$estado"
  chmod 755 "$estado"
  dados=$(mktemp -d /tmp/teskvado-pg-dados.XXXXXX)
  senha=$(head -c 12 /dev/urandom | od -An -tx1 | tr -d ' \n')
  porta=$(porta_livre)
  if [ "$(id -u)" -eq 0 ]; then
    chown postgres: "$dados"
  fi
  chmod 700 "$dados"
  printf '%s\n' "$senha" >"$dados.senha"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$dados.senha"
  como_servidor "$bin/initdb" -D "$dados" -U "$usuario_bd" --pwfile="$dados.senha" \
    --auth-local=trust --auth-host=scram-sha-256 -E UTF8 --locale=C.UTF-8 >"$estado/initdb.log" 2>&1 ||
    { cat "$estado/initdb.log" >&2; exit 1; }
  rm -f "$dados.senha"
  # Loopback only, the socket inside the data directory, and no durability: it is a test server.
  como_servidor "$bin/pg_ctl" -D "$dados" -l "$dados/servidor.log" -w -t 60 \
    -o "-c listen_addresses=127.0.0.1 -c port=$porta -c unix_socket_directories=$dados -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
    start >/dev/null
  printf 'DADOS=%s\nPORTA=%s\nSENHA=%s\n' "$dados" "$porta" "$senha" >"$estado/config"
  imprime
}

stop() {
  [ -f "$estado/config" ] || { echo "Nenhum servidor de teste em $estado" >&2; return 0; }
  # shellcheck disable=SC1091
  . "$estado/config"
  como_servidor "$(binarios)/pg_ctl" -D "$DADOS" -m fast -w stop >/dev/null 2>&1 || true
  rm -rf "$DADOS" "$estado"
  echo "Servidor de teste parado"
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  env) [ -f "$estado/config" ] && imprime ;;
  *) echo "Uso: $0 start|stop|env" >&2; exit 2 ;;
esac
