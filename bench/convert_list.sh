#!/usr/bin/env bash
# A long list on standard input (bench/README.md): `quillet-convert --to txt -` given N names
# (10^6 by default) of files that are not there, so every worker fails at once and what is left
# is the batch's own cost. Prints the wall time and the batch process's own peak resident memory
# (VmHWM, read from /proc while it runs; its workers are other processes and not counted).
# Usage: bench/convert_list.sh [BUILD_DIR] [N] [EXTRA_OPTION...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
count=${2:-1000000}
shift 2 || shift $#
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Names as a tree of archives has them: a thousand folders of a thousand files.
awk -v n="$count" 'BEGIN { for (i = 0; i < n; i++) printf "archive/%03d/letter-%07d.rtf\n", i % 1000, i }' \
  >"$work/list"
cd "$work"
start=$(date +%s.%N)
"$build/quillet-convert" --to txt --out-dir out --quiet "$@" - <list 2>/dev/null &
pid=$!
peak=0
while kill -0 "$pid" 2>/dev/null; do
  hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
  [ -n "$hwm" ] && ((hwm > peak)) && peak=$hwm
  sleep 0.2
done
wait "$pid" || true
end=$(date +%s.%N)
printf '%d names: %.1f s, batch process peak %.1f MB\n' "$count" "$(echo "$end - $start" | bc)" \
  "$(echo "$peak / 1024" | bc -l)"
