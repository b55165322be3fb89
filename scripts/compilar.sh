#!/usr/bin/env bash
# Configures and builds into build/ (or $TV_BUILD_DIR) with the CMake options given.
# TV_ALVOS limits the build to some targets; TV_JOBS sets the parallel jobs (2).
set -euo pipefail
raiz=$(cd "$(dirname "$0")/.." && pwd)
dir=${TV_BUILD_DIR:-$raiz/build}
cmake -S "$raiz" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
alvos=()
for a in ${TV_ALVOS:-}; do alvos+=(--target "$a"); done
cmake --build "$dir" -j"${TV_JOBS:-2}" "${alvos[@]}"
