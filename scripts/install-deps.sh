#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Cadenzo need, and any
# packages named as arguments. Quick when everything is already there.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang-format libgtest-dev libbenchmark-dev valgrind python3 pci.ids
  mingw-w64 g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix
  g++-mingw-w64-i686-posix
  wine wine64 nsis wixl msitools
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils x11-apps imagemagick xauth
  fonts-wine x11-utils fp-utils libchm-bin
  # The 32-bit Cadenzo.exe runs on 64-bit Wine through wine32, like on 64-bit Windows. Its X11
  # driver loads these libraries at run time; without libXrandr it offers one display mode.
  wine32:i386 libxrandr2:i386 libxrender1:i386 libxinerama1:i386 libxcursor1:i386 libxi6:i386
  libxfixes3:i386 libxcomposite1:i386 libxxf86vm1:i386
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
  dpkg --print-foreign-architectures | grep -qx i386 || "${sudo_cmd[@]}" dpkg --add-architecture i386
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
