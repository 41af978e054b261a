#!/usr/bin/env bash
# The main window's commands through its real menu, on one rig start.
# Create Report: with the current directory elsewhere than the install directory, the report
# text and Wine's registry exports are joined by cpall.bat under Wine's cmd into one
# Cadenzo.rpt there; no working file is left; a second run replaces the first one's report,
# and leftovers of a run cut short do not get into it; it holds the last 50 lines of the
# history in the install directory. Prints the report's size and the time from the click to
# the finished report.
# /RESTORE, started elsewhere than the install directory as the Run box starts it: without a
# backup it ends with 2 and changes nothing; with lastknowngood.dat it puts the driver key back,
# drops the pending check and asks Windows to restart (Wine's session end runs wineboot), ending
# with 0. Each tells the Event Log; the first finds no history.log it can write, which the
# settings note, and the second's history line says so.
source "$(dirname "$0")/lib.sh"
e2e_start
title="Cadenzo 0.98 beta"
settings='HKLM\SOFTWARE\Korvex\Cadenzo'

# The process stands in a writable directory of its own: everything goes there.
here="$WINEPREFIX/drive_c/Reports"
mkdir -p "$here"
report="$here/Cadenzo.rpt"
e2e_launch_from "$here"
e2e_driver wait "$title" 30000 >/dev/null || true

# What the finished report holds, from its bytes. The exports are Wine's regedit's, UTF-16LE.
report_facts() {
  python3 - "$report" <<'EOF'
import re, sys
data = open(sys.argv[1], "rb").read()
lower = data.lower()
def export_of(key):
    return ("[hkey_local_machine\\" + key + "]").lower().encode("utf-16-le") in lower
print("first", data.split(b"\r\n", 1)[0].decode("latin-1"))
print("reports", data.count(b"report file [Lang:"))
print("separators", len(re.findall(rb"(?<!-)-{12} ?\r\n", data)))
print("ctrl-z", int(b"\x1a" in data))
print("stale", int(b"STALE" in data))
for key in ["SYSTEM\\CurrentControlSet\\Services\\ati2mtag", "SYSTEM\\CurrentControlSet\\Control\\Class",
            "SYSTEM\\CurrentControlSet\\Control\\Video", "Software\\ATI Technologies",
            "SYSTEM\\CurrentControlSet\\Services\\ati2mtaa"]:
    print("export", key, int(export_of(key)))
EOF
}
fact() { awk -v k="$1" '$1 == k { $1 = ""; sub(/^ /, ""); print }' <<<"$facts"; }
# Nothing but the report is left in the directory.
only_the_report() { test "$(ls -A "$here")" = Cadenzo.rpt; }

# Chooses Create Report, answers its message, waits for the script to be gone; $said is the
# message, $took the seconds from the click until the report was finished.
create_report() {
  local start
  start=$(e2e_now)
  e2e_driver_bg menu-click "$title" "Program|Create Report"
  said=$(e2e_driver answer "Report Creation OK" ok 60000 || true)
  e2e_join
  e2e_wait_for 30 only_the_report || true
  # The script's last join wrote the report's bytes; the rename after it keeps their time.
  took=$(awk -v end="$(stat -c %.3Y "$report" 2>/dev/null || echo 0)" -v start="$start" \
    'BEGIN { printf "%.2f", end - start }')
  facts=$(report_facts 2>/dev/null || true)
  printf '%s\n' "$facts" >>"$e2e_work/report-facts.txt"
}

# A history of 60 events in the install directory.
for n in $(seq 1 60); do printf '2026-12-08T10:%02d:00+01:00 event %d\r\n' "$n" "$n"; done \
  >"$e2e_install/history.log"
create_report
e2e_check "Create Report says \"Report saved in Cadenzo.rpt\"" \
  test "$said" = "Report saved in Cadenzo.rpt"
e2e_check "only Cadenzo.rpt is left: no cpall.bat, 0.tmp, 1.tmp or .reg file" only_the_report
e2e_check "nothing is written into the install directory" \
  test ! -e "$e2e_install/Cadenzo.rpt" -a ! -e "$e2e_install/cpall.bat"
e2e_check "the report starts with its text" \
  test "$(fact first)" = "Cadenzo Version 0.98 beta report file [Lang:0()]"
e2e_check "it holds the export of the ati2mtag service" \
  test "$(fact export | grep -c 'Services\\ati2mtag 1')" = 1
e2e_check "and of the display class and video keys and ATI's key" \
  test "$(fact export | awk '$NF == 1' | wc -l)" = 4
e2e_check "each export (a missing service key's as nothing) followed by its separator" \
  test "$(fact separators)" = 8
e2e_check "joined byte for byte, no end-of-file character" test "$(fact ctrl-z)" = 0
report_history() {
  tr -d '\r' <"$report" | sed -n '/^History: /,/^-\{80\}$/p'
}
e2e_check "it holds the history's last 50 lines, oldest first" test "$(report_history)" = \
  "$(echo 'History: the last 50 lines of history.log'
  tr -d '\r' <"$e2e_install/history.log" | tail -50
  printf -- '-%.0s' {1..80})"
echo "figure: report $(stat -c %s "$report" 2>/dev/null || echo 0) bytes, from the click to" \
  "the finished report ${took} s"
cp "$report" "$e2e_work/first.rpt" 2>/dev/null || true
"$e2e_rig" screenshot "$e2e_work/after-report.png" >/dev/null 2>&1 || true

# Again, with a setting changed and the leftovers of a run cut short lying there.
e2e_check "a setting is changed for the second report" \
  wine reg add "$settings" /v IgnoreMonitorCAPS /t REG_DWORD /d 1 /f >>"$e2e_work/reg.log" 2>&1
for leftover in ati2mtaa.reg 0.tmp 1.tmp; do echo STALE >"$here/$leftover"; done
create_report
e2e_check "a second report says so too" test "$said" = "Report saved in Cadenzo.rpt"
e2e_check "and leaves only Cadenzo.rpt" only_the_report
e2e_check "which is the second run's alone" \
  bash -c "test \"\$1\" = 1 && grep -aq 'IgnoreMonitorCaps : Yes' \"\$2\"" - "$(fact reports)" \
  "$report"
e2e_check "without the leftovers" test "$(fact stale)" = 0
echo "figure: second report $(stat -c %s "$report" 2>/dev/null || echo 0) bytes, ${took} s"

e2e_driver close "$title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true

# /RESTORE. Its exit code is the process's; wine passes it on.
run_once='SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce'
check_entry='Cadenzo - test resolution'
key=$CADENZO_DRIVER_KEY
pending() { e2e_reg "$run_once" "$check_entry"; }
# Wine asks for a restart by starting its wineboot with --end-session in this prefix.
session_ended() {
  local pid
  for pid in $(pgrep -f 'wineboot.exe --end-session'); do
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}
no_restart() { ! session_ended; }
# A directory where history.log would be: no history can be written there.
rm -f "$e2e_install/history.log"
mkdir "$e2e_install/history.log"
WINEDEBUG=$e2e_eventlog e2e_launch_from "$here" /RESTORE
code=0
wait "$e2e_program" || code=$?
e2e_check "/RESTORE without lastknowngood.dat or firstrun.dat ends with 2" test "$code" = 2
e2e_check "and asks for no restart" no_restart
e2e_check "the Event Log has the failed restore as an error" test "$(e2e_event_log)" = \
  "err Restore failed: /RESTORE: neither lastknowngood.dat nor firstrun.dat is there"
missed=$(e2e_reg 'SOFTWARE\Korvex\Cadenzo' HistoryUnwritten)
e2e_check "the settings note the event history.log could not take ($missed)" \
  grep -qP '^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d Restore failed$' <<<"$missed"
rmdir "$e2e_install/history.log"
before=$(e2e_driver_values)
wine regedit /e 'C:\Cadenzo\lastknowngood.dat' "HKEY_LOCAL_MACHINE\\$key" >/dev/null 2>&1
wine reg add "HKLM\\$key" /v DisableTiling /t REG_DWORD /d 5 /f >/dev/null 2>&1
wine reg add "HKLM\\$run_once" /v "$check_entry" /d '"C:\Cadenzo\Cadenzo.exe" /CHECK' /f \
  >/dev/null 2>&1
wine reg add "$settings" /v CheckStarts /t REG_DWORD /d 1 /f >/dev/null 2>&1
e2e_check "a changed driver key and a pending check to restore from" \
  test "$(e2e_driver_values)" != "$before" -a -n "$(pending)"
started=$(e2e_now)
WINEDEBUG=$e2e_eventlog e2e_launch_from "$here" /RESTORE
restoring=$e2e_program
e2e_check "/RESTORE asks Windows to restart" e2e_wait_for 60 session_ended
asked=$(e2e_now)
code=0
wait "$restoring" || code=$?
took=$(awk -v a="$asked" -v s="$started" 'BEGIN { printf "%.2f", a - s }')
e2e_check "and ends with 0" test "$code" = 0
e2e_check "the restart request came after the 5 seconds of its sound ($took s)" \
  awk -v t="$took" 'BEGIN { exit !(t >= 5) }'
e2e_check "the driver key is back as lastknowngood.dat holds it" \
  test "$(e2e_driver_values)" = "$before"
e2e_check "the pending check is gone" test -z "$(pending)"
e2e_check "and so is its count" test -z "$(e2e_reg 'SOFTWARE\Korvex\Cadenzo' CheckStarts)"
e2e_check "the Event Log has the restore" \
  test "$(e2e_event_log)" = "trace /RESTORE: lastknowngood.dat"
e2e_check "history.log, writable again, tells first what it missed, then the restore" \
  test "$(e2e_history_events)" = "History: this log could not be written for a while (the \
Windows Event Log has every event); the latest event it missed: $missed"$'\n/RESTORE: lastknowngood.dat'
e2e_check "and the note is gone" test -z "$(e2e_reg 'SOFTWARE\Korvex\Cadenzo' HistoryUnwritten)"
e2e_finish
