#!/usr/bin/env bash
# Sets up the machine, builds, and starts the server. Without arguments it runs
# on the built-in virtual alley (no lane hardware needed). On a machine without a
# display it runs the match without windows.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
# The program reads its report templates from its current directory.
cp -n "${BUILD_DIR:-build}"/templates/*.xls . 2>/dev/null || true
args=("$@")
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  # No screen: nobody could press "Start" on the console, so the match runs
  # without windows and the alley's displays are printed as they change.
  [ ${#args[@]} -eq 0 ] && args=(--simulate --headless)
  exec "${BUILD_DIR:-build}/kuzelna" "${args[@]}"
fi
[ ${#args[@]} -eq 0 ] && args=(--simulate)
exec "${BUILD_DIR:-build}/kuzelna" "${args[@]}"
