#!/usr/bin/env bash
# Many files at once (bench/README.md): quillet-convert --to FORMAT over a set of 96 documents
# (the RTF files of tests/data, repeated), against one quillet-convert process per file, for each
# format given. Best of three runs each; the outputs of both are checked to be the same.
# Usage: bench/convert_batch.sh [BUILD_DIR] [FORMAT...]   (formats: txt htm by default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
shift || true
formats=("$@")
((${#formats[@]})) || formats=(txt htm)
convert=$build/quillet-convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/in"
sources=(tests/data/rtf/*.rtf)
for i in $(seq 0 95); do
  cp "${sources[i % ${#sources[@]}]}" "$work/in/$i-$(basename "${sources[i % ${#sources[@]}]}")"
done
best() {
  local fastest=""
  for _ in 1 2 3; do
    rm -rf "$work/out"
    mkdir "$work/out"
    local start end took
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    took=$(echo "$end - $start" | bc)
    if [ -z "$fastest" ] || [ "$(echo "$took < $fastest" | bc)" = 1 ]; then fastest=$took; fi
  done
  echo "$fastest"
}
each() {
  local format=$1 input
  for input in "$work"/in/*; do
    "$convert" "$input" "$work/out/$(basename "${input%.*}").$format"
  done
}
# The outputs of both ways alike: byte for byte, PDFs (which carry the time they were made) by
# their words.
same() {
  [ "$1" != pdf ] && { diff -r "$work/single" "$work/out" >/dev/null; return; }
  local pdf
  for pdf in "$work"/single/*.pdf; do
    cmp -s <(pdftotext "$pdf" -) <(pdftotext "$work/out/${pdf##*/}" -) || return 1
  done
}
echo "96 files, $(du -sh "$work/in" | cut -f1), $(nproc) cores"
for format in "${formats[@]}"; do
  single=$(best each "$format")
  cp -r "$work/out" "$work/single"
  batch=$(best "$convert" --to "$format" --out-dir "$work/out" --quiet "$work"/in/*)
  same "$format" || echo "$format: the batch wrote other files"
  rm -rf "$work/single"
  printf '%-4s one process a file %7.3f s   batch %7.3f s   %6.1fx\n' \
    "$format" "$single" "$batch" "$(echo "$single / $batch" | bc -l)"
done
