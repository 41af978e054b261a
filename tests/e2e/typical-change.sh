#!/usr/bin/env bash
# The road of a typical change, through the real window and the rig's simulated driver:
# 1024x768 offers 60, 70, 75 and 85 with 60 in force; the user picks 85 and presses OK; the
# backup is written by the registry editor, the driver's list refuses exactly 60, 70 and 75,
# the check is armed for the next start, the restart question is answered; after the restart
# the display no longer offers the refused rates, and the next start shows 85 in force
# without any question. Installed under "C:\Program Files", a directory with a blank.
source "$(dirname "$0")/lib.sh"
title="Cadenzo 0.98 beta"
export E2E_INSTALL="Program Files/Cadenzo"
e2e_start
wine reg delete "HKLM\\$CADENZO_DRIVER_KEY" /v DALRestrictedModesBCD /f >/dev/null 2>&1 || true
# A program planted where an unquoted "C:\Program Files\..." command would find it first.
cp "$e2e_build/EmptyWindow.exe" "$WINEPREFIX/drive_c/Program.exe"

e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
row() { e2e_driver controls "$title" | awk -F'\t' -v top="$1" '$1 == "ComboBox" && $4 == top'; }
e2e_check "1024x768 shows 60, 70, 75, 85 with 60 in force" \
  grep -qP '^ComboBox\t60\t.*\t60\|70\|75\|85$' <<<"$(row 76)"
e2e_driver set-text "$title" 3 85 >/dev/null || true
# The demo driver's control panel allows at most 75 Hz: raised to 85, with a warning first.
# Its answerer waits from before the click, so that the time from OK to the restart question
# (printed: the registry editor's export of lastknowngood.dat is most of it) counts no start of
# a driver after the click but the click's own.
e2e_driver answer Warning ok 30000 >"$e2e_work/warning.txt" &
warner=$!
clicked=$(date +%s%N)
e2e_driver_bg click "$title" OK
question=$(e2e_driver answer "Restart needed" no 30000 || true)
asked=$(date +%s%N)
echo "OK to the restart question: $(((asked - clicked) / 1000000)) ms"
wait "$warner" || true
warning=$(cat "$e2e_work/warning.txt")
e2e_join
e2e_check "the control panel's maximum is corrected with a warning" test "$warning" = \
  "Selected Refresh Rate larger than maximum refresh rate setted up in Control Panel. Control Panel settings will be corrected."
e2e_check "the restart question is asked" \
  test "$question" = "All changes do not take effect until next boot. Restart?"
e2e_check "the program ends after the question" e2e_wait_exit "$e2e_program" 20
e2e_check "lastknowngood.dat was written by the registry editor" \
  grep -qF "$CADENZO_DRIVER_KEY" <(iconv -f UTF-16LE -t UTF-8 "$e2e_install/lastknowngood.dat" 2>/dev/null ||
    cat "$e2e_install/lastknowngood.dat")
e2e_check "DALRestrictedModesBCD refuses exactly 60, 70 and 75 at 1024x768" \
  test "$(e2e_reg "$CADENZO_DRIVER_KEY" DALRestrictedModesBCD)" = \
  "102407680000006010240768000000701024076800000075"
e2e_check "the check is armed with the quoted program path" \
  test "$(e2e_reg 'SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce' 'Cadenzo - test resolution')" = \
  '"C:\Program Files\Cadenzo\Cadenzo.exe" /CHECK'
e2e_check "the maximum rate is now 85 (byte 8 of the Info value, byte 16 of MaxModeInfo)" \
  test "$(e2e_reg "$CADENZO_DRIVER_KEY" "DALR6 CRT_Info" | cut -c17-18)$(e2e_reg "$CADENZO_DRIVER_KEY" "DALR6 CRT_MaxModeInfo" | cut -c33-34)" = 5555

"$e2e_rig" restart >"$e2e_work/restart.log" 2>&1 || cat "$e2e_work/restart.log"
# shellcheck disable=SC1091
source "$CADENZO_RIG_DIR/rig.env"
modes=$(xrandr --display "$DISPLAY" 2>/dev/null | grep -oE '1024x768_[0-9]+' | sort -u | tr '\n' ' ')
e2e_check "after the restart the display offers 1024x768 at 85 only" test "$modes" = "1024x768_85 "
checked=$(e2e_driver wait "$title" 30000 || true)
e2e_check "Windows ran the armed check: Cadenzo started by itself" \
  test "$checked" = "window \"$title\""
e2e_check "the planted C:\\Program.exe did not run" \
  bash -c "! wine '$e2e_build/cadenzo_e2e_driver.exe' wait 'Empty Window' 500 >/dev/null 2>&1"
e2e_driver close "$title" >/dev/null || true
sleep 1

e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_check "the next start shows 85 in force without a question" \
  grep -qP '^ComboBox\t85\t.*\t60\|70\|75\|85$' <<<"$(row 76)"
"$e2e_rig" screenshot "$e2e_work/after-restart.png" >/dev/null 2>&1 || true
e2e_driver close "$title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true
e2e_finish
