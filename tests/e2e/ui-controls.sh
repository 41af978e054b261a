#!/usr/bin/env bash
# The Win32 backend of the control layer: a demo window with one control of each kind shows
# them in their places, and clicks, keys, typing, the menu, an error in a handler, a timer and
# a first paint that opens a message box behave as the control objects say. Texts show as
# written: built-in ones in UTF-8 and others in the ANSI code page (1252 under the rig's
# locale, see lib.sh); the driver prints them as UTF-8.
source "$(dirname "$0")/lib.sh"
if [ ! -f "$e2e_build/cadenzo_uidemo.exe" ]; then
  echo "missing $e2e_build/cadenzo_uidemo.exe: build the win64 preset first" >&2
  exit 1
fi
e2e_start

title="Cadenzo UI demo"
boxes="UI demo"  # the demo's title, which captions its message boxes
tab=$'\t'

# The line of the control with text $1 as the driver lists it (class, text, left, top, width,
# height, visible, enabled, check, items).
control() {
  e2e_driver controls "$title" | awk -F'\t' -v text="$1" '$2 == text' || true
}
# Whether the control with text $1 is listed exactly as $2 (fields from "left" on).
placed() {
  local line
  line=$(control "$1")
  [ "${line#*"$1"$tab}" = "$2" ]
}
status_is() { [ -n "$(control "$1")" ]; }
ticks() { e2e_driver controls "$title" | awk -F'\t' '$2 ~ /^ticks: / { sub(/ticks: /, "", $2); print $2 }'; }

e2e_launch_built cadenzo_uidemo.exe
seen=$(e2e_driver wait "$title" 30000 || true)
e2e_check "the demo window opens" test "$seen" = "window \"$title\""

frame=$(e2e_driver frame "$title" | tr '\t\n' ' ' || true)
e2e_check "fixed frame, client 420 by 300, centred, on top, minimise box only, one menu line" \
  test "$frame" = "class TDemo client 420 300 centred 1 sizeable 0 system-menu 1 minimize-box 1 maximize-box 0 topmost 1 menu 1 "

# Places are in the form's client area: a group's controls are offset by the group's place.
e2e_check "a label in a group sits at the group's offset" \
  placed "Rate:" "16${tab}66${tab}40${tab}13${tab}1${tab}1${tab}-${tab}-"
long=$(control "Rate in force: 60 Hz" | cut -f 3,5)
e2e_check "a right-aligned label wider than its place keeps its right edge ($long)" \
  test "${long%%$tab*}" -lt 300 -a "$((${long%%$tab*} + ${long##*$tab}))" = 340
e2e_check "a combo box: its text, closed height as placed, its items" \
  placed "60" "60${tab}62${tab}49${tab}21${tab}1${tab}1${tab}-${tab}60|72|75|85|Авто"
e2e_check "a disabled combo box" \
  placed "16" "138${tab}62${tab}49${tab}21${tab}1${tab}0${tab}-${tab}16|128"
e2e_check "a check box that starts grayed" \
  placed "Grayed at start" "16${tab}20${tab}180${tab}17${tab}1${tab}1${tab}2${tab}-"
e2e_check "a box in a hidden group does not show" \
  test -z "$(control "In the hidden group" | awk -F'\t' '$7 == 1')"
e2e_check "a button beyond the right edge is a shown control all the same" \
  placed "Hidden" "500${tab}268${tab}57${tab}25${tab}1${tab}1${tab}-${tab}-"
e2e_check "the flat arrow buttons" \
  placed "5" "16${tab}92${tab}140${tab}10${tab}1${tab}1${tab}-${tab}-"
last=$(e2e_driver controls "$title" | tail -n 1 | cut -f 1,2 | tr '\t\n' ' ' || true)
e2e_check "group boxes lie beneath the controls" test "$last" = "Button Options: "

menu=$(e2e_driver menu "$title" | tr '\n' '/' || true)
e2e_check "the menu tree" \
  test "$menu" = "Program/  Greet/  -/  Press hidden button/  Exit/Help/  About/  Реестр/"

e2e_check "a built-in UTF-8 text is the label's text" status_is "Ключ реестра не найден"
glyphs=$(e2e_driver glyphs "$title" "Ключ реестра не найден" | cut -f 2 || true)
e2e_check "and its font has every letter of it (missing: $glyphs)" test "$glyphs" = 0
e2e_check "an ANSI text shows its byte 0xE9 as é" status_is $'R\xc3\xa9solution'
glyphs=$(e2e_driver glyphs "$title" "Résolution" || true)
e2e_check "in the form's own font, which has é" test "$glyphs" = "MS Sans Serif${tab}0"

"$e2e_rig" screenshot "$e2e_work/ui-controls.png" >/dev/null 2>&1 || true

e2e_driver click "$title" "Grayed at start" >/dev/null || true
e2e_check "a click checks a grayed box and runs its handler" \
  test "$(control "Grayed at start" | cut -f 9)/$(control "check: 1" | cut -f 2)" = "1/check: 1"
e2e_driver click "$title" "Grayed at start" >/dev/null || true
e2e_check "a second click unchecks it" \
  test "$(control "Grayed at start" | cut -f 9)/$(control "check: 0" | cut -f 2)" = "0/check: 0"

e2e_driver set-text "$title" 1 "85" >/dev/null || true
e2e_driver click "$title" "Read" >/dev/null || true
e2e_check "typed text is read back by the program" status_is "read: 85 / typed"
e2e_driver set-text "$title" 1 "Авто" >/dev/null || true
e2e_driver click "$title" "Read" >/dev/null || true
e2e_check "a built-in UTF-8 item in the field reads back as the program's own text" \
  status_is "read: Авто / typed"
e2e_driver set-text "$title" 1 "Résumé" >/dev/null || true
e2e_driver click "$title" "Read" >/dev/null || true
e2e_check "typed accented letters read back and show as typed" \
  status_is "read: Résumé / typed"

e2e_driver set-text "$title" 1 "75" >/dev/null || true
e2e_driver key "$title" enter >/dev/null || true
e2e_check "Enter presses the focused button" e2e_wait_for 5 status_is "read: 75 / typed"
e2e_driver click "$title" "6" >/dev/null || true
focus=$(e2e_driver key "$title" escape || true)
e2e_check "a speed button runs its handler and leaves the focus where it was" \
  test "$(control "page: 1" | cut -f 2)/$focus" = "page: 1/focus${tab}Button${tab}Read"
order=""
for _ in 1 2 3 4 5; do
  order+="$(e2e_driver key "$title" tab | cut -f 3 || true)/"
done
e2e_check "Tab goes round in tab order, past hidden and disabled controls" \
  test "$order" = "Fail/Toggle/Close/Hidden/Grayed at start/"
e2e_driver key "$title" space >/dev/null || true
e2e_check "Space clicks the focused check box" e2e_wait_for 5 status_is "check: 1"

e2e_driver menu-click "$title" "Program|Greet" >/dev/null || true
e2e_check "a menu entry runs its handler" e2e_wait_for 5 status_is "greeted"
e2e_driver menu-click "$title" "Program|Press hidden button" >/dev/null || true
e2e_check "a menu entry presses a button beyond the edge" e2e_wait_for 5 status_is "hidden button pressed"
e2e_driver menu-click "$title" "Help|Реестр" >/dev/null || true
box=$(e2e_driver answer "$boxes" ok 10000 || true)
e2e_check "a message box shows a built-in UTF-8 text as written" \
  test "$box" = "Ключ реестра не найден"

e2e_driver click "$title" "Toggle" >/dev/null || true
e2e_check "showing a group shows its controls, in their places and states" \
  test "$(control "Hidden:" | cut -f 7)" = 1 -a \
  "$(control "In the hidden group" | cut -f 3-)" = "16${tab}162${tab}180${tab}17${tab}1${tab}1${tab}1${tab}-"
last=$(e2e_driver controls "$title" | tail -n 2 | cut -f 1,2 | tr '\t\n' ' ' || true)
e2e_check "the group shown later lies beneath the controls too" \
  test "$last" = "Button Options: Button Hidden: "
order=""
for _ in 1 2 3 4 5 6 7 8; do
  order+="$(e2e_driver key "$title" tab | cut -f 2,3 | tr '\t' ' ' || true)/"
done
e2e_check "and its box takes its turn in tab order as if it had always shown" \
  test "$order" = "Button Close/Button Hidden/Button Grayed at start/Button Plain/ComboBox 75/Button In the hidden group/ListBox /Edit typed/"

e2e_driver click "$title" "Fail" >/dev/null || true
error=$(e2e_driver answer "$boxes" ok 10000 || true)
e2e_check "an error in a handler shows its text in the error box" \
  test "$error" = "Failed to set data for 'Demo'"
e2e_driver click "$title" "Grayed at start" >/dev/null || true
e2e_check "and the program goes on" status_is "check: 0"

first=$(ticks)
ticked() { test "$(ticks)" -gt "${first:-0}" 2>/dev/null; }
e2e_check "the timer ticks (from $first on)" e2e_wait_for 10 ticked

opened=$(e2e_driver open-menu "$title" 2 500 | tr '\n' ' ' || true)
e2e_check "a menu opens and closes again" test "$opened" = "opened menu 2 closed menu 2 "

e2e_driver menu-click "$title" "Program|Exit" >/dev/null || true
e2e_check "closing the main window ends the program" e2e_wait_exit "$e2e_program" 15

# A first paint that opens a message box: the box hides part of the window, and the paint that
# follows while it is open does not run the handler again.
e2e_launch_built cadenzo_uidemo.exe /PAINTBOX
box=$(e2e_driver answer "$boxes" ok 30000 || true)
e2e_check "the first paint shows its box" test "$box" = "First paint"
again=$(e2e_driver answer "$boxes" ok 3000 || true)
e2e_check "only once" test "$again" = "no message box captioned \"$boxes\""
e2e_check "the paint handler went on after the box" \
  test "$(control "Options:" | cut -f 7)" = "1"
e2e_driver close "$title" 10000 >/dev/null || true
e2e_check "the close box ends the program" e2e_wait_exit "$e2e_program" 15
e2e_finish
