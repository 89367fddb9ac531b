#!/usr/bin/env bash
# Sets up the machine, builds, and starts the server. Without arguments it runs
# on the built-in virtual alley (no lane hardware needed). On a machine without a
# display it runs under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
# The program reads its report templates from its current directory.
cp -n "${BUILD_DIR:-build}"/templates/*.xls . 2>/dev/null || true
args=("$@")
[ ${#args[@]} -eq 0 ] && args=(--simulate)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "${BUILD_DIR:-build}/kuzelna" "${args[@]}"
fi
exec "${BUILD_DIR:-build}/kuzelna" "${args[@]}"
