#!/usr/bin/env bash
# Time and peak memory of the converter on the hostile inputs (bench/README.md).
# Usage: bench/hostile_memory.sh [BUILD_DIR] [SHAPE:N ...]
# Each SHAPE:N is a kind and count of hostile_inputs_bench --write; without any, the sizes of the
# issue that asked for them. Prints one line per input: its size, the seconds and the peak
# resident memory of a conversion, and that memory over the input's size.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
inputs=("$@")
if ((${#inputs[@]} == 0)); then
  inputs=(bullets:100000 numbered:100000 fonts:100000 paragraphs:5000000 blank:5000000
          newlines:20000000 runs:2000000)
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%-20s %12s %12s %10s %10s %8s\n' input bytes "to" seconds "peak MB" "x input"
for input in "${inputs[@]}"; do
  kind=${input%%:*}
  n=${input#*:}
  # Read into a document and written as plain text, which costs little beside the document;
  # the runs are also written as HTML, the cost that shape is there for.
  case $kind in
    newlines) in="$work/$kind.txt" outs=(txt) ;;
    runs) in="$work/$kind.rtf" outs=(txt htm) ;;
    *) in="$work/$kind.rtf" outs=(txt) ;;
  esac
  "$build/bench/hostile_inputs_bench" --write "$kind" "$n" "$in"
  bytes=$(stat -c %s "$in")
  for ext in "${outs[@]}"; do
    stats=$(/usr/bin/time -f '%e %M' "$build/quillet-convert" "$in" "$work/out.$ext" 2>&1 >/dev/null |
      tail -n 1)
    read -r seconds kb <<<"$stats"
    printf '%-20s %12d %12s %10s %10d %8.1f\n' "$input" "$bytes" ".$ext" "$seconds" \
      $((kb / 1024)) "$(awk -v kb="$kb" -v b="$bytes" 'BEGIN { print kb * 1024 / b }')"
    rm -f "$work/out.$ext"
  done
done
