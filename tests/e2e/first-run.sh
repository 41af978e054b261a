#!/usr/bin/env bash
# The first start of this version (no "Version" stored) on a machine whose driver restricts
# modes: the driver key is saved to firstrun.dat by the registry editor, then the restriction
# lists, the minimum resolution and the native-modes rule are cleared, the version is stored,
# and the program offers a restart and ends. The next start has nothing to do. When the key
# cannot be saved, nothing is cleared and the program says so.
# shellcheck disable=SC2119 # e2e_launch without arguments: an ordinary start
source "$(dirname "$0")/lib.sh"
title="Cadenzo 0.98 beta"
settings='SOFTWARE\Korvex\Cadenzo'
e2e_start
key=$CADENZO_DRIVER_KEY
set_value() { wine reg add "HKLM\\$key" /v "$1" /t "$2" /d "$3" /f >/dev/null 2>&1; }
wine reg delete "HKLM\\$settings" /v Version /f >/dev/null 2>&1 || true
set_value DALRestrictedModesBCD1 REG_BINARY 1024076800320085 # 1024x768x32 at 85
set_value DALRestrictedModesBCD3 REG_BINARY 0800060000160072 # 800x600x16 at 72
set_value DALOPTION_MinResBCD REG_BINARY 0640048000000000
set_value DALRULE_ADDNATIVEMODESTOMODETABLE REG_DWORD 1
lists=(DALRestrictedModesBCD DALRestrictedModesBCD1 DALRestrictedModesBCD2 DALRestrictedModesBCD3
  DALOPTION_MinResBCD)

stored() { awk -F'\t' -v name="$1" '$1 == name { print $2 }' <<<"$values"; }
version() { e2e_reg "$settings" Version; }
no_first_run_question() { ! e2e_driver answer "First Run" no 3000 >/dev/null; }
seen() { e2e_driver wait "$title" "$1" >/dev/null; }

# The key cannot be saved: a directory stands where firstrun.dat would go.
mkdir "$e2e_install/firstrun.dat"
untouched=$(e2e_driver_values)
e2e_launch
error=$(e2e_driver answer Error ok 30000 || true)
e2e_check "when firstrun.dat cannot be written the program says so" test "$error" = \
  'The registry backup "firstrun.dat" could not be written, so the driver'"'"'s restrictions were not cleared. Cadenzo will try again at its next start.'
e2e_check "and asks nothing" no_first_run_question
e2e_check "and goes on with its main window" seen 5000
values=$(e2e_driver_values)
e2e_check "the driver's values are untouched" test "$values" = "$untouched"
e2e_check "no version is stored, so the next start tries again" test -z "$(version)"
e2e_driver close "$title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true
rmdir "$e2e_install/firstrun.dat"

# The first run.
e2e_launch
question=$(e2e_driver answer "First Run" no 30000 || true)
e2e_check "the first start asks to restart" test "$question" = \
  "This is first run of Cadenzo 0.98 beta . Program was disabled all restrictions of drivers, but freqences will be correctly detected only after restart. Restart now?"
e2e_check "answered No, the program ends" e2e_wait_exit "$e2e_program" 20
saved=$(e2e_export_text "$e2e_install/firstrun.dat" || true)
e2e_check "firstrun.dat was written by the registry editor with the driver key" \
  grep -qiF "[HKEY_LOCAL_MACHINE\\$key]" <<<"$saved"
e2e_check "as it was before the clearing" \
  grep -qx '"DALRestrictedModesBCD1"=hex:10,24,07,68,00,32,00,85' <<<"$saved"
values=$(e2e_driver_values)
for list in "${lists[@]}"; do
  e2e_check "$list is cleared: binary, 0 bytes" test "$(stored "$list")" = "3:"
done
e2e_check "the native-modes rule is 0" \
  test "$(stored DALRULE_ADDNATIVEMODESTOMODETABLE)" = "4:00000000"
e2e_check "the version is stored" test "$(version)" = "0.98 beta"
e2e_check "and the first run is not marked as under way any more" \
  test -z "$(e2e_reg "$settings" FirstRunPending)"
cp "$e2e_install/firstrun.dat" "$e2e_work/firstrun.dat" || true

# The next start: nothing to do. The check comes right after the start's own backup.
touch "$e2e_work/second-start"
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
backup_taken() { test "$e2e_install/backup.dat" -nt "$e2e_work/second-start"; }
for _ in {1..50}; do backup_taken && break; sleep 0.2; done
e2e_check "the next start asks nothing" no_first_run_question
e2e_check "and goes on with its main window" seen 2000
e2e_check "firstrun.dat keeps the driver key as it was before the first run" \
  cmp -s "$e2e_install/firstrun.dat" "$e2e_work/firstrun.dat"
e2e_check "and the driver's values stay cleared" test "$(e2e_driver_values)" = "$values"
e2e_driver close "$title" >/dev/null || true
e2e_check "the program ends with its window" e2e_wait_exit "$e2e_program" 15
e2e_finish
