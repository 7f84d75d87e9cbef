#!/usr/bin/env bash
# RTF to text, whole programs on the same 10 MB sample (bench/README.md): quillet-convert, which
# reads the RTF straight to text, against unrtf (installed when missing). Best of three runs each.
# Usage: bench/convert_text.sh [BUILD_DIR] [BYTES]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bytes=${2:-10000000}
scripts/deps.sh unrtf >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/rtf_bench" --write-sample "$work/sample.rtf" "$bytes" 2>/dev/null
best() {
  local fastest=""
  for _ in 1 2 3; do
    local start end took
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    took=$(echo "$end - $start" | bc)
    if [ -z "$fastest" ] || [ "$(echo "$took < $fastest" | bc)" = 1 ]; then fastest=$took; fi
  done
  echo "$fastest"
}
ours=$(best "$build/quillet-convert" "$work/sample.rtf" "$work/ours.txt")
theirs=$(best unrtf --text "$work/sample.rtf")
printf 'quillet-convert %8.3f s\nunrtf --text    %8.3f s\nfaster          %8.1fx\n' \
  "$ours" "$theirs" "$(echo "$theirs / $ours" | bc -l)"
