#!/bin/bash
# The converter printing each tables_bench sample to PDF, one process each: wall and CPU seconds,
# peak resident memory, pages, and the peak as a multiple of the file's size.
#   bench/tables_convert.sh [BUILD_DIR] [KIND...]
# KIND numbers as in tables_bench.cpp (all when none is given). Samples are written by
# BUILD_DIR/bench/tables_bench --write; QUILLET_CONVERT names another converter to time on them
# (an older build's, to compare).
set -euo pipefail
build=${1:-build}
shift || true
kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(0 1 2 3 4 5 6 7 8 9 10)
convert=${QUILLET_CONVERT:-$build/quillet-convert}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-5s %9s %8s %8s %9s %6s %8s\n' kind file_KB wall_s cpu_s peak_MB pages peak/file
for kind in "${kinds[@]}"; do
  "$build/bench/tables_bench" --write "$kind" "$work/in.rtf"
  rm -f "$work/out.pdf"
  if ! /usr/bin/time -f '%e %U %S %M' -o "$work/time" timeout 600 "$convert" "$work/in.rtf" \
      "$work/out.pdf" 2>"$work/err"; then
    echo "$kind: failed or timed out: $(head -c 200 "$work/err")"
    continue
  fi
  read -r wall user sys peak <"$work/time"
  size=$(stat -c %s "$work/in.rtf")
  pages=$(pdfinfo "$work/out.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
  awk -v k="$kind" -v s="$size" -v w="$wall" -v u="$user" -v y="$sys" -v p="$peak" -v n="$pages" \
    'BEGIN { printf "%-5s %9d %8.2f %8.2f %9.1f %6s %8.1f\n", k, s / 1024, w, u + y, p / 1024, n,
             p * 1024 / s }'
done
