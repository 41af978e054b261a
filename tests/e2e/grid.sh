#!/usr/bin/env bash
# The refresh-rate grid against the rig's real modes: a restriction the display still offers
# raises the restore question (answered No, then Yes); a real monitor's EDID where Windows keeps
# it makes OK beyond its limits ask first (No writes nothing); and with sixteen resolutions the
# real arrow buttons page through them.
source "$(dirname "$0")/lib.sh"
title="Cadenzo 0.98 beta"

# --- The restore question, on the rig's own four resolutions.
e2e_start
# 800x600 at 56 Hz is refused, but the display still offers it: the list is not in force.
wine reg add "HKLM\\$CADENZO_DRIVER_KEY" /v DALRestrictedModesBCD /t REG_BINARY \
  /d 0800060000000056 /f >/dev/null 2>&1
e2e_launch
asked=$(e2e_driver answer Error no 30000 || true)
e2e_check "a refused rate the display offers raises the restore question" test "$asked" = \
  "Undisabled refresh rate detected. Strongly recommendated to restore previsious registry data. Restore now?"
e2e_driver wait "$title" 20000 >/dev/null || true
controls=$(e2e_driver controls "$title" || true)
e2e_check "answered No, the window opens with 60 in force at 800x600" \
  grep -qP '^ComboBox\t60\t76\t52\t.*\t56\|60\|72\|75\|85$' <<<"$controls"
e2e_driver close "$title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true

# The last apply's backup, as an OK would have left it.
cp "$e2e_install/backup.dat" "$e2e_install/lastknowngood.dat"
e2e_launch
e2e_driver answer Error yes 30000 >/dev/null || true
restored=$(e2e_driver answer "Restart Needed" no 30000 || true)
e2e_check "answered Yes, the first paint restores the last backup and asks to restart" \
  test "$restored" = "Registry restored from backup. Restart now?"
e2e_check "then the program ends" e2e_wait_exit "$e2e_program" 20

# --- The monitor's limits: a real monitor's EDID (50-76 Hz) where Windows keeps it; OK with
# 1024x768 at 85 Hz asks first, and No writes nothing.
edid_file="$(cd "$(dirname "$0")/../data/edid/monitors" && pwd)/AOC_AOC2267_0915248673A3"
edid=$(sed -n '3,10p' "$edid_file" | tr -d ' \n')
wine reg add 'HKLM\SYSTEM\CurrentControlSet\Enum\DISPLAY\Default_Monitor\0000&0000\Device Parameters' \
  /v EDID /t REG_BINARY /d "$edid" /f >/dev/null 2>&1 || true
wine reg delete "HKLM\\$CADENZO_DRIVER_KEY" /v DALRestrictedModesBCD /f >/dev/null 2>&1 || true
rm -f "$e2e_install/lastknowngood.dat"
e2e_driver_values >"$e2e_work/before-monitor.txt"
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_driver set-text "$title" 3 85 >/dev/null || true
e2e_driver_bg click "$title" OK
e2e_driver wait "Monitor limits" 30000 >/dev/null || true
"$e2e_rig" screenshot "$e2e_work/monitor-question.png" >/dev/null 2>&1 || true
asked=$(e2e_driver answer "Monitor limits" no 30000 || true)
e2e_join
printf '%s\n' "$asked" >"$e2e_work/monitor-question.txt"
e2e_check "OK beyond the monitor's limits asks first, naming the monitor and the rate's need" \
  grep -qF '2267W' <<<"$asked"
e2e_check "with 1024x768 at 85 Hz against its 76 Hz" grep -qF '1024x768, 85 Hz: 85 Hz > 76 Hz' <<<"$asked"
e2e_check "No takes no backup" test ! -e "$e2e_install/lastknowngood.dat"
e2e_driver_values >"$e2e_work/after-monitor.txt"
e2e_check "and writes nothing" cmp -s "$e2e_work/before-monitor.txt" "$e2e_work/after-monitor.txt"
e2e_check "the window stays" e2e_driver wait "$title" 2000
e2e_driver close "$title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true
e2e_stop

# --- Paging, on a display with sixteen resolutions.
export CADENZO_RIG_XORG_CONF
CADENZO_RIG_XORG_CONF="$(cd "$(dirname "$0")" && pwd)/xorg-many-modes.conf"
export CADENZO_WINEPREFIX="$CADENZO_RIG_DIR/prefix"  # the same Windows, another display
export CADENZO_RIG_DIR="$e2e_work/rig-many"
e2e_start
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
first_row() {
  e2e_driver controls "$title" | awk -F'\t' '$1 == "Static" && $4 == 31 { print $2; exit }'
}
arrows() {
  e2e_driver controls "$title" | awk -F'\t' '$1 == "Button" && ($2 == "5" || $2 == "6") { printf "%s%s ", $2, $8 }'
}
e2e_check "sixteen resolutions: row 1 shows the smallest, only the down arrow works" \
  test "$(first_row) $(arrows)" = "640x400 50 61 "
e2e_driver set-text "$title" 1 "100" >/dev/null || true
e2e_driver click "$title" 6 >/dev/null || true
e2e_check "down: row 1 shows the second resolution, the up arrow works, the down one no more" \
  test "$(first_row) $(arrows)" = "640x480 51 60 "
e2e_driver click "$title" 5 >/dev/null || true
rows=$(e2e_driver controls "$title")
e2e_check "up again: back at the top, the edit travelled with its entry" \
  grep -qP '^ComboBox\t100\t76\t28\t' <<<"$rows"
e2e_check "and the arrows are as at the start" test "$(arrows)" = "50 61 "
"$e2e_rig" screenshot "$e2e_work/grid-paging.png" >/dev/null 2>&1 || true
e2e_driver close "$title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true
e2e_finish
