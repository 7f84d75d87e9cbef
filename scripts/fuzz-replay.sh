#!/usr/bin/env bash
# Builds the RTF reader's fuzz target with clang into build-fuzz/ and runs every kept seed and
# past finding (tests/data/rtf/fuzz-seeds/) through it once, under ASan, UBSan and leak checks and
# the target's own checks. No search: the answer is the same on every machine, so the test
# command gates on it. Searching for new inputs is scripts/fuzz.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-fuzz
target=rtf_reader_fuzz
began=$SECONDS

scripts/deps.sh
if ! QUILLET_TARGETS=$target scripts/build.sh "$dir" -DQUILLET_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++; then
  echo "fuzz-replay: $target FAILED to build"
  exit 1
fi

# A fixed hash seed keeps Qt's hash order, and so the writer's output, the same from run to run.
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan-suppressions.txt
export QT_HASH_SEED=0
log=$dir/fuzz-replay.log
# Files, not a folder, and no runs beyond them: libFuzzer runs each once and searches for nothing.
if ! "$dir/fuzz/$target" -runs=0 -timeout=60 tests/data/rtf/fuzz-seeds/* >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "fuzz-replay: $target FAILED on a kept input (log in $log)"
  exit 1
fi
echo "fuzz-replay: $target passed: $(grep -c '^Running: ' "$log") kept inputs replayed, no crash;" \
  "$((SECONDS - began)) s with the build (log in $log)"
