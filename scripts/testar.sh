#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test; exits non-zero on any failure.
#
# Stages, each on the same tree:
#   1. the whole suite on the embedded SQLite files          (build/)
#   2. the database-backed suites on a throwaway PostgreSQL server
#   3. the whole suite built with address and undefined-behaviour sanitizers   (build-asan/)
#   4. the return-file reader under libFuzzer for a bounded time               (build-fuzz/)
# TV_ETAPAS picks stages; by default all four. The sanitizer suite leaves out the tests labelled
# "lento" (the crash-at-thirty-points runs), which stage 1 has already run.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
etapas=${TV_ETAPAS:-1 2 3 4}
quer() { [[ " $etapas " == *" $1 "* ]]; }
titulo() { printf '\n==== %s ====\n' "$*"; }

"$raiz/scripts/dependencias.sh"

if quer 1 || quer 2; then
  titulo "Compilação"
  "$raiz/scripts/compilar.sh"
fi

if quer 1; then
  titulo "Suíte completa (SQLite)"
  ctest --test-dir "$raiz/build" --output-on-failure -j2 --timeout 300 -LE manual
fi

if quer 2; then
  titulo "Suítes de banco no PostgreSQL"
  eval "$("$raiz/scripts/postgres.sh" start)"
  trap '"$raiz/scripts/postgres.sh" stop >/dev/null 2>&1 || true' EXIT
  ctest --test-dir "$raiz/build" --output-on-failure -j2 --timeout 300 -LE manual \
        -L 'engine|data|dao|coupon|dayclose|e2e'
  "$raiz/scripts/postgres.sh" stop
  trap - EXIT
  unset TESKVADO_TESTE_PG
fi

if quer 3; then
  titulo "Suíte completa com sanitizadores"
  TV_BUILD_DIR="$raiz/build-asan" "$raiz/scripts/compilar.sh" -DTV_SANITIZE=ON
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions="$raiz/scripts/lsan.supp":print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$raiz/build-asan" --output-on-failure -j2 --timeout 600 -LE 'manual|lento'
fi

if quer 4; then
  titulo "Fuzzing do leitor de retorno"
  TV_BUILD_DIR="$raiz/build-fuzz" TV_ALVOS=fuzz_retorno "$raiz/scripts/compilar.sh" \
    -DCMAKE_CXX_COMPILER=clang++ -DTV_FUZZ=ON -DTV_SANITIZE=ON -DTV_GUI=OFF
  corpus=$(mktemp -d)
  trap 'rm -rf "$corpus"' EXIT
  cp "$raiz"/tests/exchange/dados/*.S01 "$corpus"/
  "$raiz/build-fuzz/bin/fuzz_retorno" -max_total_time="${TV_FUZZ_SEGUNDOS:-60}" -max_len=4096 \
    -rss_limit_mb=2048 "$corpus"
fi
titulo "Tudo certo"
