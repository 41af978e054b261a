#!/usr/bin/env bash
# The first start of this version: a settings key without "Version" and a driver whose
# further lists hold data. The start writes "firstrun.dat" with the registry editor, clears
# the driver's lists and rule, stores the version and asks to restart; No ends the program
# with the values cleared. The next start finds nothing to do.
source "$(dirname "$0")/lib.sh"
title="Cadenzo 0.98 beta"
e2e_start
touch "$e2e_install/ati.pci"
key=$CADENZO_DRIVER_KEY
wine reg delete 'HKLM\SOFTWARE\Korvex\Cadenzo' /v Version /f >/dev/null 2>&1
wine reg add "HKLM\\$key" /v DALRestrictedModesBCD1 /t REG_BINARY /d 0640048000000060 /f \
  >/dev/null 2>&1
wine reg add "HKLM\\$key" /v DALRULE_ADDNATIVEMODESTOMODETABLE /t REG_DWORD /d 1 /f \
  >/dev/null 2>&1

e2e_launch
asked=$(e2e_driver answer "First Run" no 30000 || true)
e2e_check "the first start asks to restart" test "$asked" = \
  "This is first run of Cadenzo 0.98 beta . Program was disabled all restrictions of drivers, but freqences will be correctly detected only after restart. Restart now?"
e2e_check "answered No, the program ends" e2e_wait_exit "$e2e_program" 20
e2e_check "firstrun.dat holds the driver key as it was" \
  grep -qF "$key" <(iconv -f UTF-16LE -t UTF-8 "$e2e_install/firstrun.dat" 2>/dev/null)
for list in DALRestrictedModesBCD DALRestrictedModesBCD1 DALRestrictedModesBCD2 \
  DALRestrictedModesBCD3 DALOPTION_MinResBCD; do
  e2e_check "$list is empty" test -z "$(e2e_reg "$key" "$list")"
  e2e_check "$list still exists" bash -c "wine reg query 'HKLM\\$key' /v $list >/dev/null 2>&1"
done
e2e_check "the native-modes rule is 0" test "$(e2e_reg "$key" DALRULE_ADDNATIVEMODESTOMODETABLE)" = 0x0
e2e_check "the version is stored" test "$(e2e_reg 'SOFTWARE\Korvex\Cadenzo' Version)" = "0.98 beta"

e2e_launch
seen=$(e2e_driver wait "$title" 30000 || true)
e2e_check "the next start just opens the window" test "$seen" = "window \"$title\""
e2e_check "and asks nothing" bash -c "! wine '$e2e_build/cadenzo_e2e_driver.exe' answer 'First Run' no 2000 >/dev/null 2>&1"
e2e_driver close "$title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true
e2e_finish
