#!/usr/bin/env bash
# The watch at logon when all is well: how long "Cadenzo.exe /WATCH" runs beyond a process that
# does nothing, on the rig, in alternating rounds:
#   nothing   EmptyWindow.exe /none: a Windows process under Wine that ends at once;
#   watch     Cadenzo.exe /WATCH with a kept record that the driver key still holds: it reads
#             the record, finds the adapter, compares and ends, showing nothing.
# watch - nothing is the watch's own work.
#
#   bench/startup/watch.sh [ROUNDS]    (default 11; needs the win64 build)
set -euo pipefail
cd "$(dirname "$0")/../.."
rounds=${1:-11}
cadenzo_exe=$PWD/build/win64/Cadenzo.exe
bench=watch
# shellcheck source=bench/startup/rig-setup.sh
source bench/startup/rig-setup.sh
settings='HKLM\SOFTWARE\Korvex\Cadenzo'
wine reg add "$settings" /v InstallDir /t REG_SZ /d 'C:\Cadenzo' /f >/dev/null 2>&1
# The kept record: 1024x768 at 85 Hz, refusing what the demo driver's list refuses, and the
# anisotropy as the demo driver has it. The list in force holds all of it: all is well.
refused=$(wine reg query "HKLM\\$CADENZO_DRIVER_KEY" /v DALRestrictedModesBCD 2>/dev/null | tr -d '\r' |
  awk '$1 == "DALRestrictedModesBCD" { print $3 }')
wine reg add "$settings\\Applied" /v Refused /t REG_BINARY /d "$refused" /f >/dev/null 2>&1
wine reg add "$settings\\Applied" /v AnisoDegree /t REG_SZ /d 16 /f >/dev/null 2>&1
wine reg add "$settings\\Applied" /v Rates /t REG_BINARY /d 1024076800000085 /f >/dev/null 2>&1

measure() { (cd "$install" && wine StartupTimer.exe "$@" </dev/null 2>/dev/null | tr -d '\r'); }
nothing() { measure EmptyWindow.exe - /none; }
watch() { measure Cadenzo.exe - /WATCH; }

# First the proof that the watch reads that record: with one refused mode more than the driver's
# list holds, it shows its window.
wine reg add "$settings\\Applied" /v Refused /t REG_BINARY /d "${refused}1280102400000060" /f >/dev/null 2>&1
if ! measure Cadenzo.exe "Cadenzo - Refresh rates lost" /WATCH >/dev/null; then
  echo "the watch did not compare the kept record with the driver: no figures" >&2
  exit 1
fi
wine reg add "$settings\\Applied" /v Refused /t REG_BINARY /d "$refused" /f >/dev/null 2>&1

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
nothing >/dev/null
watch >/dev/null
n=() w=()
for ((i = 1; i <= rounds; i++)); do
  n+=("$(nothing)")
  w+=("$(watch)")
  printf 'round %d: nothing %s ms, watch %s ms\n' "$i" "${n[-1]}" "${w[-1]}"
done
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
mn=$(median "${n[@]}")
mw=$(median "${w[@]}")
awk -v n="$mn" -v w="$mw" 'BEGIN {
  printf "median: nothing %s ms, watch %s ms; the watch'"'"'s own work: %.0f ms (goal: at most 100)\n", n, w, w - n }'
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
