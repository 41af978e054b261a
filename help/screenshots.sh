#!/usr/bin/env bash
# Retakes the screenshots of the help on the test rig: the main window, and the check window
# that "Cadenzo.exe /CHECK" opens after a restart. Each is cropped to its window and saved as a
# small 8-bit palette PNG in help/images/. The build does not run this script; run it after
# a change to the windows, then rebuild to compile the help again.
#
#   help/screenshots.sh [WIN64_BUILD_DIR]      (default build/win64; build it first)
set -euo pipefail
help_dir=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$help_dir")
# shellcheck disable=SC1091
source "$root/tests/e2e/lib.sh" "${1:-$root/build/win64}" "$root/build/help-screenshots"
images="$help_dir/images"
main_title="Cadenzo 0.98 beta"
check_title="Cadenzo - Checking Video Modes..."

# Crops the rig's screen to the window titled $1 and saves it as $2.
shoot() {
  local title=$1 out=$2 info x y w h
  info=$(xwininfo -display "$DISPLAY" -name "$title")
  x=$(awk '/Absolute upper-left X/ { print $NF }' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ { print $NF }' <<<"$info")
  w=$(awk '/Width:/ { print $NF }' <<<"$info")
  h=$(awk '/Height:/ { print $NF }' <<<"$info")
  "$e2e_rig" screenshot "$e2e_work/screen.png"
  # No metadata (no time stamps): an unchanged window gives an unchanged file.
  convert "$e2e_work/screen.png" -crop "${w}x${h}+${x}+${y}" +repage -strip -colors 256 \
    "PNG8:$out"
  echo "$out: ${w}x${h}, $(stat -c %s "$out") bytes"
}

# Waits until the check window's count-down shows a number.
counting() {
  local i
  for i in $(seq 1 100); do
    if e2e_driver controls "$check_title" | grep -q 'selected in [0-9]* seconds'; then return 0; fi
    sleep 0.1
  done
  echo "the check window did not count down" >&2
  return 1
}

e2e_start
mkdir -p "$images"

# The main window as it opens on the demo driver profile.
e2e_launch
e2e_driver wait "$main_title" 30000 >/dev/null
# The start's backup is written while the window is open; its end is the window's rest.
for _ in $(seq 1 300); do [ -f "$e2e_install/backup.dat" ] && break; sleep 0.1; done
shoot "$main_title" "$images/mainwindow.png"
e2e_driver close "$main_title" >/dev/null || true
e2e_wait_exit "$e2e_program" 20 || true

# The check window, in its first count-down; OK ends the check before it changes anything.
e2e_launch /CHECK
e2e_driver wait "$check_title" 30000 >/dev/null
counting
shoot "$check_title" "$images/checkwindow.png"
e2e_driver click "$check_title" OK >/dev/null || true
e2e_driver close "$main_title" >/dev/null || true
e2e_wait_exit "$e2e_program" 20 || true
e2e_stop
