#!/usr/bin/env bash
# RTF to text, whole programs on the same 10 MB sample (bench/README.md): quillet-convert, which
# reads the RTF straight to text, against unrtf (installed when missing). The two run in turn,
# ROUNDS times (10), so that both see the same load; each run's CPU time (user and system) is
# taken, from `perf stat` when it is installed, else from /usr/bin/time, whose hundredths of a
# second are coarse beside our tens of milliseconds. Prints the least, median and most of each
# and how many times faster ours is, median against median and least against least.
# Usage: bench/convert_text.sh [BUILD_DIR] [BYTES] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
bytes=${2:-10000000}
rounds=${3:-10}
scripts/deps.sh unrtf >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/rtf_bench" --write-sample "$work/sample.rtf" "$bytes" 2>/dev/null

# CPU milliseconds of one run of the command.
cpu_ms() {
  if command -v perf >/dev/null; then
    perf stat -x, -e task-clock "$@" 2>&1 >/dev/null | awk -F, '/task-clock/ { print $1 }'
  else
    /usr/bin/time -f '%U %S' "$@" 2>&1 >/dev/null | tail -1 | awk '{ print ($1 + $2) * 1000 }'
  fi
}

: >"$work/ours" >"$work/theirs"
for _ in $(seq "$rounds"); do
  cpu_ms "$build/quillet-convert" "$work/sample.rtf" "$work/ours.txt" >>"$work/ours"
  cpu_ms unrtf --text "$work/sample.rtf" >>"$work/theirs"
done

# Least, median and most of a file of numbers.
spread() { sort -g "$1" | awk '{ v[NR] = $1 } END { printf "%.1f %.1f %.1f", v[1], v[int((NR + 1) / 2)], v[NR] }'; }
read -r ours_min ours_median ours_max <<<"$(spread "$work/ours")"
read -r theirs_min theirs_median theirs_max <<<"$(spread "$work/theirs")"
printf 'CPU ms over %d runs each  least  median    most\n' "$rounds"
printf 'quillet-convert        %8.1f %8.1f %8.1f\n' "$ours_min" "$ours_median" "$ours_max"
printf 'unrtf --text           %8.1f %8.1f %8.1f\n' "$theirs_min" "$theirs_median" "$theirs_max"
printf 'faster: %.1fx (medians), %.1fx (least)\n' \
  "$(echo "$theirs_median / $ours_median" | bc -l)" "$(echo "$theirs_min / $ours_min" | bc -l)"
