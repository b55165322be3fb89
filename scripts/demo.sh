#!/usr/bin/env bash
# Installs what is needed, builds, and starts TeskVado on a demo data drive with a simulated Ruxo.
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
"$raiz/scripts/dependencias.sh"
"$raiz/scripts/compilar.sh"
bin=${TV_BUILD_DIR:-$raiz/build}/bin
ls "$bin"
