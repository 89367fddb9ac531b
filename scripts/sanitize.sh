#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer, UBSan and the standard
# library's assertions into ./build-asan (or $ASAN_BUILD_DIR) and runs the
# whole suite there: engine, GUI and office tests and the fuzz targets' corpora.
# Any report of a sanitizer fails the test that made it, and so this script.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${ASAN_BUILD_DIR:-build-asan}
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
start=$(date +%s)
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKUZELNA_SANITIZE=ON "${launcher[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
built=$(date +%s)
# Whole stacks for every allocation, so that the suppressions of leaks that
# are not the program's (scripts/lsan.supp) can name the Qt frames they need.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:fast_unwind_on_malloc=0:check_initialization_order=1:strict_init_order=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 900 -j2
echo "sanitize: build $((built - start)) s, tests $(($(date +%s) - built)) s"
