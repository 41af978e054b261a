#!/usr/bin/env bash
# The command line for administrators, as a script runs it: each command's output (redirected
# to a file) and exit code. The monitor is a real 15-inch CRT whose line rate stops at 61 kHz:
# 1024x768 at 85 Hz is beyond it, at 75 Hz within.
#   /? and bad arguments; /LIST and /LIST /CSV against the rig's modes; /EXPORT to a path with
#   a blank; /APPLY of a bad file, of a missing one, of one naming a resolution the rig lacks,
#   with /S beyond the monitor's limits, while another Cadenzo holds the settings, with its
#   monitor question answered No, with the backup impossible; /REPORT to a file; then /EXPORT
#   and /APPLY of that file on a fresh machine give the same driver values byte for byte.
# E2E_PARTS=L (the 32-bit build): /LIST and /APPLY only.
source "$(dirname "$0")/lib.sh"
parts=${E2E_PARTS:-ALL}
export CADENZO_RIG_MONITOR
CADENZO_RIG_MONITOR="$(cd "$(dirname "$0")/../data/edid/monitors" && pwd)/Samsung_SAM12B6_BEF7C2F6CAF3"
e2e_start
wine reg delete "HKLM\\$CADENZO_DRIVER_KEY" /v DALRestrictedModesBCD /f >/dev/null 2>&1 || true

# Runs Cadenzo.exe with the arguments from its folder, its output into $out; $code its exit code.
run() {
  code=0
  (cd "$e2e_install" && wine Cadenzo.exe "$@" </dev/null >"$e2e_work/out.txt" 2>/dev/null) ||
    code=$?
  out=$(tr -d '\r' <"$e2e_work/out.txt")
}
restricted() { e2e_reg "$CADENZO_DRIVER_KEY" DALRestrictedModesBCD; }
profile() { printf '[Cadenzo]\r\nVersion=1\r\n[Resolutions]\r\n%s\r\n' "$@" >"$e2e_work/p.cadenzo"; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

run /LIST
e2e_check "/LIST: exit 0" test "$code" = 0
e2e_check "it names the adapter, card, driver and monitor" e2e_has_lines "$out" \
  'Adapter: \\.\DISPLAY1 (RADEON 9700 PRO)' 'Card: Advanced Micro Devices R300' \
  'Driver version: 6.14.10.6396' 'Monitor: S/M 550v'
e2e_check "and each of the rig's resolutions with its rates, the rate in force and the refused" \
  test "$(grep 'x' <<<"$out" | grep -v '^[A-Z]')" = "640x480: offered 60 72 75 85; in force 60; refused -
800x600: offered 56 60 72 75 85; in force 56; refused -
1024x768: offered 60 70 75 85; in force 60; refused -
1280x1024: offered 60 75 85; in force 60; refused -"

# Before any change: a backup that cannot be written stops /APPLY before it writes anything.
profile '1024x768=70'
before=$(e2e_driver_values)
mkdir "$e2e_install/lastknowngood.dat"
run /APPLY "$(winpath "$e2e_work/p.cadenzo")" /S /NORESTART
e2e_check "/APPLY whose backup cannot be written: exit 3, nothing written" \
  eval 'test "$code" = 3 && test "$(e2e_driver_values)" = "$before"'
rmdir "$e2e_install/lastknowngood.dat"

profile '1024x768=75' '1600x1200=85'
run /apply "$(winpath "$e2e_work/p.cadenzo")" /s /norestart
e2e_check "/APPLY of a resolution the rig lacks: exit 6, parts refused" test "$code" = 6
e2e_check "it says which" grep -qF '1600x1200' <<<"$out"
e2e_check "the rest is applied as OK applies it: 60 and 70 refused at 1024x768" \
  test "$(restricted)" = 10240768000000601024076800000070
e2e_check "after both backups" test -s "$e2e_install/backup.dat" -a -s "$e2e_install/lastknowngood.dat"
e2e_check "and the check is armed for the restart left to the caller" test -n \
  "$(e2e_reg 'SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce' 'Cadenzo - test resolution')"
e2e_check "the history tells of it" grep -qF "/APPLY: Z:" <<<"$(e2e_history_events)"
cp "$e2e_install/lastknowngood.dat" "$e2e_work/lastknowngood.dat"

profile '1024x768=85'
applied=$(e2e_driver_values)
run /APPLY "$(winpath "$e2e_work/p.cadenzo")" /S /NORESTART
e2e_check "/APPLY /S beyond the monitor's limits: exit 6, never asked, never written" \
  eval 'test "$code" = 6 && test "$(restricted)" = 10240768000000601024076800000070'
e2e_check "it says the rate was refused" \
  grep -qF 'refused, beyond the monitor'"'"'s limits: 1024x768, 85 Hz' <<<"$out"

if [[ $parts == ALL ]]; then
run '/?'
e2e_check "/? prints the commands and the exit codes: exit 0" \
  eval 'test "$code" = 0 && grep -qF "7  another Cadenzo is changing the settings" <<<"$out"'
run /EXPORT
e2e_check "/EXPORT without its file: exit 5, bad arguments" test "$code" = 5
run /LIST /BOGUS
e2e_check "/LIST with a switch of none: exit 5" test "$code" = 5
run /LIST /CSV
e2e_check "/LIST /CSV: a row per resolution" e2e_has_lines "$out" \
  "width,height,offered,in force,refused" "1024,768,75 85,75,60 70" "640,480,60 72 75 85,60,-"

run /EXPORT 'C:\Cadenzo\my profile.cadenzo'
e2e_check "/EXPORT to a quoted path with a blank: exit 0" test "$code" = 0
e2e_check "the profile holds the rates in force" \
  grep -qx $'1024x768=75\r' "$e2e_install/my profile.cadenzo"

echo "no profile" >"$e2e_work/bad.cadenzo"
run /APPLY "$(winpath "$e2e_work/bad.cadenzo")" /S
e2e_check "/APPLY of a file that is no profile: exit 2, nothing written" \
  eval 'test "$code" = 2 && test "$(e2e_driver_values)" = "$applied"'
run /APPLY 'C:\Cadenzo\missing.cadenzo' /S
e2e_check "/APPLY of a missing file: exit 2" test "$code" = 2

profile '1024x768=85'
wine "$e2e_build/cadenzo_e2e_driver.exe" hold-lock 20000 </dev/null >"$e2e_work/lock.txt" 2>/dev/null &
locker=$!
e2e_wait_for 10 grep -q held "$e2e_work/lock.txt" || true
run /APPLY "$(winpath "$e2e_work/p.cadenzo")" /NORESTART /S
kill "$locker" 2>/dev/null || true
wait "$locker" 2>/dev/null || true
e2e_check "/APPLY while another Cadenzo changes the settings: exit 7, nothing written" \
  eval 'test "$code" = 7 && test "$(restricted)" = 10240768000000601024076800000070'

# Without /S the monitor's question is asked as in the window; No writes nothing.
(cd "$e2e_install" && exec wine Cadenzo.exe /APPLY "$(winpath "$e2e_work/p.cadenzo")" </dev/null \
  >/dev/null 2>&1) &
applier=$!
# The driver's list refuses rates the display still offers (no restart yet): asked first, No.
e2e_driver answer Error no 30000 >/dev/null || true
asked=$(e2e_driver answer "Monitor limits" no 30000 || true)
wait "$applier" && code=0 || code=$?
e2e_check "/APPLY without /S asks about the monitor's limits; No: exit 1, nothing written" \
  eval 'grep -qF "1024x768, 85 Hz" <<<"$asked" && test "$code" = 1 &&
    test "$(restricted)" = 10240768000000601024076800000070'

profile '1024x768=70'
run /APPLY "$(winpath "$e2e_work/p.cadenzo")" /S /NORESTART
e2e_check "applied whole: exit 4, done but a restart is needed" \
  eval 'test "$code" = 4 && test "$(restricted)" = 1024076800000060'
e2e_check "added to the change the first /APPLY began: lastknowngood.dat is still from before it" \
  cmp -s "$e2e_work/lastknowngood.dat" "$e2e_install/lastknowngood.dat"

run /REPORT 'C:\Cadenzo\the report.rpt'
e2e_check "/REPORT to a file: exit 0, the report there" \
  eval 'test "$code" = 0 && grep -qF "1024x768" "$e2e_install/the report.rpt"'

# The profile of this machine, applied on a fresh one, writes the same driver values.
# Wine dates the driver it installs in each new prefix ("DriverDateData"): not Cadenzo's value.
values() { e2e_driver_values | grep -v '^DriverDateData'; }
run /EXPORT "$(winpath "$e2e_work/carried.cadenzo")"
here=$(values)
e2e_stop
e2e_start
wine reg delete "HKLM\\$CADENZO_DRIVER_KEY" /v DALRestrictedModesBCD /f >/dev/null 2>&1 || true
run /APPLY "$(winpath "$e2e_work/carried.cadenzo")" /S /NORESTART
e2e_check "/EXPORT, then /APPLY of it on a fresh machine: the same driver values byte for byte" \
  eval 'test "$code" = 4 && test "$(values)" = "$here"'
fi
e2e_finish
