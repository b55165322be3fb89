#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Quick when everything is already there.
set -euo pipefail
pacotes=(build-essential cmake ninja-build ccache pkg-config
         qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
         libgtest-dev libsqlite3-dev libpq-dev
         xvfb xauth desktop-file-utils
         clang libclang-rt-14-dev)
faltam=()
for p in "${pacotes[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || faltam+=("$p")
done
if [ ${#faltam[@]} -gt 0 ]; then
  echo "Instalando: ${faltam[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${faltam[@]}"
fi
