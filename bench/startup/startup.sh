#!/usr/bin/env bash
# Start-up speed under Wine: the time from process start until the main window is visible, on
# the rig, in alternating rounds of four programs:
#   empty     EmptyWindow.exe: an empty Win32 window of the same size, the floor;
#   read      EmptyWindow.exe /read: the same after the system calls Cadenzo's start-up makes
#             besides its windows (display devices and modes, registry values, card database);
#   windows   EmptyWindow.exe /read /windows: and then the same child windows as Cadenzo's
#             main window, copied from a running Cadenzo before the rounds (class, styles,
#             place, text, list items);
#   Cadenzo   Cadenzo.exe.
# So read - empty is what reading costs, windows - read what Windows takes to make that many
# controls, and Cadenzo - windows what Cadenzo's own code adds (its menu, hints, fonts, layout).
#
#   bench/startup/startup.sh [ROUNDS]    (default 7; needs the win64 build)
#
# CADENZO_EXE=path times another Cadenzo.exe (an older build, say) against the same yardsticks.
# Prints every round, the medians and the ratios, and the load average before and after: the
# figures mean little on a busy machine.
set -euo pipefail
cd "$(dirname "$0")/../.."
rounds=${1:-7}
cadenzo_exe=${CADENZO_EXE:-$PWD/build/win64/Cadenzo.exe}
bench=startup
# shellcheck source=bench/startup/rig-setup.sh
source bench/startup/rig-setup.sh

measure() {
  (cd "$install" && wine StartupTimer.exe "$@" </dev/null 2>/dev/null | tr -d '\r')
}
empty() { measure EmptyWindow.exe "Empty Window"; }
read_() { measure EmptyWindow.exe "Empty Window" /read; }
windows() { measure EmptyWindow.exe "Empty Window" /read /windows 'C:\Cadenzo\windows.txt'; }
cadenzo() { measure Cadenzo.exe "Cadenzo 0.98 beta"; }

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
# One unmeasured run each, so that none pays for loading Wine's DLLs first.
# Cadenzo's first run also writes down its child windows for the third program.
empty >/dev/null
read_ >/dev/null
echo "Cadenzo's main window: $( (cd "$install" && wine StartupTimer.exe /dump 'C:\Cadenzo\windows.txt' \
  Cadenzo.exe "Cadenzo 0.98 beta" </dev/null 2>&1 >/dev/null) | tr -d '\r' | grep -v ':fixme:' |
  awk '{printf "%s%s %s", (NR > 1 ? ", " : ""), $2, $1}') child windows"
windows >/dev/null

e=() r=() w=() c=()
for ((i = 1; i <= rounds; i++)); do
  e+=("$(empty)")
  r+=("$(read_)")
  w+=("$(windows)")
  c+=("$(cadenzo)")
  printf 'round %d: empty %s ms, read %s ms, windows %s ms, Cadenzo %s ms\n' "$i" "${e[-1]}" \
    "${r[-1]}" "${w[-1]}" "${c[-1]}"
done

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
me=$(median "${e[@]}")
mr=$(median "${r[@]}")
mw=$(median "${w[@]}")
mc=$(median "${c[@]}")
printf 'median: empty %s ms, read %s ms, windows %s ms, Cadenzo %s ms\n' "$me" "$mr" "$mw" "$mc"
awk -v e="$me" -v r="$mr" -v w="$mw" -v c="$mc" 'BEGIN {
  printf "reading: %.0f ms; making the child windows: %.0f ms; Cadenzo beyond both: %.0f ms\n", r - e, w - r, c - w
  printf "ratios: Cadenzo/empty %.2f, Cadenzo/read %.2f, Cadenzo/windows %.2f, read/empty %.2f\n", c / e, c / r, c / w, r / e }'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
