#!/usr/bin/env bash
# Start-up speed under Wine: the time from process start until the main window is visible,
# for Cadenzo.exe and for an empty Win32 window, measured in alternating pairs on the rig.
#
#   bench/startup/startup.sh [PAIRS]     (default 7; needs the win64 build)
#
# Prints every pair, both medians and their ratio.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
pairs=${1:-7}
build=$root/build/win64
for exe in Cadenzo.exe EmptyWindow.exe StartupTimer.exe; do
  [ -f "$build/$exe" ] || { echo "missing $build/$exe: build the win64 preset first" >&2; exit 1; }
done

export CADENZO_RIG_DIR=$root/build/bench-startup/rig
rig=tests/rig/rig.sh
trap '"$rig" stop >/dev/null 2>&1 || true' EXIT
"$rig" start >/dev/null
# shellcheck disable=SC1091
source "$CADENZO_RIG_DIR/rig.env"
install=$WINEPREFIX/drive_c/Cadenzo
mkdir -p "$install"
cp "$build/Cadenzo.exe" "$build/EmptyWindow.exe" "$build/StartupTimer.exe" "$install/"

measure() {
  (cd "$install" && wine StartupTimer.exe "$1" "$2" </dev/null 2>/dev/null | tr -d '\r')
}

# One unmeasured run each, so that neither pays for loading Wine's DLLs first.
measure Cadenzo.exe "Cadenzo 0.98 beta" >/dev/null
measure EmptyWindow.exe "Empty Window" >/dev/null

cadenzo=()
empty=()
for ((i = 1; i <= pairs; i++)); do
  c=$(measure Cadenzo.exe "Cadenzo 0.98 beta")
  e=$(measure EmptyWindow.exe "Empty Window")
  cadenzo+=("$c")
  empty+=("$e")
  printf 'pair %d: Cadenzo %s ms, empty window %s ms\n' "$i" "$c" "$e"
done

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
mc=$(median "${cadenzo[@]}")
me=$(median "${empty[@]}")
printf 'median: Cadenzo %s ms, empty window %s ms, ratio %.2f\n' "$mc" "$me" \
  "$(awk -v a="$mc" -v b="$me" 'BEGIN {print a / b}')"
