#!/usr/bin/env bash
# Installs what is needed, builds Cadenzo.exe and runs it under Wine with the demo ATI driver
# profile. With a display attached the window shows there; without one it runs on the rig's
# own X server and a screenshot is saved to build/demo/Cadenzo.png. Either way the program
# runs until its window is closed (or Ctrl-C).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh
scripts/build.sh win64

export CADENZO_RIG_DIR="$root/build/demo/rig"
mkdir -p "$root/build/demo"
if [ -n "${DISPLAY:-}" ] && xset q >/dev/null 2>&1; then
  export CADENZO_RIG_DISPLAY="$DISPLAY"  # use the person's own screen
fi
rig=tests/rig/rig.sh
trap '"$rig" stop >/dev/null 2>&1 || true' EXIT INT TERM
"$rig" start
# shellcheck disable=SC1091
source "$CADENZO_RIG_DIR/rig.env"

install_dir="$WINEPREFIX/drive_c/Cadenzo"
mkdir -p "$install_dir"
# The program with its card database (it does not start without it) and any language files.
cp build/win64/Cadenzo.exe build/win64/ati.pci "$install_dir/"
cp build/win64/*.lng "$install_dir/" 2>/dev/null || true
(cd "$install_dir" && wine Cadenzo.exe) &
program=$!
if [ -z "${CADENZO_RIG_DISPLAY:-}" ]; then
  wine build/win64/cadenzo_e2e_driver.exe wait "Cadenzo 0.98 beta" 30000 >/dev/null || true
  sleep 1
  "$rig" screenshot "$root/build/demo/Cadenzo.png"
  echo "Screenshot: $root/build/demo/Cadenzo.png"
  echo "Cadenzo is running on the rig's own X server (DISPLAY=$DISPLAY); Ctrl-C ends it."
fi
wait "$program" || true
