#!/usr/bin/env bash
# Builds Quillet and makes its Debian package in build/ (quillet_VERSION_ARCH.deb), with the
# dependencies dpkg-shlibdeps finds for the libraries the programs link.
set -euo pipefail
cd "$(dirname "$0")/.."
# CPack finds the programs to hand to dpkg-shlibdeps with `file`.
scripts/deps.sh file dpkg-dev
QUILLET_TARGETS="quillet quillet-convert" scripts/build.sh build
(cd build && cpack -G DEB)
ls build/quillet_*.deb
