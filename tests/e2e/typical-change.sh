#!/usr/bin/env bash
# The road of a typical change, through the real window and the rig's simulated driver:
# 1024x768 offers 60, 70, 75 and 85 with 60 in force; the user picks 85 and presses OK; the
# backup is written by the registry editor, the driver's list refuses exactly 60, 70 and 75,
# the check is armed for the next start, the restart question is answered; after the restart
# the display no longer offers the refused rates, and the next start shows 85 in force
# without any question; Restore Registry undoes it. history.log in the install directory and
# the Event Log tell each step. Installed under "C:\Program Files", a directory with a blank.
source "$(dirname "$0")/lib.sh"
export E2E_INSTALL="Program Files/Cadenzo"
e2e_start
wine reg delete "HKLM\\$CADENZO_DRIVER_KEY" /v DALRestrictedModesBCD /f >/dev/null 2>&1 || true
# A program planted where an unquoted "C:\Program Files\..." command would find it first.
cp "$e2e_build/EmptyWindow.exe" "$WINEPREFIX/drive_c/Program.exe"

WINEDEBUG=$e2e_eventlog e2e_typical_change 'C:\Program Files\Cadenzo\Cadenzo.exe'
applied=$(e2e_history_events | head -1)
one_rate_changed() {
  [[ $applied == "OK applied: "*"1024x768 60 Hz -> 85 Hz"* ]] &&
    test "$(grep -o -- '->' <<<"$applied" | wc -l)" = 1
}
e2e_check "history.log tells the change: every resolution's rate before and after, only \
1024x768's changed ($applied)" one_rate_changed
e2e_check "then the armed check" test "$(e2e_history_events | tail -n +2)" = "Check armed"
e2e_check "each line starts with the local time and its offset from UTC" e2e_history_timed
e2e_check "the Event Log took the same two, as information, in order" \
  test "$(e2e_event_log)" = "trace $applied"$'\n'"trace Check armed"
e2e_restart_into_check
e2e_check "the planted C:\\Program.exe did not run" \
  bash -c "! wine '$e2e_build/cadenzo_e2e_driver.exe' wait 'Empty Window' 500 >/dev/null 2>&1"
sleep 1

WINEDEBUG=$e2e_eventlog e2e_launch
e2e_driver wait "$e2e_title" 30000 >/dev/null || true
e2e_check "the next start shows 85 in force without a question" \
  grep -qP '^ComboBox\t85\t.*\t60\|70\|75\|85$' <<<"$(e2e_grid_row 76)"
"$e2e_rig" screenshot "$e2e_work/after-restart.png" >/dev/null 2>&1 || true
# Undo: lastknowngood.dat goes back into the driver key through the registry editor.
e2e_driver_bg menu-click "$e2e_title" "Program|Restore Registry"
asked=$(e2e_driver answer "Restart Needed" no 30000 || true)
e2e_join
e2e_check "Restore Registry asks to restart" \
  test "$asked" = "Registry restored from backup. Restart now?"
e2e_check "and ends the program" e2e_wait_exit "$e2e_program" 20
max=$(e2e_reg "$CADENZO_DRIVER_KEY" "DALR6 CRT_Info" | cut -c17-18)
e2e_check "the maximum rate is 75 again, as before the OK" test "${max,,}" = 4b
e2e_check "history.log adds the confirmation and the restore" \
  test "$(e2e_history_events | tail -n +2)" = \
  $'Check armed\nCheck confirmed: the new rates\nRestore Registry: lastknowngood.dat'
e2e_check "and so does the Event Log" \
  test "$(e2e_event_log)" = "trace Restore Registry: lastknowngood.dat"
e2e_finish
