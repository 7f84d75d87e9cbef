#!/usr/bin/env bash
# scripts/convert-parallel.sh on this machine alone gives the same files, byte for byte, as the
# converter's own batch, fails as it does on an input that is not there, and takes every value
# it is given as data: option values and names that a shell or GNU parallel would read as code
# run nothing and reach the converter as they are.
# Usage: convert_parallel_test.sh CONVERTER SOURCE_DIR. Skipped (77) without GNU parallel.
# shellcheck disable=SC2016 # the hostile values are meant to reach the converter unexpanded
set -euo pipefail
convert=$1
source=$2
script=$source/scripts/convert-parallel.sh
command -v parallel >/dev/null || { echo "GNU parallel is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
mkdir in
cp "$source"/tests/data/rtf/*.rtf in/
printf '<p>Hello <b>there</b></p>' >in/page.htm

for format in txt htm; do
  "$convert" --to "$format" --out-dir "batch-$format" --quiet in/* 2>batch.err
  printf '%s\n' in/* | "$script" --convert "$convert" --to "$format" \
    --out-dir "parallel-$format" - 2>parallel.err
  diff -r "batch-$format" "parallel-$format"
  [ -s batch.err ] || [ -s parallel.err ] && { cat batch.err parallel.err; exit 1; }
  outputs=("parallel-$format"/*) inputs=(in/*)
  [ "${#outputs[@]}" -eq "${#inputs[@]}" ]
done

if "$script" --convert "$convert" --to txt in/page.htm absent.rtf 2>failed.err; then
  echo "a missing input did not fail"
  exit 1
fi
grep -qx "quillet-convert: cannot read absent.rtf: No such file or directory" failed.err
[ -f in/page.txt ]

# Hostile values: each case's out dir and input names. Every file in "expect" must be there
# afterwards, with the letter's text, and no file named pwned anywhere.
mkdir hostile
cd hostile
mkdir "conv dir"
ln -s "$convert" "conv dir/quillet convert"
check() {
  local name=$1 file
  shift
  if ! "$script" --convert "$PWD/conv dir/quillet convert" "$@" 2>"$name.err"; then
    echo "$name: failed"
    cat "$name.err"
    exit 1
  fi
  [ ! -s "$name.err" ] || { echo "$name: said"; cat "$name.err"; exit 1; }
  for file in "${expect[@]}"; do
    [ "$(cat "./$file")" = "Dear reader" ] || { echo "$name: no $file"; find . >&2; exit 1; }
  done
  if find . -name 'pwned*' | grep -q .; then
    echo "$name: a value was run as a command"
    exit 1
  fi
}
names=(-dash.rtf 'two words.rtf' '$(touch pwned).rtf' "it's.rtf" '`touch pwned`.rtf'
  'a;touch pwned;.rtf' '{}.rtf' '{=system("touch pwned")=}.rtf' "$(printf 'line\nend.rtf')")
for input in plain.rtf "${names[@]}"; do
  printf '%s' '{\rtf1 Dear reader\par}' >"./$input"
done
expect=('o$(touch pwned)/plain.txt')
check "command substitution in the out dir" --to txt --out-dir 'o$(touch pwned)' plain.rtf
expect=('my out/plain.txt')
check "a space in the out dir" --to txt --out-dir 'my out' plain.rtf
expect=('{=system("touch pwned")=}/plain.txt')
check "perl in the out dir" --to txt '--out-dir={=system("touch pwned")=}' plain.rtf
# A name holding a line end can only be given as an argument.
expect=()
for input in "${names[@]}"; do expect+=("names/${input%.rtf}.txt"); done
check "names after --" --to txt --out-dir names -- "${names[@]}"
printf 'plain.rtf\r\n-dash.rtf\r\n' >crlf.list
expect=(listed/plain.txt listed/-dash.txt)
check "a list with CRLF line ends" --to txt --out-dir listed - <crlf.list
expect=(tree/plain.txt 'tree/my out/plain.txt')
check "the tree kept" --to txt --out-dir tree --keep-tree plain.rtf 'my out/plain.txt'

# A format that is no format, and an option that is not one, are refused before any work.
for wrong in "--to=txt;touch pwned" "--to txt --fast"; do
  # shellcheck disable=SC2086 # the words of each case
  if "$script" --convert "$convert" $wrong plain.rtf 2>wrong.err; then
    echo "$wrong: taken"
    exit 1
  fi
  grep -q "^convert-parallel: unknown" wrong.err
done
if find . -name 'pwned*' | grep -q .; then
  echo "a refused value was run as a command"
  exit 1
fi
echo "convert-parallel: same files as the batch, and every value taken as data"
