#!/usr/bin/env bash
# The check after a restart, the whole loop: an ordinary start takes backup.dat, the user applies
# a rate at 1024x768 and declines the restart; Windows restarts (with the rig's simulated driver)
# and starts "Cadenzo.exe /CHECK" by itself. The check window stays on top and counts down.
#   A: OK stops it; nothing changes afterwards.
#   B: nobody answers: the display goes down to the lowest rate the driver accepts and a second
#      count starts; OK stops that one.
#   C: a monitor that cannot show the new rate: OK asks first; the restart is put off, Cadenzo
#      started again and OK pressed once more; after the restart the screen is dark and nobody
#      answers at all: lastknowngood.dat, the settings from before the first OK, is imported, and
#      a minute later the program asks Windows to restart (under Wine that ends the check run),
#      after which it shows again, in the mode Windows had stored before the change.
#   D: the power goes off during the count-down: at the next start the check finds its earlier
#      start unanswered and undoes the change at once; switched off again during the minute
#      before its restart, the machine comes up with the settings from before the change, and the
#      next ordinary start says that the change was undone.
# Each part's history.log (started anew with the part) tells its check's end, after the change.
# Each part starts on a freshly started rig: the driver profile as shipped and every X mode.
# shellcheck disable=SC2119 # e2e_launch without arguments: an ordinary start
source "$(dirname "$0")/lib.sh"
title="Cadenzo 0.98 beta"
check="Cadenzo - Checking Video Modes..."
check_entry="Cadenzo - test resolution"  # the RunOnce value that starts the check
minimal_text='Minimal refresh rate selected. If you can read this message, click "OK".'

# The rig started afresh; Cadenzo ran on it before (e2e_start), so no first run interferes.
fresh_machine() {
  e2e_stop
  e2e_start
}

restricted() { e2e_reg "$CADENZO_DRIVER_KEY" DALRestrictedModesBCD; }

# An ordinary start applies $1 Hz at 1024x768 through the window and declines the restart;
# then Windows restarts. $applied: the driver's list as the apply left it.
apply_and_restart() {
  local rate=$1
  e2e_launch
  e2e_driver wait "$title" 30000 >/dev/null || true
  e2e_driver set-text "$title" 3 "$rate" >/dev/null || true
  e2e_driver_bg click "$title" OK
  # Above the control panel's maximum (75 Hz in the demo profile) a warning comes first.
  if ((rate > 75)); then e2e_driver answer Warning ok 30000 >/dev/null || true; fi
  e2e_driver answer "Restart needed" no 30000 >/dev/null || true
  e2e_join
  e2e_wait_exit "$e2e_program" 20 || true
  applied=$(restricted || true)
  "$e2e_rig" restart >"$e2e_work/restart.log" 2>&1 || cat "$e2e_work/restart.log"
  # shellcheck disable=SC1091
  source "$CADENZO_RIG_DIR/rig.env"
}

seen() { e2e_driver wait "$1" "${2:-0}" >/dev/null; }
hidden() { ! seen "$1" 500; }
topmost() { e2e_driver frame "$check" | grep -qx $'topmost\t1'; }
label() { e2e_driver controls "$check" | awk -F'\t' -v n="$1" '$1 == "Static" && ++i == n { print $2 }'; }
first_count() {
  label 2 | sed -n 's/^Minimal refresh rate will be automatically selected in \([0-9]*\) seconds$/\1/p'
}
counting() { test -n "$(first_count)"; }
second_phase() { test "$(label 1)" = "$minimal_text"; }
kept_minimal() { mode_is 1024x768_70 && hidden "$check"; }

# The display's current mode as X names it (1024x768_85).
mode() { xrandr --display "$DISPLAY" 2>/dev/null | awk '$2 ~ /\*/ { print $1; exit }'; }
mode_is() { test "$(mode)" = "$1"; }
offered() { xrandr --display "$DISPLAY" 2>/dev/null | grep -oE "$1_[0-9]+" | sort -u | tr '\n' ' '; }

# Windows started the check run, not this script: it is found by its command line in this
# rig's prefix. A process that ended but was not reaped (state Z) counts as gone.
check_run() { e2e_run_of 'Cadenzo\.exe /CHECK'; }
running() { e2e_running "$1"; }
ended() { ! running "$1"; }
# The driver key holds every value, type and bytes, that file $1 (e2e_driver_values) lists.
holds() {
  e2e_driver_values >"$e2e_work/now.txt"
  test -z "$(comm -23 <(sort "$1") <(sort "$e2e_work/now.txt"))"
}
holds_backup() { holds "$e2e_work/before-d.txt"; }

# Runs a command every 0.2 s until it succeeds, for at most $1 seconds. By the clock, not by a
# count of tries: a look through the driver at a window that is not there takes it 10 s.
within() {
  local until_ms=$(($(now_ms) + $1 * 1000))
  shift
  until "$@"; do
    (($(now_ms) < until_ms)) || return 1
    sleep 0.2
  done
}
now_ms() { local t=${EPOCHREALTIME/./}; echo $((t / 1000)); }
between() { (($1 >= $2 && $1 <= $3)); }

# Ends a check run that was stopped: its main window is closed, which restores nothing.
end_check_run() {
  e2e_driver close "$title" >/dev/null || true
  within 15 ended "$1" || true
}

# E2E_PARTS: the parts to run, all by default (the 32-bit build runs D alone).
parts=${E2E_PARTS:-ABCD}
run_once='SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce'
disarmed() { test -z "$(e2e_reg "$run_once" "$check_entry")"; }
time_a=- time_b=- time_c=- time_d=-

# The events history.log holds after the change and its armed check, without their times.
after_change() { e2e_history_events | tail -n +3; }
history_is() { test "$(after_change)" = "$1"; }

# --- A: OK stops the check --------------------------------------------------------------------
if [[ $parts == *A* ]]; then
part_start=$(now_ms)
fresh_machine
apply_and_restart 85
e2e_check "Windows ran the armed check: the check window opened" seen "$check" 30000
# The first tick comes a second after the window opened; read until it has come.
count1="" count2=""
shown() { count1=$(first_count || true) && test -n "$count1"; }
# The next tick, however late a loaded machine lets it come.
went_down() { count2=$(first_count || true) && test "${count2:-99}" -lt "${count1:-0}"; }
within 5 shown || true
within 10 went_down || true
run=$(check_run || true)
e2e_check "the main window opened too" seen "$title" 5000
e2e_check "the check window stays on top" topmost
e2e_check "the first tick shows 14 seconds" test "$count1" = 14
e2e_check "the count goes down ($count1, then $count2)" test "${count2:-99}" -lt "${count1:-0}"
e2e_driver click "$check" OK >/dev/null || true
e2e_check "OK hides the check window" hidden "$check"
# Past the end of the count. 1024x768 offers only 85, so a switch would not show in xrandr, but
# Wine empties the driver key at every mode change and an import would bring back the
# list: the applied list still there shows that neither happened. That nothing happens can only
# be seen once the time is over: the hidden window's count cannot be read.
sleep 16
e2e_check "after OK the display keeps 1024x768 at 85" mode_is 1024x768_85
e2e_check "and the driver key keeps the applied list: no mode change, nothing imported" \
  test "$(restricted)" = "$applied"
e2e_check "and the program goes on with its main window" seen "$title" 2000
e2e_check "while the check window stays hidden" hidden "$check"
e2e_check "history.log tells the confirmation" history_is "Check confirmed: the new rates"
end_check_run "$run"
time_a=$((($(now_ms) - part_start) / 1000))
fi

# --- B: the first count runs out, OK stops the second ----------------------------------------
if [[ $parts == *B* ]]; then
# The person had 85 stored in Windows' display settings. The apply of 70 Hz refuses only 60, so
# Windows comes up in the stored 85 with 70 and 75 offered too: the check has to come down to 70,
# not to 60. (Stored before the restart: a mode another program sets while the check runs is
# not seen by it under Wine, which keeps each process's idea of the mode in force.)
part_start=$(now_ms)
fresh_machine
wine "$CADENZO_RIG_BIN/displayinfo.exe" set 1024 768 85 store </dev/null >/dev/null 2>&1 || true
apply_and_restart 70
seen "$check" 30000 || true
opened=$(now_ms)
run=$(check_run || true)
e2e_check "after the restart 1024x768 runs in the stored 85 and offers 70, 75 and 85" \
  test "$(mode) / $(offered 1024x768)" = "1024x768_85 / 1024x768_70 1024x768_75 1024x768_85 "
e2e_check "the display runs at 85 while the first count runs" within 5 mode_is 1024x768_85
within 30 second_phase || true
switched=$(now_ms)
e2e_check "nobody answers: the second phase starts when the first count runs out" \
  between $((switched - opened)) 12000 30000
e2e_check "the display went down to 70, the lowest rate the driver accepts from 60 up" \
  mode_is 1024x768_70
e2e_check "the second count is shown" \
  grep -qE '^Settings will be automatically restored from backup in (1[0-5]|[0-9]) seconds$' \
  <<<"$(label 2)"
e2e_driver click "$check" OK >/dev/null || true
e2e_check "OK hides the check window" hidden "$check"
e2e_check "and the display keeps 70" mode_is 1024x768_70
sleep 16
e2e_check "past the end of the second count the program still answers: no fall-back" \
  seen "$title" 2000
e2e_check "the display still runs at 70 and the check window stays hidden" kept_minimal
e2e_check "history.log tells the fall-back and the confirmation of the lowest rate" history_is \
  $'Fall-back to the lowest rate: 1024x768 at 70 Hz\nCheck confirmed: the lowest rate'
end_check_run "$run"
time_b=$((($(now_ms) - part_start) / 1000))
fi

# --- C: nobody answers at all, on a dark screen ------------------------------------------------
# The monitor is a real 15-inch CRT whose line rate stops at 61 kHz (its EDID where Windows keeps
# it); 1024x768 at 85 Hz needs 68.7 kHz. OK asks first: No writes nothing, Yes writes. After the
# restart the rig's monitor is dark: nobody sees the check window, and nobody clicks.
if [[ $parts == *C* ]]; then
part_start=$(now_ms)
export CADENZO_RIG_MONITOR
CADENZO_RIG_MONITOR="$(cd "$(dirname "$0")/../data/edid/monitors" && pwd)/Samsung_SAM12B6_BEF7C2F6CAF3"
fresh_machine
e2e_driver_values >"$e2e_work/before-c.txt"
before=$(restricted || true)  # what the ordinary start saves in backup.dat
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_driver set-text "$title" 3 85 >/dev/null || true
e2e_driver_bg click "$title" OK
asked=$(e2e_driver answer "Monitor limits" no 30000 || true)
e2e_join
e2e_check "OK asks first, naming the CRT and the line rate 85 Hz needs against its 61 kHz" \
  grep -qF 'S/M 550v' <<<"$asked"
e2e_check "as a line of its own" grep -qE '1024x768, 85 Hz: 68\.[0-9] kHz > 61 kHz' <<<"$asked"
e2e_check "No takes no backup" test ! -e "$e2e_install/lastknowngood.dat"
e2e_driver_values >"$e2e_work/after-no.txt"
e2e_check "and writes nothing" cmp -s "$e2e_work/before-c.txt" "$e2e_work/after-no.txt"
e2e_driver_bg click "$title" OK
e2e_driver wait "Monitor limits" 30000 >/dev/null || true
"$e2e_rig" screenshot "$e2e_work/crt-question.png" >/dev/null 2>&1 || true
e2e_driver answer "Monitor limits" yes 30000 >/dev/null || true
e2e_driver answer Warning ok 30000 >/dev/null || true
e2e_driver answer "Restart needed" no 30000 >/dev/null || true
e2e_join
e2e_wait_exit "$e2e_program" 20 || true
applied=$(restricted || true)
e2e_check "Yes writes: the apply changed the driver's list" test "$applied" != "$before"
cp "$e2e_install/lastknowngood.dat" "$e2e_work/lastknowngood-c.dat"
# "Later", then Cadenzo again before the restart: its start takes backup.dat with the rates not
# yet confirmed, and OK once more adds to the same change.
e2e_launch
# The driver does not refuse yet what its list names: the start offers to restore; no.
e2e_driver answer Error no 30000 >/dev/null || true
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_driver_bg click "$title" OK
e2e_driver answer "Monitor limits" yes 30000 >/dev/null || true
e2e_driver answer "Restart needed" no 30000 >/dev/null || true
e2e_join
e2e_wait_exit "$e2e_program" 20 || true
e2e_check "a second start and OK keep lastknowngood.dat from before the first OK" \
  cmp -s "$e2e_work/lastknowngood-c.dat" "$e2e_install/lastknowngood.dat"
e2e_check "while backup.dat holds the rates not yet confirmed" \
  test "$(e2e_export_text "$e2e_install/backup.dat")" != \
  "$(e2e_export_text "$e2e_work/lastknowngood-c.dat")"
"$e2e_rig" restart >"$e2e_work/restart.log" 2>&1 || cat "$e2e_work/restart.log"
# shellcheck disable=SC1091
source "$CADENZO_RIG_DIR/rig.env"
e2e_check "after the restart at 1024x768 and 85 Hz the screen is dark" \
  grep -qF '1024x768_85 needs 68.7 kHz' "$CADENZO_RIG_DIR/dark"
seen "$check" 30000 || true
within 5 counting || true
"$e2e_rig" screenshot "$e2e_work/check-window-dark.png" >/dev/null 2>&1 || true
e2e_check "Windows ran the armed check: its window is there, unseen" seen "$check"
run=$(check_run || true)
e2e_check "the check run is found" test -n "$run"
e2e_check "nobody answers: the second phase starts" within 30 second_phase
second=$(now_ms)
# The second count ends 15 s later: the display mode is restored and, once the driver key has
# stopped changing, lastknowngood.dat imported. Wine deletes and rebuilds the driver key at a mode
# change; the driver looks at the value every millisecond, so an import that such a rebuild
# undid would still be seen here, and only the value still there at the end shows it held.
seen_back=$(e2e_driver wait-value "$CADENZO_DRIVER_KEY" DALRestrictedModesBCD "$before" 30000 ||
  true)
imported=$(now_ms)
after=$(((imported - second) / 1000))
back_in_time() { [[ $seen_back == value* ]] && between $((imported - second)) 13000 25000; }
e2e_check "when the second count runs out ($after s) lastknowngood.dat is imported: the list is \
back as the first ordinary start found it" back_in_time
e2e_check "while the program still runs" running "$run"
within 100 ended "$run" || true
requested=$((($(now_ms) - imported) / 1000))
restart_in_time() { ended "$run" && between "$requested" 55 75; }
e2e_check "a minute later ($requested s) a restart is requested: Wine ends the check run" \
  restart_in_time
e2e_check "and the driver key holds every value from before the first OK: no rebuild of the \
driver key undid the import" holds "$e2e_work/before-c.txt"
e2e_check "and no check is left armed: the restart does not bring it back" disarmed
e2e_check "history.log tells both falls-back" test "$(e2e_history_events | tail -n 2)" = \
  $'Fall-back to the lowest rate: 1024x768 at 85 Hz\nChange undone: lastknowngood.dat'
e2e_check "each line with the local time and its offset" e2e_history_timed
"$e2e_rig" restart >"$e2e_work/restart.log" 2>&1 || cat "$e2e_work/restart.log"
# shellcheck disable=SC1091
source "$CADENZO_RIG_DIR/rig.env"
came_up="$(mode || true)$(sed 's/^/, dark: /' "$CADENZO_RIG_DIR/dark" 2>/dev/null || true)"
e2e_check "after that restart the screen shows again, at 1024x768 and 60 Hz, the mode stored \
before the change (it came up in \
$came_up)" eval 'test ! -e "$CADENZO_RIG_DIR/dark" && mode_is 1024x768_60'
e2e_check "and no check runs" test -z "$(check_run)"
unset CADENZO_RIG_MONITOR
time_c=$((($(now_ms) - part_start) / 1000))
fi

# --- D: switched off during the count-down, twice ----------------------------------------------
if [[ $parts == *D* ]]; then
part_start=$(now_ms)
fresh_machine
# The driver key's own values as the ordinary start saves them in backup.dat.
e2e_driver_values >"$e2e_work/before-d.txt"
apply_and_restart 85
# A power cut: the check run ends at once, without a word; then Windows starts again.
power_cut() {
  local run
  run=$(check_run || true)
  [ -n "$run" ] && kill -9 "$run"
  within 15 ended "$run" || true
  "$e2e_rig" restart >"$e2e_work/restart.log" 2>&1 || cat "$e2e_work/restart.log"
  # shellcheck disable=SC1091
  source "$CADENZO_RIG_DIR/rig.env"
}
seen "$check" 30000 || true
within 10 counting || true
power_cut
check_started() { check_run >/dev/null; }
e2e_check "after a power cut in the count-down the check starts again" within 30 check_started
e2e_check "and, its earlier start unanswered, undoes the change at once: the driver key holds \
every value from before the change" within 30 holds_backup
e2e_check "without a count-down nobody may see" hidden "$check"
e2e_check "and no check is left armed" disarmed
power_cut  # during the minute before its restart
e2e_check "after the next restart the driver key still holds the values from before" holds_backup
e2e_check "history.log tells the undo without a count-down" history_is \
  $'Check unanswered twice: the change is undone at once\nChange undone: lastknowngood.dat'
e2e_check "and no check runs" test -z "$(check_run)"
e2e_launch
said=$(e2e_driver answer "Settings restored" ok 30000 || true)
e2e_check "the next ordinary start says the change was undone, with its date" \
  grep -qE 'changed on [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2} were not confirmed' <<<"$said"
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_driver click "$title" Cancel >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true
time_d=$((($(now_ms) - part_start) / 1000))
fi

echo "times: A ${time_a} s, B ${time_b} s, C ${time_c} s, D ${time_d} s"
e2e_finish
