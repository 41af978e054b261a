#!/usr/bin/env bash
# The driver's non-standard resolutions through the real windows: the four values seeded with
# a repeat across two of them and a trailing part of an entry, listed once each; an entry
# added through the add window's fields, one edited by a double click, one removed; OK writes
# exactly the entries' BCD bytes into the first value and empties the other three; the main
# window's OK then asks for the restart although nothing else changed.
source "$(dirname "$0")/lib.sh"
title="Cadenzo 0.98 beta"
dialog="Non-Standart Resolutions Mangement"
e2e_start
key="HKLM\\$CADENZO_DRIVER_KEY"
seed() { wine reg add "$key" /v "$1" /t REG_BINARY /d "$2" /f >/dev/null 2>&1; }
# 800x600 any/any, 1280x1024 at 32 bits and 85 Hz, then half an entry.
seed DALNonStandardModesBCD 0800060000000000128010240032008506400480
# 1024x768 at 16 bits, and 1280x1024 again.
seed DALNonStandardModesBCD1 10240768001600001280102400320085
# An entry starting with 0xFF ends the list.
seed DALNonStandardModesBCD3 FF000600000000000640048000000070

e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_open_dialog "$title" "Configure|Resolutions..." "$dialog"
e2e_check "the list window: 311 x 296, fixed, minimise box, centred, on top" \
  test "$(e2e_field client) $(e2e_field sizeable) $(e2e_field minimize-box) $(e2e_field centred) $(e2e_field topmost)" = \
  "311 296 0 1 1 1"
lines() { e2e_driver controls "$dialog" | awk -F'\t' '$1 == "ListBox" { print $10 }'; }
controls=$(e2e_driver controls "$dialog" || true)
printf '%s\n' "$controls" >"$e2e_work/list-controls.txt"
e2e_check "it lists each seeded mode once, and no made-up one" test "$(lines)" = \
  "  800 x   600 x Any BPP x Any Refresh|1280 x 1024 x 32 x 85|1024 x   768 x 16 x Any Refresh"
e2e_check "the buttons stand at the right, 57 x 25" grep -qP '^Button\tEdit\t248\t104\t57\t25\t' \
  <<<"$controls"
"$e2e_rig" screenshot "$e2e_work/list.png" >/dev/null 2>&1 || true

# Add: the newest window of that title is the add window, on top of the list.
e2e_driver click "$dialog" Add >/dev/null || true
e2e_frame=$(e2e_driver frame "$dialog" || true)
e2e_check "Add opens the add window: 336 x 70, on top" \
  test "$(e2e_field client) $(e2e_field topmost)" = "336 70 1"
edits() { e2e_driver controls "$dialog" | awk -F'\t' '$1 == "Edit" { printf "%s|", $2 }'; }
e2e_check "its fields start empty, empty, Any, Any" test "$(edits)" = "||Any|Any|"
"$e2e_rig" screenshot "$e2e_work/add.png" >/dev/null 2>&1 || true
e2e_driver set-edit "$dialog" 1 '$500' >/dev/null || true
e2e_driver set-edit "$dialog" 2 720 >/dev/null || true
e2e_driver set-edit "$dialog" 3 300 >/dev/null || true
e2e_driver set-edit "$dialog" 4 "85 Hz" >/dev/null || true
e2e_driver click "$dialog" OK >/dev/null || true
e2e_check "its OK adds \$500 x 720, depth 300 as 44, \"85 Hz\" as 85" test "$(lines)" = \
  "  800 x   600 x Any BPP x Any Refresh|1280 x 1024 x 32 x 85|1024 x   768 x 16 x Any Refresh|1280 x   720 x 44 x 85"

# Edit by a double click on a line.
e2e_driver double-click-line "$dialog" 1 1 >/dev/null || true
e2e_check "a double click opens the entry for editing" test "$(edits)" = "1280|1024|32|85|"
e2e_driver set-edit "$dialog" 1 1152 >/dev/null || true
e2e_driver set-edit "$dialog" 2 864 >/dev/null || true
e2e_driver set-edit "$dialog" 3 any >/dev/null || true
e2e_driver set-edit "$dialog" 4 75 >/dev/null || true
e2e_driver click "$dialog" OK >/dev/null || true
e2e_driver click-line "$dialog" 1 0 >/dev/null || true
e2e_driver click "$dialog" Remove >/dev/null || true
e2e_check "the edited line replaces its entry, Remove takes the selected one" test "$(lines)" = \
  "1152 x   864 x Any BPP x 75|1024 x   768 x 16 x Any Refresh|1280 x   720 x 44 x 85"

e2e_driver click "$dialog" OK >/dev/null || true
e2e_check "OK closes the list window" \
  bash -c "! wine '$e2e_build/cadenzo_e2e_driver.exe' wait '$dialog' 300 >/dev/null 2>&1"
e2e_check "DALNonStandardModesBCD holds exactly the three entries, depth before rate" \
  test "$(e2e_reg "$CADENZO_DRIVER_KEY" DALNonStandardModesBCD)" = \
  "115208640000007510240768001600001280072000440085"
empty_binary() {
  wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | grep -qP "^\s+\Q$1\E\s+REG_BINARY\s*$"
}
for n in 1 2 3; do
  e2e_check "DALNonStandardModesBCD$n is an empty binary value" empty_binary "DALNonStandardModesBCD$n"
done

e2e_driver_bg menu-click "$title" "Program|Save and Exit"
question=$(e2e_driver answer "Restart needed" no 30000 || true)
e2e_join
e2e_check "the main window's Save and Exit (its OK) then asks for the restart" \
  test "$question" = "All changes do not take effect until next boot. Restart?"
e2e_check "and arms the check" test -n "$(e2e_reg 'SOFTWARE\Microsoft\Windows\CurrentVersion\RunOnce' 'Cadenzo - test resolution')"
e2e_check "the program ends" e2e_wait_exit "$e2e_program" 20
e2e_finish
