#!/usr/bin/env bash
# Builds the RTF reader's fuzz target with clang into build-fuzz/ and runs every kept seed and
# past finding (tests/data/rtf/fuzz-seeds/) through it once, under ASan, UBSan and leak checks and
# the target's own checks. No search: the answer is the same on every machine, so the test
# command gates on it. Searching for new inputs is scripts/fuzz.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
began=$SECONDS

name=fuzz-replay
# shellcheck source=scripts/fuzz-target.sh
source scripts/fuzz-target.sh

log=$dir/fuzz-replay.log
# Files, not a folder, and no runs beyond them: libFuzzer runs each once and searches for nothing.
if ! "$dir/fuzz/$target" -runs=0 -timeout=60 tests/data/rtf/fuzz-seeds/* >"$log" 2>&1; then
  tail -n 60 "$log"
  echo "fuzz-replay: $target FAILED on a kept input (log in $log)"
  exit 1
fi
echo "fuzz-replay: $target passed: $(grep -c '^Running: ' "$log") kept inputs replayed, no crash;" \
  "$((SECONDS - began)) s with the build (log in $log)"
