#!/usr/bin/env bash
# Builds the RTF reader's fuzz target with clang into build-fuzz/ and runs it on a copy of its
# seeds for QUILLET_FUZZ_SECONDS (60 by default). Fails when an input crashes the reader or breaks
# one of the target's checks; the input is then kept in build-fuzz/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${QUILLET_FUZZ_SECONDS:-60}
dir=build-fuzz
target=rtf_reader_fuzz
began=$SECONDS

scripts/deps.sh
if ! QUILLET_TARGETS=$target scripts/build.sh "$dir" -DQUILLET_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++; then
  echo "fuzz: $target FAILED to build"
  exit 1
fi

# libFuzzer adds what it finds to its first corpus folder: a copy, so the seeds never change.
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/data/rtf/fuzz-seeds/* "$corpus/"
artifacts=$PWD/$dir/fuzz-artifacts
mkdir -p "$artifacts"

# Our own settings, not those of the sanitizer test run: libFuzzer checks each input for leaks.
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
log=$dir/fuzz.log
start=$SECONDS
status=0
"$dir/fuzz/$target" -max_total_time="$seconds" -timeout=60 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=$?
elapsed=$((SECONDS - start))
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log"
  echo "fuzz: $target FAILED after ${elapsed} s of fuzzing (exit $status); input kept in" \
    "$artifacts, log in $log"
  exit 1
fi
echo "fuzz: $target passed: ${runs:-?} inputs in ${elapsed} s, no crash;" \
  "$((SECONDS - began)) s with the build (log in $log)"
