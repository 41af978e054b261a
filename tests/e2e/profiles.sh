#!/usr/bin/env bash
# Settings profiles through the real menus and Wine's own Open and Save dialogs: Export writes
# what the window shows into a file whose name the code page cannot hold; Import fills the grid
# and switches from it and leaves the driver key alone until OK; a profile with a resolution the
# rig lacks and a rate it does not offer says so, one message each; a file that is no profile
# is refused.
source "$(dirname "$0")/lib.sh"
title=$e2e_title
e2e_start
# A real monitor's EDID where Windows keeps it: the profile names the monitor.
edid_file="$(cd "$(dirname "$0")/../data/edid/monitors" && pwd)/AOC_AOC2267_0915248673A3"
wine reg add 'HKLM\SYSTEM\CurrentControlSet\Enum\DISPLAY\Default_Monitor\0000&0000\Device Parameters' \
  /v EDID /t REG_BINARY /d "$(sed -n '3,10p' "$edid_file" | tr -d ' \n')" /f >/dev/null 2>&1 || true
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_check "the start wrote backup.dat" e2e_wait_for 30 test -s "$e2e_install/backup.dat"

# The grid's combo boxes, top to bottom: text, then the rates.
grid() {
  e2e_driver controls "$title" | awk -F'\t' '$1 == "ComboBox" && $3 == 76 && $7 == 1 { print $2 }' |
    tr '\n' ' '
}
# A check box's state (0, 1, 2 for grayed) by its caption.
box() {
  e2e_driver controls "$title" | awk -F'\t' -v c="$1" '$1 == "Button" && $2 == c { print $9 }'
}
# Chooses a profile entry of the Program menu and the file $2 in its dialog, titled as the entry
# without its dots; the dialog's listing of file types goes to $e2e_work/types-$1.txt.
profile_dialog() {
  local entry=$1 file=$2 shot=${3:-}
  e2e_driver_bg menu-click "$title" "Program|$entry Settings..."
  e2e_driver wait-dialog "$entry Settings" 20000 >/dev/null || true
  if [ -n "$shot" ]; then "$e2e_rig" screenshot "$e2e_work/$shot" >/dev/null 2>&1 || true; fi
  e2e_driver choose-file "$entry Settings" "$file" 20000 >"$e2e_work/types-$entry.txt" || true
  e2e_join
}
# Waits for the message captioned $1, takes its screenshot $2 and presses OK; prints its text.
message() {
  e2e_driver wait-dialog "$1" 20000 >/dev/null || true
  "$e2e_rig" screenshot "$e2e_work/$2" >/dev/null 2>&1 || true
  e2e_driver answer "$1" ok 20000 || true
}

# --- Export, into a file named in Cyrillic.
e2e_driver set-text "$title" 3 85 >/dev/null || true  # shown, not yet applied: exported too
profile_dialog Export 'C:\Cadenzo\Профиль.cadenzo' export-dialog.png
e2e_check "the Save dialog lists Cadenzo profiles" \
  grep -qxF 'types: Cadenzo profiles (*.cadenzo)' "$e2e_work/types-Export.txt"
exported="$e2e_install/Профиль.cadenzo"
e2e_check "Export wrote the file under its Cyrillic name" test -s "$exported"
cp "$exported" "$e2e_work/exported.cadenzo" 2>/dev/null || true
e2e_check "in lines ended by CR LF, all of them" \
  test "$(grep -c $'\r$' "$exported")" = "$(wc -l <"$exported")"
profile_text=$(tr -d '\r' <"$exported" 2>/dev/null || true)
e2e_check "with the version, each resolution as shown, and the switches that have a value" \
  e2e_has_lines "$profile_text" '[Cadenzo]' 'Version=1' '640x480=default' '800x600=default' \
  '1024x768=85' 'BlockWrite=off' 'Tiling=on' 'DDC2=on' 'AnisotropicFiltering=on' 'AnisoDegree=16'
e2e_check "a grayed switch left out" test -z "$(grep -E '^(LCD|DMACopy)=' <<<"$profile_text")"
e2e_check "the card's PCI ids and the monitor's name for information" \
  e2e_has_lines "$profile_text" '[Adapter]' 'VendorID=1002' 'DeviceID=4E44' 'SubsystemID=0002' \
  'SubsystemVendorID=1002' 'Revision=00' 'Monitor=2267W'
e2e_check "the Save dialog left no file of its own behind" \
  test "$(ls "$e2e_install" | grep -c cadenzo)" = 1

# --- Change the grid and a switch, then import the profile again: the window shows the file,
# and the driver key stays as it was.
e2e_driver set-text "$title" 1 75 >/dev/null || true
e2e_driver set-text "$title" 3 70 >/dev/null || true
e2e_driver click "$title" "Primary Tiling" >/dev/null || true
e2e_check "edited: 75 at 640x480, 70 at 1024x768, Primary Tiling off" \
  test "$(grid)/$(box 'Primary Tiling')" = "75 56 70 60 /0"
e2e_driver_values >"$e2e_work/before-import.txt"
profile_dialog Import 'C:\Cadenzo\Профиль.cadenzo' import-dialog.png
e2e_check "the Open dialog lists Cadenzo profiles" \
  grep -qxF 'types: Cadenzo profiles (*.cadenzo)' "$e2e_work/types-Import.txt"
e2e_check "Import shows the profile's rates: 60 (its default) at 640x480, 85 at 1024x768" \
  e2e_wait_for 10 test "$(grid)" = "60 56 85 60 "
e2e_check "and its switches: Primary Tiling on again" test "$(box 'Primary Tiling')" = 1
# A message would show before the window answers again: its handler fills the grid and shows
# the messages in one go.
e2e_check "without a message" test -z "$(e2e_driver wait-dialog "Import Settings" 0 | grep -v '^no ')"
e2e_driver_values >"$e2e_work/after-import.txt"
e2e_check "the driver key is as before the import" \
  cmp -s "$e2e_work/before-import.txt" "$e2e_work/after-import.txt"
e2e_check "and no backup of an apply was taken" test ! -e "$e2e_install/lastknowngood.dat"
"$e2e_rig" screenshot "$e2e_work/imported.png" >/dev/null 2>&1 || true

# --- A profile from another machine: a resolution the rig lacks and a rate it does not offer,
# with LF lines; one message each, and what fits is taken.
mkdir -p "$WINEPREFIX/drive_c/Profiles"
printf '[Cadenzo]\nVersion=1\n[Resolutions]\n800x600=75\n1024x768=100\n1600x1200=85\n[Switches]\nBlockWrite=on\n' \
  >"$WINEPREFIX/drive_c/Profiles/other.cadenzo"
profile_dialog Import 'C:\Profiles\other.cadenzo'
skipped=$(message "Import Settings" skipped-message.png)
e2e_check "one message lists the resolution the adapter lacks" test "$skipped" = \
  "This adapter does not have these resolutions of the profile; they were skipped:
1600x1200"
unoffered=$(message "Import Settings" unoffered-message.png)
e2e_check "one message lists the rate it does not offer" test "$unoffered" = \
  "These rates of the profile are not offered at their resolution, which keeps the rate in force:
1024x768: 100 Hz"
e2e_check "800x600 now at 75, 1024x768 back at its rate in force, BlockWrite checked" \
  test "$(grid)/$(box 'BlockWrite (For cards with SGRAM/DDR SGRAM only)')" = "60 75 60 60 /1"

# The dialog went to another folder; the program's current folder, where it writes its report,
# stays its own.
e2e_driver_bg menu-click "$title" "Program|Create Report"
e2e_driver answer "Report Creation OK" ok 60000 >/dev/null || true
e2e_join
e2e_check "after a file of another folder, the report still goes to Cadenzo's folder" \
  test -s "$e2e_install/Cadenzo.rpt" -a ! -e "$WINEPREFIX/drive_c/Profiles/Cadenzo.rpt"

# --- A file that is no profile: refused, nothing changes.
printf 'Version=1\r\n1024x768=85\r\n' >"$e2e_install/notes.txt"
profile_dialog Import 'C:\Cadenzo\notes.txt'
refused=$(message "Import Settings" refused-message.png)
e2e_check "a file that is no profile is refused" test "$refused" = \
  'C:\Cadenzo\notes.txt is not a Cadenzo settings profile. Nothing was changed.'
e2e_check "and the grid stays" test "$(grid)" = "60 75 60 60 "
e2e_driver_values >"$e2e_work/after-refused.txt"
e2e_check "the driver key is still as before any import" \
  cmp -s "$e2e_work/before-import.txt" "$e2e_work/after-refused.txt"

# --- OK writes what was imported: at 800x600 the driver refuses 56, 60 and 72.
e2e_driver_bg click "$title" OK
question=$(e2e_driver answer "Restart needed" no 30000 || true)
e2e_join
e2e_check "OK applies the import and asks to restart" \
  test "$question" = "All changes do not take effect until next boot. Restart?"
e2e_check "the program ends" e2e_wait_exit "$e2e_program" 20
e2e_check "DALRestrictedModesBCD refuses 56, 60 and 72 at 800x600 and 43 as before" \
  test "$(e2e_reg "$CADENZO_DRIVER_KEY" DALRestrictedModesBCD)" = \
  "08000600000000560800060000000060080006000000007210240768000000431280102400000043"
e2e_check "and BlockWrite on (DisableBlockWrite 0)" \
  test "$(e2e_reg "$CADENZO_DRIVER_KEY" DisableBlockWrite)" = 0x0
e2e_finish
