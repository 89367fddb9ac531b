#!/usr/bin/env bash
# Sets up the machine, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure --timeout 600 -j2
# The Debian package: built, checked, installed, run and removed again.
bash scripts/package-test.sh
