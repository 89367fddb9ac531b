#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the program need.
# Safe to run again; non-interactive.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcurl4-openssl-dev python3-pyftpdlib
  libreoffice-calc libreoffice-dev
  xvfb xauth fonts-liberation2 poppler-utils
  x11-utils xdotool # bench/bench_program_load.py: sees the windows mapped, clicks the console's buttons
  libboost1.81-dev # Boost.Beast: the live results page and its sockets
  libqrencode-dev  # the QR code of the page's address on the console
  chromium         # the live results page in a real browser, in the tests
  # checks the Debian package (scripts/package-test.sh)
  lintian
  util-linux mount # unshare and mount: the full-disk and read-only tests run on a private tmpfs
  strace           # the durability test reads from a trace that every saved file is synced before its rename
  # clang's libFuzzer and sanitizer runtimes: scripts/fuzz.sh
  clang libclang-rt-14-dev
  # Qt's own dialogs and message boxes in Czech
  qt6-translations-l10n
  # the office's windows and messages in Czech
  libreoffice-l10n-cs
  # sshd on loopback: the sftp publishing test checks host keys against a real server
  openssh-server
)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get -o DPkg::Lock::Timeout=600 update -q
$SUDO apt-get -o DPkg::Lock::Timeout=600 install -y -q "${missing[@]}"
