#!/usr/bin/env bash
# Bad input in every registry value the program reads, one start of the real program per case
# on one rig: each value in turn with the wrong type, empty, one byte, an odd length, 2049
# bytes or all 0xFF (as fits the value), keys missing, and a driver key the program may not
# write or not open at all. Each start is closed as a user would (Cancel; OK for the values
# only OK reads; the non-standard list for the values only its window reads). No start may
# crash or hang, and the driver key must be as before unless a backup of this start holds it
# as before. Prints the matrix and its totals.
source "$(dirname "$0")/lib.sh"
e2e_start
started=$SECONDS
cases=$e2e_work/cases.txt
hardware='SYSTEM\CurrentControlSet\Enum\PCI\VEN_1002&DEV_4E44&SUBSYS_00021002&REV_00\4&2F1E3D2A&0&0008'
settings='SOFTWARE\Korvex\Cadenzo'
cds='SOFTWARE\ATI Technologies\CDS\0000\0'
desktop='SOFTWARE\ATI Technologies\Desktop'
enum='SYSTEM\CurrentControlSet\Services\ati2mtag\Enum'

# What every case starts from: the demo profile as the rig seeded it.
for root in @ "$settings" 'SOFTWARE\ATI Technologies' 'SYSTEM\CurrentControlSet\Services\ati2mtag' \
  'SYSTEM\CurrentControlSet\Services\atimtaa' "${hardware%\\*}" \
  'SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce'; do
  printf 'root\t%s\n' "$root"
done >"$cases"

# case NAME ACTION CHANGE...; a change is set|KEY|VALUE|TYPE|DATA, del|KEY|VALUE, delkey|KEY or
# deny|KEY|RIGHTS (@ is the driver key; data hex:.., fill:BYTE:COUNT, text:.., or empty).
case_() {
  local IFS=$'\t'
  printf 'case\t%s\n' "$*" >>"$cases"
}
# bad KEY VALUE ACTION PREFIX VARIANT...: one case per variant of one value.
bad() {
  local key=$1 value=$2 action=$3 prefix=$4 variant
  shift 4
  for variant in "$@"; do
    case $variant in
      sz) case_ "$prefix-sz" "$action" "set|$key|$value|sz|text:1024x768" ;;
      dword) case_ "$prefix-dword" "$action" "set|$key|$value|dword|hex:01000000" ;;
      qword) case_ "$prefix-qword" "$action" "set|$key|$value|qword|hex:0100000000000000" ;;
      empty) case_ "$prefix-empty" "$action" "set|$key|$value|binary|" ;;
      empty-sz) case_ "$prefix-empty-sz" "$action" "set|$key|$value|sz|" ;;
      byte) case_ "$prefix-1-byte" "$action" "set|$key|$value|binary|hex:00" ;;
      odd) case_ "$prefix-odd" "$action" "set|$key|$value|binary|hex:102407680000006010" ;;
      long) case_ "$prefix-2049" "$action" "set|$key|$value|binary|fill:00:2049" ;;
      ff) case_ "$prefix-ff" "$action" "set|$key|$value|binary|fill:FF:2048" ;;
      ff-text) case_ "$prefix-ff" "$action" "set|$key|$value|sz|fill:FF:250" ;;
      missing) case_ "$prefix-missing" "$action" "del|$key|$value" ;;
    esac
  done
}

case_ baseline cancel
case_ baseline-ok ok
# The driver key: its mode lists, rules and switches.
bad @ DALRestrictedModesBCD cancel restricted sz dword empty byte odd long ff
bad @ DALRestrictedModesBCD ok restricted-ok sz
case_ restricted-zeros cancel "set|@|DALRestrictedModesBCD|binary|fill:00:2048"
case_ restricted-not-bcd cancel "set|@|DALRestrictedModesBCD|binary|fill:AA:64"
# 256 sizes that no display offers, each its own line of the grid.
sizes=$(for i in $(seq 1 256); do printf '%04d%04d00000060' "$i" "$i"; done)
case_ restricted-256-sizes cancel "set|@|DALRestrictedModesBCD|binary|hex:$sizes"
case_ restricted-unknown-type cancel "set|@|DALRestrictedModesBCD|none|hex:1024076800000060"
bad @ DALRestrictedModesBCD1 cancel restricted1 sz long byte
bad @ DALRestrictedModesBCD3 cancel restricted3 dword
bad @ DALOPTION_MinResBCD cancel minres sz long odd
bad @ DALRULE_ADDNATIVEMODESTOMODETABLE cancel addnative sz long
bad @ PruningMode cancel pruning sz empty byte long
bad @ DisableTiling cancel tiling sz empty byte long
case_ tiling-ff cancel "set|@|DisableTiling|dword|fill:FF:4"
bad @ DisableLCD cancel lcd qword
bad @ DriverVersion cancel driverversion dword long ff-text
# The values only the non-standard list window reads.
bad @ DALNonStandardModesBCD resolutions nonstandard sz long ff
case_ nonstandard-zeros resolutions "set|@|DALNonStandardModesBCD|binary|fill:00:2048"
# And saved again by the list's OK.
bad @ DALNonStandardModesBCD resolutions-ok nonstandard-saved odd
bad @ DALNonStandardModesBCD2 resolutions-ok nonstandard2-saved dword
# The control panel's maximum rates, read only by OK.
bad @ 'DALR6 CRT_Info' ok info sz long byte
case_ info-low-maxmodeinfo-missing ok "set|@|DALR6 CRT_Info|binary|hex:01000000000500043c" \
  "del|@|DALR6 CRT_MaxModeInfo"
bad @ 'DALR6 CRT_MaxModeInfo' ok maxmodeinfo dword
# The ddhal key.
bad '@\ddhal' AnisoDegree cancel aniso dword empty-sz byte long ff-text
case_ ddhal-missing cancel 'delkey|@\ddhal'
# The program's settings.
bad "$settings" Version cancel version dword long ff-text
bad "$settings" LangFileName cancel language dword long ff-text
case_ settings-missing cancel "delkey|$settings"
bad "$settings" InstallDir away installdir dword long empty-sz
case_ installdir-good-away away "set|$settings|InstallDir|sz|text:C:\\Cadenzo"
# The class and video keys and the identification values.
bad "$cds\\Driver" 'Hardware RegKey' cancel hardwarekey dword long ff-text
case_ hardwarekey-blank cancel "set|$cds\\Driver|Hardware RegKey|sz|text: after a blank"
case_ hardwarekey-backslash cancel "set|$cds\\Driver|Hardware RegKey|sz|text:\\"
bad "$hardware" Driver cancel classid dword long
bad "$hardware\\Device Parameters" VideoID cancel videoid long ff-text
case_ hardware-key-missing cancel "delkey|$hardware"
bad "$cds\\ASIC" 'Chip ID' cancel chip dword long
bad "$enum" 0 cancel instance dword long ff-text
case_ instance-cut-short cancel "set|$enum|0|sz|text:PCI\\VEN_1002&DEV_4E" \
  "set|SYSTEM\\CurrentControlSet\\Services\\atimtaa\\Enum|0|sz|text:SUBSYS_"
bad "$desktop\\0000" OpenGL cancel tab sz long
case_ desktop-missing cancel "delkey|$desktop"
case_ cds-missing cancel "delkey|SOFTWARE\\ATI Technologies\\CDS"
# Keys the program may not write, or not open at all.
case_ driverkey-read-only cancel 'deny|@|6'
case_ driverkey-read-only-ok ok 'deny|@|6'
case_ driverkey-closed cancel 'deny|@|3f'
case_ ddhal-closed ok 'deny|@\ddhal|3f'
case_ settings-read-only cancel "deny|$settings|6"

# The driver reads the cases from the install directory, where it also keeps its own files.
install='C:\'${E2E_INSTALL:-Cadenzo}
cp "$cases" "$e2e_install/matrix-cases.txt"
# A program that crashes is ended by Wine's debugger, which writes where to the log, instead of
# waiting behind its dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
wine "$e2e_build/cadenzo_e2e_driver.exe" matrix "$CADENZO_DRIVER_KEY" "$install" \
  "$install\\matrix-cases.txt" </dev/null >"$e2e_work/matrix.log" 2>"$e2e_work/matrix.err" || true
tr -d '\r' <"$e2e_work/matrix.log" | awk -F'\t' '$1 == "case"' | cut -f2- >"$e2e_work/matrix.txt"
seconds=$((SECONDS - started))

# The matrix, then its totals.
awk -F'\t' '{ printf "%-28s crash %-3s  unexpected write %-3s %5ss  %s\n", $1, $3, $4, $5, $2 }' \
  "$e2e_work/matrix.txt"
count=$(grep -c '^case' "$cases")
ran=$(wc -l <"$e2e_work/matrix.txt")
crashes=$(awk -F'\t' '$3 == "yes"' "$e2e_work/matrix.txt" | wc -l)
writes=$(awk -F'\t' '$4 == "yes"' "$e2e_work/matrix.txt" | wc -l)
echo "cases: $ran of $count, crashes: $crashes, unexpected writes: $writes, matrix time: ${seconds}s"
e2e_check "every case ran" test "$ran" = "$count"
e2e_check "every case had its bad input" bash -c "! grep -q 'could not be seeded' '$e2e_work/matrix.txt'"
e2e_check "no case crashed or hung" test "$crashes" = 0
e2e_check "no case wrote the driver key without a backup of it as before" test "$writes" = 0
e2e_finish
