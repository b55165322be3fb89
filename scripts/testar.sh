#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole suite; exits non-zero on any failure.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
"$raiz/scripts/dependencias.sh"
"$raiz/scripts/compilar.sh"
cd "${TV_BUILD_DIR:-$raiz/build}"
ctest --output-on-failure -j2 --timeout 300 -LE manual
