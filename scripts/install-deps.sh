#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Cadenzo need, and any
# packages named as arguments. Quick when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang-format libgtest-dev libbenchmark-dev valgrind python3 pci.ids
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-apps imagemagick xauth
  fonts-wine x11-utils
  "$@"  # what a caller needs besides, such as the fuzzing compiler
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
