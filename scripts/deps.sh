#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the tools need, when missing, and any
# packages named as arguments (the tools a by-hand script needs beyond those). With --run first,
# only what building and running the program needs.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libglx-dev libx11-dev
)
if [ "${1:-}" = --run ]; then
  shift
else
  packages+=(
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb x11-utils openbox fonts-dejavu-core
    poppler-utils
    clang libclang-rt-14-dev
    desktop-file-utils appstream wmctrl
    parallel
  )
fi
packages+=("$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
