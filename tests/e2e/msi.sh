#!/usr/bin/env bash
# Cadenzo as an administrator deploys it: the release's MSI package of the build's architecture,
# installed with "msiexec /i ... /qn" into Program Files (the 32-bit one into "Program Files
# (x86)"); a first start, the typical change with the restart and the check; a newer version
# installed over it, which replaces it and leaves the driver's settings and the backups; then
# "msiexec /x ... /qn", whose custom action has Cadenzo put the driver's settings back as they
# were before its first run, and which leaves no file, folder, setting, Run or App Paths entry,
# shortcut, Add/Remove entry or Event Log source behind. Removed again with only a backup and no
# firstrun.dat, the package keeps the backup and its folder, says so in its log, and still
# removes itself.
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)

# The package as the release makes it from the builds as they are.
CADENZO_RELEASE_NO_BUILD=1 CADENZO_DIST="$e2e_work/dist" "$root/scripts/release.sh" \
  >"$e2e_work/release.log" 2>&1 || {
  cat "$e2e_work/release.log" >&2
  exit 1
}
if grep -q 'file format pei-x86-64' <(x86_64-w64-mingw32-objdump -f "$e2e_build/Cadenzo.exe"); then
  arch=x64 folder='Program Files' software=SOFTWARE format=pei-x86-64
else
  # A 32-bit package on 64-bit Windows: its keys under SOFTWARE lie in the 32-bit view.
  arch=x86 folder='Program Files (x86)' software='SOFTWARE\Wow6432Node' format=pei-i386
fi
package=$(echo "$e2e_work"/dist/*-"$arch".msi)
product=$(msiinfo export "$package" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
# Cadenzo itself, 32-bit or 64-bit, works on the 64-bit registry.
settings='SOFTWARE\Korvex\Cadenzo'
run_key='SOFTWARE\Microsoft\Windows\CurrentVersion\Run'
run_key_32='SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\Run'
uninstall_key="$software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product"
app_paths_key="$software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\cadenzo.exe"
event_source='SYSTEM\CurrentControlSet\Services\EventLog\Application\Cadenzo'
windows_dir="C:\\$folder\\Cadenzo"

e2e_start_rig
wine reg delete "HKLM\\$settings" /v Version /f >/dev/null 2>&1 || true  # a first run is due
first=$(e2e_driver_values)
programs="$WINEPREFIX/drive_c/$folder/Cadenzo"
installed() { (cd "$programs" && ls | LC_ALL=C sort | tr '\n' ' '); }
absent() { ! wine reg query "HKLM\\$1" >/dev/null 2>&1; }
help=$(for file in "$e2e_build"/*.chm; do [ ! -e "$file" ] || echo "${file##*/}"; done)
# A per-machine package's shortcut is in the Start menu of all users; Wine puts it into the
# installing user's.
shortcuts() {
  local link
  for link in "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Cadenzo.lnk" \
    "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Cadenzo.lnk; do
    [ ! -e "$link" ] || echo "$link"
  done
}
# Windows' name of file $1: Wine's drive Z: is the Linux root.
windows_path() { echo "Z:${1//\//\\}"; }
# msiexec $1 (/i or /x) of package $3 (the release's by default), silent, logging everything
# into $2; its exit code.
run_msiexec() {
  wine msiexec "$1" "$(windows_path "${3:-$package}")" /qn /l*v "$(windows_path "$2")" \
    </dev/null >>"$e2e_work/msiexec.log" 2>&1
}

e2e_check "msiexec /i /qn installs the package" run_msiexec /i "$e2e_work/install.log"
e2e_check "the program and its files are in C:\\$folder\\Cadenzo" \
  test "$(installed)" = "$(printf '%s\n' Cadenzo.exe English.lng LICENSE.txt README.txt \
    Russian.lng ati.pci $help | LC_ALL=C sort | tr '\n' ' ')"
e2e_check "the $arch program" grep -q "file format $format" \
  <(x86_64-w64-mingw32-objdump -f "$programs/Cadenzo.exe")
e2e_check "Add/Remove Programs lists Cadenzo of Korvex in its folder" \
  test "$(e2e_reg "$uninstall_key" DisplayName)|$(e2e_reg "$uninstall_key" Publisher)|$(e2e_reg "$uninstall_key" InstallLocation)" = \
  "Cadenzo|Korvex|$windows_dir\\"
app_path=$(wine reg query "HKLM\\$app_paths_key" /ve 2>/dev/null | tr -d '\r' |
  sed -n 's/^ *(Default) *REG_SZ *//p')
e2e_check "the Run box knows \"cadenzo\": App Paths names the program and its folder" \
  test "$app_path|$(e2e_reg "$app_paths_key" Path)" = "$windows_dir\\Cadenzo.exe|$windows_dir\\"
e2e_check "the Event Log source names the program as its message file, expanded" \
  grep -qF "EventMessageFile    REG_EXPAND_SZ    $windows_dir\\Cadenzo.exe" \
  <(wine reg query "HKLM\\$event_source" 2>/dev/null | tr -d '\r')
e2e_check "for errors, warnings and information" \
  test "$(e2e_reg "$event_source" TypesSupported)" = 0x7
shortcut=$(shortcuts | head -n1)
link=$(e2e_shortcut "$shortcut" 2>/dev/null || true)
e2e_check "the Start-menu shortcut starts Cadenzo.exe in its folder" test "$link" = \
  "$(printf '%s\t%s' "$windows_dir\\Cadenzo.exe" "$windows_dir\\")"

# Started as the shortcut starts it: its target, in its working directory.
e2e_install=$programs
e2e_launch
e2e_driver answer "First Run" no 30000 >/dev/null || true
e2e_check "the first run ends after its question" e2e_wait_exit "$e2e_program" 20
e2e_check "and left firstrun.dat in the program's folder" test -s "$programs/firstrun.dat"
e2e_typical_change "$windows_dir\\Cadenzo.exe"
e2e_restart_into_check
# A newer version of the same files replaces this one, even with the same version number
# ("0.98" after "0.98 beta"); the removal of the older one that it makes leaves the driver's
# settings, the backups and Cadenzo's own settings as they are.
python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
  "${package%.msi}.zip" "$e2e_work/newer"
sed 's/^!define VERSION_TEXT .*/!define VERSION_TEXT "0.98"/' "$e2e_build/Version.nsh" \
  >"$e2e_work/newer/Version.nsh"
python3 "$root/tools/make-msi.py" "$arch" "$e2e_work/newer/Cadenzo" "$e2e_build/CadenzoSetup.dll" \
  "$e2e_work/newer/Version.nsh" "$root/app/res/Cadenzo.ico" "$e2e_work/newer.msi"
newer=$(msiinfo export "$e2e_work/newer.msi" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p')
changed=$(e2e_driver_values)
e2e_check "msiexec /i /qn of a newer version installs it" \
  run_msiexec /i "$e2e_work/upgrade.log" "$e2e_work/newer.msi"
e2e_check "in place of the older one in Add/Remove Programs" test \
  "$newer|$(e2e_reg "${uninstall_key%\\*}\\$newer" DisplayName)|$(absent "$uninstall_key" && echo gone)" = \
  "$newer|Cadenzo|gone"
e2e_check "the driver's values stay as changed" test "$(e2e_driver_values)" = "$changed"
e2e_check "and the backups, the settings and the program stay" test \
  "$(installed | grep -o 'Cadenzo.exe\|firstrun.dat\|lastknowngood.dat' | tr '\n' ' ')|$(e2e_reg "$settings" Version)" = \
  "Cadenzo.exe firstrun.dat lastknowngood.dat |0.98 beta"
package=$e2e_work/newer.msi

# The watch's entry, as the program writes it when the watch is on, and one in the 32-bit view.
for key in "$run_key" "$run_key_32"; do
  wine reg add "HKLM\\$key" /v "Cadenzo watch" /d "\"$windows_dir\\Cadenzo.exe\" /WATCH" /f \
    >/dev/null 2>&1
done

e2e_check "msiexec /x /qn removes it" run_msiexec /x "$e2e_work/uninstall.log"
e2e_check "its custom action ran Cadenzo.exe /UNINSTALL /S, which put the settings back" \
  grep -qF "Cadenzo: \"$windows_dir\\Cadenzo.exe\" /UNINSTALL /S ended with 0:" "$e2e_work/uninstall.log"
e2e_check "the driver's values are as they were before the first run" \
  test "$(e2e_driver_values)" = "$first"
e2e_check "the folder is gone with every file and backup" test ! -e "$programs"
e2e_check "Cadenzo's settings are gone" absent "$settings"
e2e_check "the watch's Run entries are gone" \
  test -z "$(e2e_reg "$run_key" "Cadenzo watch")$(e2e_reg "$run_key_32" "Cadenzo watch")"
e2e_check "the App Paths entry is gone" absent "$app_paths_key"
e2e_check "the shortcut is gone" test -z "$(shortcuts)"
e2e_check "the Add/Remove entry is gone" absent "$uninstall_key"
e2e_check "the Event Log source is gone" absent "$event_source"

# Installed again, with a backup but without firstrun.dat: nothing can be restored, so the
# backup, the only record left, stays, and so does its folder; the removal goes on.
run_msiexec /i "$e2e_work/install-again.log" || true
echo "the driver's settings of an earlier start" >"$programs/backup.dat"
cp "$programs/backup.dat" "$e2e_work/backup.dat"
e2e_check "without firstrun.dat msiexec /x still removes the package" \
  run_msiexec /x "$e2e_work/uninstall-kept.log"
e2e_check "and keeps the backup in its folder, with the history that tells why" \
  test "$(installed)" = "backup.dat history.log "
e2e_check "byte for byte" cmp -s "$programs/backup.dat" "$e2e_work/backup.dat"
e2e_check "its log says the settings were not put back and where the backups are" \
  grep -qF "Cadenzo's registry backups stay in $windows_dir." "$e2e_work/uninstall-kept.log"
e2e_check "and the Add/Remove entry is gone" absent "$uninstall_key"
e2e_finish
