#!/usr/bin/env bash
# Converts an archive too big for one machine with GNU parallel: each file is a job, run on the
# machines given (by default this one, ":"), copied there and its output copied back when the
# machine is another one. Each machine needs quillet-convert on its PATH (the .deb installs it).
#
#   scripts/convert-parallel.sh [--sshlogin LOGINS] [--convert PROGRAM] --to FORMAT
#       [--out-dir DIR [--keep-tree]] [--overwrite] [--] INPUT... | -
#
# LOGINS is GNU parallel's list ("4/alice@host1,bob@host2,:"; ":" is this machine). An INPUT of
# "-" reads the paths from standard input, one a line (LF or CRLF). Paths are best relative: a
# file is copied to the same relative path under the other machine's home folder and its output
# back beside it. --keep-tree, --overwrite: as quillet-convert takes them. Each failure is one
# line on standard error, as quillet-convert gives it; the status is 1 when any file failed.
set -uo pipefail

usage() {
  echo "convert-parallel: $1 (see --help)" >&2
  exit 1
}

logins=":"
convert=quillet-convert
format=""
outdir=""
keep_tree=""
overwrite=""
inputs=()
while (($#)); do
  option=$1 value=""
  # --name=VALUE as --name VALUE
  case "$option" in
    --sshlogin=* | --convert=* | --to=* | --out-dir=*)
      value=${option#*=} option=${option%%=*}
      set -- "$option" "$value" "${@:2}"
      ;;
  esac
  case "$option" in
    --sshlogin | -S | --convert | --to | --out-dir)
      (($# >= 2)) || usage "$option needs a value"
      value=$2
      shift 2
      case "$option" in
        --sshlogin | -S) logins=$value ;;
        --convert) convert=$value ;;
        --to) format=$value ;;
        --out-dir) outdir=$value ;;
      esac
      ;;
    --keep-tree) keep_tree=1; shift ;;
    --overwrite) overwrite=1; shift ;;
    -h | --help) sed -n '2,13p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    --) shift; inputs+=("$@"); break ;;
    -) inputs+=(-); shift ;;
    -*) usage "unknown option: $option" ;;
    *) inputs+=("$1"); shift ;;
  esac
done
if [ -z "$format" ] || ((${#inputs[@]} == 0)); then
  usage "expected --to FORMAT and INPUT..."
fi
format=${format,,}
case "$format" in
  rtf | txt | htm | html | pdf) ;;
  *) usage "unknown format: $format (use rtf, txt, htm, html, pdf)" ;;
esac
[ -z "$keep_tree" ] || [ -n "$outdir" ] || usage "--keep-tree needs --out-dir"
command -v parallel >/dev/null || { echo "convert-parallel: GNU parallel is not installed" >&2; exit 1; }

# The converter's own batch of one file: its naming, its refusal to replace an input, its
# messages. --quiet: no count line for each file. What the user gave reaches the job only through
# the environment, never through the command GNU parallel composes: there a value would be read
# by a shell, and "{...}" in it as one of parallel's replacement strings (perl code among them).
export QUILLET_JOB_CONVERT=$convert QUILLET_JOB_FORMAT=$format QUILLET_JOB_OUT_DIR=$outdir \
  QUILLET_JOB_KEEP_TREE=$keep_tree QUILLET_JOB_OVERWRITE=$overwrite
# shellcheck disable=SC2016 # expanded by the job's shell
job='input=$1
set -- --to "$QUILLET_JOB_FORMAT" --quiet --jobs 1
[ -z "$QUILLET_JOB_OUT_DIR" ] || set -- "$@" --out-dir "$QUILLET_JOB_OUT_DIR"
[ -z "$QUILLET_JOB_KEEP_TREE" ] || set -- "$@" --keep-tree
[ -z "$QUILLET_JOB_OVERWRITE" ] || set -- "$@" --overwrite
exec "$QUILLET_JOB_CONVERT" "$@" -- "$input"'

# The names NUL-ended, as no name can hold a NUL: a name may hold a line end.
list() {
  local input
  for input in "${inputs[@]}"; do
    if [ "$input" = - ]; then
      sed 's/\r$//' | grep -v '^$' | tr '\n' '\0'
    else
      printf '%s\0' "$input"
    fi
  done
}

# Files go to other machines and their outputs come back; on this one they are where they are.
# The output's name is a template of parallel's own, so an out dir to return into must hold no
# braces.
transfer=()
if [ "$logins" != : ]; then
  back="{.}.$format"
  if [ -n "$outdir" ]; then
    [[ $outdir != *[{}]* ]] || usage "with --sshlogin, --out-dir cannot hold { or }"
    back="$outdir/{/.}.$format"
    [ -z "$keep_tree" ] || back="$outdir/{.}.$format"
  fi
  transfer=(--transferfile {} --return "$back" --cleanup)
fi
list | parallel --will-cite -0 --sshlogin "$logins" --env QUILLET_JOB_CONVERT \
  --env QUILLET_JOB_FORMAT --env QUILLET_JOB_OUT_DIR --env QUILLET_JOB_KEEP_TREE \
  --env QUILLET_JOB_OVERWRITE "${transfer[@]}" -q sh -c "$job" convert-parallel {}
failed=$?
if ((failed > 0)); then
  echo "convert-parallel: $failed failed" >&2
  exit 1
fi
