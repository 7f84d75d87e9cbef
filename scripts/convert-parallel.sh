#!/usr/bin/env bash
# Converts an archive too big for one machine with GNU parallel: each file is a job, run on the
# machines given (by default this one, ":"), copied there and its output copied back when the
# machine is another one. Each machine needs quillet-convert on its PATH (the .deb installs it).
#
#   scripts/convert-parallel.sh [--sshlogin LOGINS] [--convert PROGRAM] --to FORMAT
#                               [--out-dir DIR] INPUT... | -
#
# LOGINS is GNU parallel's list ("4/alice@host1,bob@host2,:"; ":" is this machine). An INPUT of
# "-" reads the paths from standard input, one a line. Paths are best relative: a file is copied
# to the same relative path under the other machine's home folder and its output back beside it.
# Each failure is one line on standard error, as quillet-convert gives it; the status is 1 when
# any file failed.
set -uo pipefail

logins=":"
convert=quillet-convert
format=""
outdir=""
inputs=()
while (($#)); do
  case "$1" in
    --sshlogin | -S) logins="$2"; shift 2 ;;
    --convert) convert="$2"; shift 2 ;;
    --to) format="$2"; shift 2 ;;
    --out-dir) outdir="$2"; shift 2 ;;
    -h | --help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    --) shift; inputs+=("$@"); break ;;
    *) inputs+=("$1"); shift ;;
  esac
done
if [ -z "$format" ] || ((${#inputs[@]} == 0)); then
  echo "convert-parallel: expected --to FORMAT and INPUT... (see --help)" >&2
  exit 1
fi
command -v parallel >/dev/null || { echo "convert-parallel: GNU parallel is not installed" >&2; exit 1; }

# The converter's own batch of one file: its naming, its refusal to replace an input, its
# messages. --quiet: no count line for each file.
job=("$convert" --to "$format" --quiet --jobs 1)
back="{.}.$format"
if [ -n "$outdir" ]; then
  job+=(--out-dir "$outdir")
  back="$outdir/{/.}.$format"
fi

list() {
  local input
  for input in "${inputs[@]}"; do
    if [ "$input" = - ]; then grep -v '^$' || true; else printf '%s\n' "$input"; fi
  done
}

# Files go to other machines and their outputs come back; on this one they are where they are.
transfer=()
[ "$logins" = : ] || transfer=(--transferfile {} --return "$back" --cleanup)
list | parallel --will-cite --sshlogin "$logins" "${transfer[@]}" "${job[@]}" {}
failed=$?
if ((failed > 0)); then
  echo "convert-parallel: $failed failed" >&2
  exit 1
fi
