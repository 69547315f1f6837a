#!/usr/bin/env bash
# Installs the Debian 12 packages that building and running Vantreo need;
# with --dev also the tools of the tests, fuzzing and benchmarks.
#   scripts/install-deps.sh [--dev]
set -euo pipefail
dev=0
for arg in "$@"; do
  case "$arg" in
    --dev) dev=1 ;;
    -h|--help) echo "usage: $0 [--dev]"; exit 0 ;;
    *) echo "$0: unknown argument '$arg'" >&2; echo "usage: $0 [--dev]" >&2; exit 2 ;;
  esac
done
packages=(
  build-essential cmake pkg-config
  qtbase5-dev qttools5-dev qttools5-dev-tools libqt5serialport5-dev libqt5svg5-dev
  libqwt-qt5-dev libfreexl-dev
  # Qwt's pkg-config file requires Qt5OpenGL, which libqwt-qt5-dev only recommends
  libqt5opengl5-dev
  # Chinese texts on machines that have no CJK font, and Qt's own dialogs in Chinese
  fonts-wqy-microhei qttranslations5-l10n
  # The Debian package: dpkg-shlibdeps (dpkg-dev) and CPack's check of the
  # executables (file)
  dpkg-dev file
)
if [ "$dev" -eq 1 ]; then
  packages+=(
    # Independent Modbus masters and peers, pseudo-terminal links
    socat mbpoll python3 python3-pymodbus python3-serial python3-serial-asyncio
    # Independent readers of the .xls files
    python3-xlrd python3-olefile
    # Fuzzing and the sanitizer builds
    clang-14 libclang-rt-14-dev llvm-14
    # The checks of the package's desktop entry, metainfo and manual page
    desktop-file-utils appstream groff-base
    # A compiler cache that the build uses when it is there
    ccache
  )
fi
as_root=()
if [ "$(id -u)" -ne 0 ]; then as_root=(sudo); fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  "${as_root[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
fi
