#!/usr/bin/env bash
# Cadenzo as a Windows user gets it: the release's installer, silent, into
# "C:\Program Files\Cadenzo" (a folder with a blank); Cadenzo started as its Start-menu
# shortcut starts it, its first run, the typical change with the restart and the check; then
# the silent uninstall, which has Cadenzo put the driver's settings back as they were before
# its first run and leaves no file, folder, setting, shortcut, Add/Remove, App Paths or Event
# Log source entry behind.
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
settings='SOFTWARE\Korvex\Cadenzo'
uninstall_key='SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Cadenzo'
app_paths_key='SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\cadenzo.exe'
event_source_key='SYSTEM\CurrentControlSet\Services\EventLog\Application\Cadenzo'

# The installer as the release makes it from the builds as they are.
CADENZO_RELEASE_NO_BUILD=1 CADENZO_DIST="$e2e_work/dist" "$root/scripts/release.sh" \
  >"$e2e_work/release.log" 2>&1 || {
  cat "$e2e_work/release.log" >&2
  exit 1
}
setup=$(echo "$e2e_work"/dist/*-setup.exe)

e2e_start_rig
wine reg delete "HKLM\\$settings" /v Version /f >/dev/null 2>&1 || true  # a first run is due
first=$(e2e_driver_values)
programs="$WINEPREFIX/drive_c/Program Files/Cadenzo"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Cadenzo.lnk"
installed() { (cd "$programs" && ls | LC_ALL=C sort | tr '\n' ' '); }
help=$(for file in "$e2e_build"/*.chm; do [ ! -e "$file" ] || echo "${file##*/}"; done)

wine "$setup" /S </dev/null >"$e2e_work/setup.log" 2>&1 || true
e2e_check "the installer puts the program and its files into C:\\Program Files\\Cadenzo" \
  test "$(installed)" = "$(printf '%s\n' Cadenzo.exe English.lng LICENSE.txt README.txt \
    Russian.lng ati.pci uninstall.exe $help | LC_ALL=C sort | tr '\n' ' ')"
e2e_check "on 64-bit Windows the 64-bit program" \
  grep -q 'file format pei-x86-64' <(x86_64-w64-mingw32-objdump -f "$programs/Cadenzo.exe")
e2e_check "Add/Remove Programs lists Cadenzo 0.98 beta of Korvex" \
  test "$(e2e_reg "$uninstall_key" DisplayName)|$(e2e_reg "$uninstall_key" DisplayVersion)|$(e2e_reg "$uninstall_key" Publisher)" = \
  "Cadenzo|0.98 beta|Korvex"
e2e_check "with its quiet uninstall command" \
  test "$(e2e_reg "$uninstall_key" QuietUninstallString)" = '"C:\Program Files\Cadenzo\uninstall.exe" /S'
e2e_check "and its size" test "$(($(e2e_reg "$uninstall_key" EstimatedSize)))" -gt 100
app_path=$(wine reg query "HKLM\\$app_paths_key" /ve 2>/dev/null | tr -d '\r' |
  sed -n 's/^ *(Default) *REG_SZ *//p')
e2e_check "the Run box knows \"cadenzo\": App Paths names the program and its folder" \
  test "$app_path|$(e2e_reg "$app_paths_key" Path)" = \
  'C:\Program Files\Cadenzo\Cadenzo.exe|C:\Program Files\Cadenzo'
event_source=$(wine reg query "HKLM\\$event_source_key" 2>/dev/null | tr -d '\r' |
  awk '$2 ~ /^REG_/ { print $1, $2 }' | sort | tr '\n' '|')
e2e_check "the Event Log source \"Cadenzo\" takes its texts from the program's message table" \
  test "$event_source|$(e2e_reg "$event_source_key" EventMessageFile)" = \
  'EventMessageFile REG_EXPAND_SZ|TypesSupported REG_DWORD||C:\Program Files\Cadenzo\Cadenzo.exe'
e2e_check "for information, warnings and errors" \
  test "$(e2e_reg "$event_source_key" TypesSupported)" = 0x7
# What Event Viewer shows: the entry's one string, whole, through the message of its event ID in
# the file the source names, one message for each level.
entry='Restore failed: firstrun.dat, "C:\x" 100%'
event_text() {
  e2e_driver event-text "$(e2e_reg "$event_source_key" EventMessageFile)" "$1" "$entry"
}
e2e_check "Event Viewer shows each level's entries as written, nothing added" \
  test "$(event_text 1)|$(event_text 2)|$(event_text 3)" = "$entry|$entry|$entry"
e2e_check "and the exe has no message beyond them" \
  test "$(event_text 4)" = 'no message 4 in C:\Program Files\Cadenzo\Cadenzo.exe'
link=$(e2e_shortcut "$shortcut" 2>/dev/null || true)
e2e_check "the Start-menu shortcut starts Cadenzo.exe in its folder" test "$link" = \
  "$(printf '%s\t%s' 'C:\Program Files\Cadenzo\Cadenzo.exe' 'C:\Program Files\Cadenzo')"

# Started as the shortcut starts it: its target, in its working directory.
e2e_install="$WINEPREFIX/drive_c/$(cut -f2 <<<"$link" | cut -c4- | tr '\\' /)"
e2e_launch
e2e_driver answer "First Run" no 30000 >/dev/null || true
e2e_check "the first run ends after its question" e2e_wait_exit "$e2e_program" 20
e2e_check "and left firstrun.dat in the program's folder" test -s "$programs/firstrun.dat"
e2e_typical_change "$(cut -f1 <<<"$link")"
e2e_restart_into_check

# The uninstaller runs on from a copy of itself: wait until $1, the last thing it removes,
# is gone.
uninstall() {
  wine "$programs/uninstall.exe" /S </dev/null >>"$e2e_work/uninstall.log" 2>&1 || true
  for _ in {1..600}; do
    [ -e "$1" ] || break
    sleep 0.1
  done
}
uninstall "$programs"
e2e_check "the uninstaller removes the folder with every file and backup" test ! -e "$programs"
e2e_check "the driver's values are as they were before the first run" \
  test "$(e2e_driver_values)" = "$first"
e2e_check "Cadenzo's settings are gone" \
  bash -c "! wine reg query 'HKLM\\$settings' >/dev/null 2>&1"
e2e_check "the Add/Remove entry is gone" \
  bash -c "! wine reg query 'HKLM\\$uninstall_key' >/dev/null 2>&1"
e2e_check "the shortcut is gone" test ! -e "$shortcut"
e2e_check "the App Paths entry is gone" \
  bash -c "! wine reg query 'HKLM\\$app_paths_key' >/dev/null 2>&1"
e2e_check "the Event Log source is gone" \
  bash -c "! wine reg query 'HKLM\\$event_source_key' >/dev/null 2>&1"

# Installed again, with a backup but without firstrun.dat: nothing can be restored, so the
# backup, the only record left, stays, and so does its folder, with the history that says so.
wine "$setup" /S </dev/null >>"$e2e_work/setup.log" 2>&1 || true
echo "the driver's settings of an earlier start" >"$programs/backup.dat"
cp "$programs/backup.dat" "$e2e_work/backup.dat"
# The watch at logon turned on: the uninstaller removes it whether or not the restore worked.
wine reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Run' /v "Cadenzo watch" /t REG_SZ \
  /d "\"C:\\Program Files\\Cadenzo\\Cadenzo.exe\" /WATCH" /f >/dev/null 2>&1
uninstall "$programs/uninstall.exe"  # the files go first, the folder stays
e2e_check "without firstrun.dat the uninstaller keeps the backups and removes the rest" \
  test "$(installed)" = "backup.dat history.log "
e2e_check "byte for byte" cmp -s "$programs/backup.dat" "$e2e_work/backup.dat"
e2e_check "and the watch's logon entry is gone" bash -c \
  "! wine reg query 'HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run' /v 'Cadenzo watch' >/dev/null 2>&1"
e2e_install=$programs
e2e_check "history.log tells why" test "$(e2e_history_events)" = \
  "Restore failed: Uninstall (/UNINSTALL /S): firstrun.dat is not there"
e2e_finish
