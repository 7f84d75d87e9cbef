#!/usr/bin/env bash
# Builds the RTF reader's fuzz target with clang into build-fuzz/ and runs it on a copy of its
# seeds: QUILLET_FUZZ_RUNS inputs (100,000 by default, about a minute here) from the random seed
# QUILLET_FUZZ_SEED (1), at most QUILLET_FUZZ_SECONDS (300) of it. Fails when an input crashes the
# reader or breaks one of the target's checks; the input is then kept in build-fuzz/fuzz-artifacts/
# and belongs, once fixed, in tests/data/rtf/fuzz-seeds/.
# A search takes another path on another machine (corpus order, addresses, speed), so it never
# gates the test command: scripts/fuzz-replay.sh runs each seed once under the sanitizers and the
# target's checks, which gives the same answer everywhere.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${QUILLET_FUZZ_SECONDS:-300}
runs=${QUILLET_FUZZ_RUNS:-100000}
seed=${QUILLET_FUZZ_SEED:-1}
began=$SECONDS

name=fuzz
# shellcheck source=scripts/fuzz-target.sh
source scripts/fuzz-target.sh

# libFuzzer adds what it finds to its first corpus folder: a copy, so the seeds never change.
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp tests/data/rtf/fuzz-seeds/* "$corpus/"
artifacts=$PWD/$dir/fuzz-artifacts
mkdir -p "$artifacts"

log=$dir/fuzz.log
start=$SECONDS
status=0
"$dir/fuzz/$target" -seed="$seed" -runs="$runs" -max_total_time="$seconds" -timeout=60 \
  -print_final_stats=1 \
  -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1 || status=$?
elapsed=$((SECONDS - start))
executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
if [ "$status" -ne 0 ]; then
  tail -n 60 "$log"
  echo "fuzz: $target FAILED after ${elapsed} s of fuzzing (exit $status); input kept in" \
    "$artifacts, log in $log"
  exit 1
fi
what="${executed:-?} inputs (seed $seed)"
echo "fuzz: $target passed: $what in ${elapsed} s, no crash;" \
  "$((SECONDS - began)) s with the build (log in $log)"
