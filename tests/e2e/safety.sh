#!/usr/bin/env bash
# Undoing through the real window and Wine's registry editor: Cancel restores the driver key
# as the start found it, Restore Registry restores it as the last OK found it, Uninstall
# removes the program's settings; and a driver switch without a value asks before it is
# created, and OK writes it only when agreed.
source "$(dirname "$0")/lib.sh"
title="Cadenzo 0.98 beta"
e2e_start
key=$CADENZO_DRIVER_KEY
set_tiling() { wine reg add "HKLM\\$key" /v DisableTiling /t REG_DWORD /d "$1" /f >/dev/null 2>&1; }
tiling() { e2e_reg "$key" DisableTiling; }

# Exit, the menu's Cancel: the start took backup.dat; a value changed afterwards comes back.
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
# The backup is taken at the first paint, into a file of its own that becomes backup.dat once
# the export is whole.
e2e_check "the start wrote backup.dat" e2e_wait_for 30 test -s "$e2e_install/backup.dat"
set_tiling 7
e2e_driver menu-click "$title" "Program|Exit" >/dev/null || true
e2e_check "Exit (Cancel) ends the program" e2e_wait_exit "$e2e_program" 20
e2e_check "and restored the driver key from backup.dat" test "$(tiling)" = 0x0

# Restore Registry before any OK: there is no lastknowngood.dat, which is said; no restart is
# offered and the program ends.
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_driver_bg menu-click "$title" "Program|Restore Registry"
failed=$(e2e_driver answer Error ok 30000 || true)
e2e_check "Restore Registry without its backup says so" \
  grep -q 'lastknowngood.dat" could not be restored' <<<"$failed"
e2e_check "and ends the program" e2e_wait_exit "$e2e_program" 20

# Restore Registry: an OK without changes takes lastknowngood.dat and asks nothing. The second
# OK's backup holds the strings the first one wrote ("AnisoDegree" among them), which must come
# back through Wine's regedit whole, terminator and all.
aniso_hex=$(e2e_string_hex 16)
for round in first second; do
  e2e_launch
  e2e_driver wait "$title" 30000 >/dev/null || true
  e2e_driver click "$title" OK >/dev/null || true
  e2e_check "the $round OK without changes ends without a question" \
    e2e_wait_exit "$e2e_program" 20
done
e2e_check "OK wrote lastknowngood.dat" test -s "$e2e_install/lastknowngood.dat"
e2e_check "OK stored \"AnisoDegree\" = \"16\" with its terminator" \
  e2e_driver wait-value "$key\\ddhal" AnisoDegree "$aniso_hex" 5000
set_tiling 9
wine reg add "HKLM\\$key\\ddhal" /v AnisoDegree /t REG_SZ /d 2 /f >/dev/null 2>&1
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_driver_bg menu-click "$title" "Program|Restore Registry"
asked=$(e2e_driver answer "Restart Needed" no 30000 || true)
e2e_check "Restore Registry asks to restart" \
  test "$asked" = "Registry restored from backup. Restart now?"
e2e_check "and ends the program" e2e_wait_exit "$e2e_program" 20
e2e_check "the driver key is back as the last OK found it" test "$(tiling)" = 0x0
e2e_check "with \"AnisoDegree\" = \"16\" as OK wrote it, no character lost" \
  e2e_driver wait-value "$key\\ddhal" AnisoDegree "$aniso_hex" 5000

# A switch without a value: "Enable LCD controller" starts grayed.
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
lcd() { e2e_driver controls "$title" | awk -F'\t' '$2 == "Enable LCD controller" { print $9 }'; }
e2e_check "a switch without a value starts grayed" test "$(lcd)" = 2
e2e_driver_bg click "$title" "Enable LCD controller"
asked=$(e2e_driver answer "?" no 30000 || true)
e2e_join
e2e_check "clicking it asks to create the value" \
  test "$asked" = "Registry key doesn't exists. Create it?"
e2e_check "answered No, it is grayed again" test "$(lcd)" = 2
e2e_driver click "$title" OK >/dev/null || true
e2e_wait_exit "$e2e_program" 20 || true
e2e_check "and OK writes no value for it" test -z "$(e2e_reg "$key" DisableLCD)"

e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_driver_bg click "$title" "Enable LCD controller"
e2e_driver answer "?" yes 30000 >/dev/null || true
e2e_join
e2e_check "answered Yes, it is checked" test "$(lcd)" = 1
e2e_driver_bg click "$title" OK
e2e_driver answer "Restart needed" no 30000 >/dev/null || true
e2e_wait_exit "$e2e_program" 20 || true
e2e_check "and OK writes DisableLCD = 0" test "$(e2e_reg "$key" DisableLCD)" = 0x0

# Whether the settings key is there; what the registry tool said goes to reg.log.
settings_kept() { wine reg query 'HKLM\SOFTWARE\Korvex\Cadenzo' >>"$e2e_work/reg.log" 2>&1; }

# Uninstall: No leaves everything; Yes without firstrun.dat says it cannot restore it and keeps
# the settings; Yes with it removes the settings key and the program goes on.
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_driver_bg menu-click "$title" "Program|Uninstall"
e2e_driver answer "?" no 30000 >/dev/null || true
e2e_join
e2e_check "Uninstall answered No keeps the settings" settings_kept
e2e_driver_bg menu-click "$title" "Program|Uninstall"
e2e_driver answer "?" yes 30000 >/dev/null || true
failed=$(e2e_driver answer Error ok 30000 || true)
e2e_join
e2e_check "Uninstall without firstrun.dat says so" \
  grep -q 'firstrun.dat" could not be restored' <<<"$failed"
e2e_check "and keeps the settings" settings_kept
cp "$e2e_install/backup.dat" "$e2e_install/firstrun.dat"
e2e_driver_bg menu-click "$title" "Program|Uninstall"
e2e_driver answer "?" yes 30000 >/dev/null || true
done_text=$(e2e_driver answer OK ok 30000 || true)
e2e_join
e2e_check "Uninstall answered Yes says so" test "$done_text" = \
  "Program deleted sucssessifully. Registry changes will be impemented after restart."
e2e_check "and the settings key is gone" \
  bash -c "! wine reg query 'HKLM\\SOFTWARE\\Korvex\\Cadenzo' >/dev/null 2>&1"
e2e_check "and the program goes on" e2e_driver wait "$title" 2000
e2e_driver close "$title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true
e2e_finish
