#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12.
set -euo pipefail
packages=(
  build-essential cmake
  qtbase5-dev qttools5-dev qttools5-dev-tools libqt5serialport5-dev
  libqwt-qt5-dev libfreexl-dev
  socat mbpoll python3-pymodbus
  python3-xlrd python3-olefile
)
as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${as_root[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q "${missing[@]}"
fi
