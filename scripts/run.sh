#!/usr/bin/env bash
# Builds Quillet and starts it, optionally with a document: scripts/run.sh [document]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/deps.sh" --run
QUILLET_TARGETS="quillet quillet-convert" "$here/scripts/build.sh" build
exec "$here/build/quillet" "$@"
