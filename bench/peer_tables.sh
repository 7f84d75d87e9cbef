#!/usr/bin/env bash
# Tables we write, read back by the peers (bench/README.md): the office suite (soffice) and
# AbiWord must both be installed. First the peer test, with a missing peer a failure; then each
# peer's time to read the 1 MB sample with 100 tables as our writer writes it, and the tables
# it found there (ours: 100, and a nested one in about one of ten).
# Usage: bench/peer_tables.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
for peer in soffice abiword; do
  command -v "$peer" >/dev/null || { echo "peer_tables: $peer is not installed"; exit 1; }
done
export QT_QPA_PLATFORM=offscreen
cmake -S . -B "$build" -DQUILLET_PEER_CHECKS=ON >/dev/null
cmake --build "$build" --target quillet_peer_checks
QUILLET_REQUIRE_PEERS=1 "$build/bench/peers/quillet_peer_checks" --gtest_filter="RtfPeerFiles.Tables*"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/rtf_bench" --write-tables-sample "$work/sample.rtf" 1000000 2>/dev/null
"$build/quillet-convert" "$work/sample.rtf" "$work/ours.rtf"
printf '%-14s %10s %8s\n' peer seconds tables
start=$(date +%s.%N)
soffice --headless "-env:UserInstallation=file://$work/profile" --convert-to html \
  --outdir "$work/office" "$work/ours.rtf" >/dev/null 2>&1
end=$(date +%s.%N)
printf '%-14s %10.2f %8d\n' "office suite" "$(echo "$end - $start" | bc)" \
  "$(grep -oi '<table' "$work/office/ours.html" | wc -l)"
start=$(date +%s.%N)
abiword --to=html -o "$work/abiword.html" "$work/ours.rtf" 2>/dev/null
end=$(date +%s.%N)
printf '%-14s %10.2f %8d\n' AbiWord "$(echo "$end - $start" | bc)" \
  "$(grep -oi '<table' "$work/abiword.html" | wc -l)"
