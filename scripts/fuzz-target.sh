# Sourced by fuzz.sh and fuzz-replay.sh: builds the RTF reader's fuzz target with clang into
# build-fuzz/ and sets the environment it runs in. Expects `name` (the calling command's name, for
# messages); sets `dir` and `target`.
dir=build-fuzz
target=rtf_reader_fuzz

scripts/deps.sh
if ! QUILLET_TARGETS=$target scripts/build.sh "$dir" -DQUILLET_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++; then
  echo "$name: $target FAILED to build"
  exit 1
fi

# Our own settings, not those of the sanitizer test run: libFuzzer checks each input for leaks.
# A fixed hash seed keeps Qt's hash order, and so the writer's output, the same from run to run.
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan-suppressions.txt
export QT_HASH_SEED=0
