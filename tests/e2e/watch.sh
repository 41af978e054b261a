#!/usr/bin/env bash
# Rates that stay: Configure -> Keep rates after driver updates starts "Cadenzo.exe /WATCH" at
# every logon. A change is applied and confirmed after the restart; then the rig's restart hook
# updates the display driver, which writes its key anew with the driver's defaults. The watch
# at the next logon lists the lost rate; Apply again writes it back as OK does, the restart's
# check is confirmed, and the logon after that shows nothing. Another update, then Not now
# (asked again at the next logon) and Stop watching (the logon entry goes).
source "$(dirname "$0")/lib.sh"
check="Cadenzo - Checking Video Modes..."
watch="Cadenzo - Refresh rates lost"
run_key='SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
driver_update="/usr/bin/python3 $(cd "$(dirname "$0")/../rig" && pwd)/driver-update.py"

# A restart of Windows; with $1, the restart hook that updates the display driver.
restart() {
  CADENZO_RIG_RESTART_HOOK=${1:-} "$e2e_rig" restart >"$e2e_work/restart.log" 2>&1 ||
    cat "$e2e_work/restart.log"
  # shellcheck disable=SC1091
  source "$CADENZO_RIG_DIR/rig.env"
}
restricted() { e2e_reg "$CADENZO_DRIVER_KEY" DALRestrictedModesBCD; }
watch_over() { ! e2e_run_of 'Cadenzo\.exe /WATCH' >/dev/null; }
# The watch of this logon ended without a window.
said_nothing() { e2e_wait_for 30 watch_over && ! e2e_driver wait "$watch" 200 >/dev/null; }
# Confirms the check of this logon with OK and ends its program.
confirm_check() {
  e2e_driver wait "$check" 30000 >/dev/null || true
  e2e_driver click "$check" OK >/dev/null || true
  e2e_driver close "$e2e_title" >/dev/null || true
  e2e_wait_for 20 eval '! e2e_run_of "Cadenzo\.exe /CHECK" >/dev/null' || true
}
watch_line() { e2e_driver controls "$watch" | awk -F'\t' -v c="$1" '$1 == c { print $2 }'; }
watch_list() { e2e_driver controls "$watch" | awk -F'\t' '$1 == "ListBox" { print $10 }'; }

e2e_start
wine reg delete "HKLM\\$CADENZO_DRIVER_KEY" /v DALRestrictedModesBCD /f >/dev/null 2>&1 || true
e2e_launch
e2e_driver wait "$e2e_title" 30000 >/dev/null || true
e2e_driver menu-click "$e2e_title" "Configure|Keep rates after driver updates" >/dev/null || true
e2e_check "Configure -> Keep rates after driver updates is checked once chosen" \
  grep -qx '  Keep rates after driver updates \[checked\]' <<<"$(e2e_driver menu "$e2e_title")"
e2e_check "and starts the watch at every logon" \
  test "$(e2e_reg "$run_key" 'Cadenzo watch')" = '"C:\Cadenzo\Cadenzo.exe" /WATCH'
e2e_driver close "$e2e_title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true

e2e_typical_change 'C:\Cadenzo\Cadenzo.exe'
applied=$(restricted)
restart
confirm_check
e2e_check "a change not yet confirmed is not watched: that logon's watch says nothing" said_nothing

restart "$driver_update"
e2e_check "the driver update wrote the driver key anew, without the refused rates" \
  test -z "$(restricted)"
e2e_check "the next logon's watch shows its window" e2e_driver wait "$watch" 30000
"$e2e_rig" screenshot "$e2e_work/watch.png" >/dev/null 2>&1 || true
e2e_check "it lists the lost rate" test "$(watch_list)" = "1024x768, 85 Hz"
# Wine dates the driver it installs with the day of the prefix's first boot.
e2e_check "and names the driver before and now" grep -qxE \
  'Display driver before: 6\.14\.10\.6396( \(.*\))?, now: 6\.14\.10\.6558 \(9-7-2005\)' \
  <<<"$(watch_line Static)"
e2e_driver_bg click "$watch" "Apply again"
e2e_driver answer Warning ok 30000 >/dev/null || true
asked=$(e2e_driver answer "Restart needed" no 30000 || true)
e2e_join
e2e_check "Apply again asks to restart, as OK does" \
  test "$asked" = "All changes do not take effect until next boot. Restart?"
e2e_check "and has written the rates back" test "$(restricted)" = "$applied"
e2e_check "after backing up the updated driver's key" \
  grep -qF '"DriverVersion"="6.14.10.6558"' <<<"$(e2e_export_text "$e2e_install/backup.dat")"
e2e_check "and the check is armed" test -n "$(e2e_reg \
  'SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce' 'Cadenzo - test resolution')"
e2e_check "the history tells what the watch found and that it was applied again" e2e_has_lines \
  "$(e2e_history_events)" "/WATCH found lost rates: 1024x768, 85 Hz; driver 6.14.10.6396" \
  "Apply again: the rates of" "1024x768 60 Hz -> 85 Hz"
e2e_wait_for 20 watch_over || true
restart
confirm_check
restart
e2e_check "confirmed, the rates stay: the next logon's watch shows nothing" said_nothing
e2e_check "and the driver key keeps them" test "$(restricted)" = "$applied"

# Another update: Not now, then Stop watching.
restart "$driver_update"
e2e_driver wait "$watch" 30000 >/dev/null || true
e2e_driver click "$watch" "Not now" >/dev/null || true
e2e_check "Not now ends the watch and writes nothing" \
  eval 'e2e_wait_for 20 watch_over && test -z "$(restricted)"'
e2e_check "the logon entry stays" test -n "$(e2e_reg "$run_key" 'Cadenzo watch')"
restart
e2e_check "the next logon asks again" e2e_driver wait "$watch" 30000
e2e_driver click "$watch" "Stop watching" >/dev/null || true
e2e_check "Stop watching removes the logon entry" \
  eval 'e2e_wait_for 20 watch_over && test -z "$(e2e_reg "$run_key" "Cadenzo watch")"'
e2e_finish
