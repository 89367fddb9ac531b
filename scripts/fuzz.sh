#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang's libFuzzer, AddressSanitizer and
# UBSan into ./build-fuzz (or $FUZZ_BUILD_DIR) and runs each for SECONDS
# (default 30), starting from its seed corpus in fuzz/corpus/. A crash, a
# sanitizer report or a broken check fails the script; the input that did it
# is kept in build-fuzz/findings/.
#     bash scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET=${1:-30}
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
start=$(date +%s)
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DKUZELNA_FUZZ=ON \
  "${launcher[@]}" >/dev/null
cmake --build "$BUILD_DIR" --target fuzz_targets -j"$(nproc)"
built=$(date +%s)

mkdir -p "$BUILD_DIR/findings"
failed=()
for source in fuzz/fuzz_*.cpp; do
  target=$(basename "$source" .cpp)
  # New inputs go to a corpus of the build; the seeds in the repository stay as they are.
  corpus="$BUILD_DIR/corpus/$target"
  mkdir -p "$corpus"
  log="$BUILD_DIR/findings/$target.log"
  if "$BUILD_DIR/$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$BUILD_DIR/findings/$target-" \
      "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $target: ${runs:-?} runs in ${SECONDS_PER_TARGET} s, clean"
  else
    echo "fuzz: $target FAILED (log: $log)"
    tail -n 40 "$log"
    failed+=("$target")
  fi
done
echo "fuzz: build $((built - start)) s, runs $(($(date +%s) - built)) s"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failed: ${failed[*]}"
  exit 1
fi
