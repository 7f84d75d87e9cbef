#!/usr/bin/env bash
# Builds Quillet and runs the whole test suite and a smoke test of the real program on a display
# of its own, then the tests again under AddressSanitizer and UBSan, then runs the RTF reader's fuzz
# target on every fuzz seed (a replay, no search: the answer is the same on every machine).
# QUILLET_SKIP_SANITIZERS=1 and QUILLET_SKIP_FUZZ=1 leave those steps out for a quicker local run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
scripts/build.sh build
(cd build && ctest --output-on-failure --parallel "$(nproc)")
scripts/smoke.sh build
if [ "${QUILLET_SKIP_SANITIZERS:-0}" != 1 ]; then
  scripts/build.sh build-asan -DQUILLET_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
  (cd build-asan && ctest --output-on-failure --parallel "$(nproc)")
fi
if [ "${QUILLET_SKIP_FUZZ:-0}" != 1 ]; then
  scripts/fuzz-replay.sh
fi
