#!/usr/bin/env bash
# scripts/convert-parallel.sh on this machine alone gives the same files, byte for byte, as the
# converter's own batch, and fails as it does on an input that is not there.
# Usage: convert_parallel_test.sh CONVERTER SOURCE_DIR. Skipped (77) without GNU parallel.
set -euo pipefail
convert=$1
source=$2
command -v parallel >/dev/null || { echo "GNU parallel is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir in
cp "$source"/tests/data/rtf/*.rtf in/
printf '<p>Hello <b>there</b></p>' >in/page.htm

for format in txt htm; do
  "$convert" --to "$format" --out-dir "batch-$format" --quiet in/* 2>batch.err
  printf '%s\n' in/* | "$source"/scripts/convert-parallel.sh --convert "$convert" --to "$format" \
    --out-dir "parallel-$format" - 2>parallel.err
  diff -r "batch-$format" "parallel-$format"
  [ -s batch.err ] || [ -s parallel.err ] && { cat batch.err parallel.err; exit 1; }
  outputs=("parallel-$format"/*) inputs=(in/*)
  [ "${#outputs[@]}" -eq "${#inputs[@]}" ]
done

if "$source"/scripts/convert-parallel.sh --convert "$convert" --to txt in/page.htm absent.rtf \
  2>failed.err; then
  echo "a missing input did not fail"
  exit 1
fi
grep -qx "quillet-convert: cannot read absent.rtf: No such file or directory" failed.err
[ -f in/page.txt ]
echo "convert-parallel: same files as the batch"
