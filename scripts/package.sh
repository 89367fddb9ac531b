#!/usr/bin/env bash
# Builds the Debian package kuzelna_<version>_amd64.deb into ./build (or $BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
bash scripts/build.sh
rm -f "$BUILD_DIR"/kuzelna_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
ls "$BUILD_DIR"/kuzelna_*_amd64.deb
