#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as $1 with extra CMake options after it).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
# Quiet when it works; the whole configure output when it does not.
if ! log=$(cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_WERROR=ON \
  "$@" 2>&1); then
  printf '%s\n' "$log"
  exit 1
fi
# QUILLET_TARGETS limits the build, e.g. to the program alone.
targets=()
for t in ${QUILLET_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
