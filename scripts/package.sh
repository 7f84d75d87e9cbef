#!/usr/bin/env bash
# Builds Quillet and makes its Debian package in build/ (quillet_VERSION_ARCH.deb), with the
# dependencies dpkg-shlibdeps finds for the libraries the programs link; with `install`, also
# installs it: scripts/package.sh [install]
set -euo pipefail
cd "$(dirname "$0")/.."
# CPack finds the programs to hand to dpkg-shlibdeps with `file`.
scripts/deps.sh file dpkg-dev
QUILLET_TARGETS="quillet quillet-convert quillet-help" scripts/build.sh build
(cd build && cpack -G DEB >/dev/null)
package=$(ls -t build/quillet_*.deb | head -n 1)
echo "package: $package"
if [ "${1:-}" = install ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "$PWD/$package"
fi
