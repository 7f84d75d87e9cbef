#!/usr/bin/env bash
# PDF from ten documents (bench/README.md): quillet-convert --to pdf against the office suite's
# soffice --headless --convert-to pdf, each given all ten files in one run, the suite with a
# profile made beforehand so its first start is not counted. Best of three runs each; both
# outputs' page counts are shown. Needs soffice (Debian's libreoffice-writer-nogui).
# Usage: bench/convert_pdf.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
command -v soffice >/dev/null || { echo "soffice is not installed"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
inputs=(tests/data/rtf/*.rtf)
cp "${inputs[@]:0:10}" "$work/in/"
profile="-env:UserInstallation=file://$work/profile"
soffice "$profile" --headless --convert-to pdf --outdir "$work/warm" "${inputs[0]}" \
  >/dev/null 2>&1 || true
best() {
  local fastest=""
  for _ in 1 2 3; do
    rm -rf "$work/out"
    local start end took
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    took=$(echo "$end - $start" | bc)
    if [ -z "$fastest" ] || [ "$(echo "$took < $fastest" | bc)" = 1 ]; then fastest=$took; fi
  done
  echo "$fastest"
}
pages() {
  local total=0 pdf
  for pdf in "$work"/out/*.pdf; do
    total=$((total + $(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')))
  done
  echo "$total"
}
ours=$(best "$build/quillet-convert" --to pdf --out-dir "$work/out" --quiet "$work"/in/*)
ourPages=$(pages)
theirs=$(best soffice "$profile" --headless --convert-to pdf --outdir "$work/out" "$work"/in/*)
theirPages=$(pages)
printf 'quillet-convert --to pdf   %7.3f s  %3d pages\nsoffice --convert-to pdf   %7.3f s  %3d pages\nfaster                     %7.1fx\n' \
  "$ours" "$ourPages" "$theirs" "$theirPages" "$(echo "$theirs / $ours" | bc -l)"
