#!/usr/bin/env bash
# The main window under Wine is laid out as the program's layout says: its frame, every
# group and button at its place with its caption and visibility, the grid rows, and the menus.
source "$(dirname "$0")/lib.sh"
e2e_start
e2e_launch
title="Cadenzo 0.98 beta"
e2e_driver wait "$title" 30000 >/dev/null || true

e2e_frame=$(e2e_driver frame "$title" || true)
e2e_check "client area 630 x 434" test "$(e2e_field client)" = "630 434"
e2e_check "centred on the desktop" test "$(e2e_field centred)" = 1
e2e_check "fixed border with system menu and minimise box only" \
  test "$(e2e_field sizeable) $(e2e_field system-menu) $(e2e_field minimize-box) $(e2e_field maximize-box)" = "0 1 1 0"
e2e_check "one menu bar" test "$(e2e_field menu)" = 1

controls=$(e2e_driver controls "$title" || true)
printf '%s\n' "$controls" >"$e2e_work/controls.txt"
# class, caption (empty: not compared), left, top, width, height, visible
expected=(
  $'Button\tRefresh Rates:\t4\t0\t149\t401\t1'
  $'Button\tAdapter Info:\t160\t0\t465\t145\t1'
  $'Button\tAdvanced settings:\t160\t152\t465\t166\t1'
  $'Button\tATI Driver tabs:\t160\t320\t465\t81\t1'
  $'Button\tOK\t436\t404\t57\t25\t1'
  $'Button\tCancel\t500\t404\t57\t25\t1'
  $'Button\tHelp\t564\t404\t57\t25\t1'
  $'Button\tAbout...\t652\t404\t57\t25\t1'
  $'Button\tResolution\t652\t180\t57\t25\t1'
  $'Button\tAdapter...\t644\t212\t57\t25\t1'
  $'Button\tLanguage\t660\t244\t57\t25\t1'
  $'Button\tReport\t652\t276\t57\t25\t1'
  $'Button\tbRestore\t672\t88\t65\t33\t1'
  $'Button\t5\t8\t14\t140\t10\t1'
  $'Button\t6\t8\t388\t140\t10\t1'
  $'Button\tForse Anisotropic Filtering in Direct3D\t168\t168\t260\t17\t1'
  $'Button\tOpenGL\t168\t342\t200\t17\t1'
)
placed() {
  local want=$1
  awk -F'\t' -v w="$want" '
    BEGIN { n = split(w, e, "\t") }
    { if ((e[2] == "" || $2 == e[2]) && $1 == e[1] && $3 == e[3] && $4 == e[4] && $5 == e[5] &&
          $6 == e[6] && $7 == e[7]) found = 1 }
    END { exit !found }' <<<"$controls"
}
for want in "${expected[@]}"; do
  e2e_check "placed: ${want//$'\t'/ }" placed "$want"
done
# The three groups kept hidden (colour, settings, debug) show nowhere.
e2e_check "the hidden groups do not show" test -z "$(awk -F'\t' '$1 == "Button" && $7 == 1 &&
  (($3 == 624 && $4 == 312) || ($3 == 160 && $4 == 320 && $5 == 273) || ($3 == 0 && $4 == 424))' \
  <<<"$controls")"

# The demo card (DEV_4E44, SUBSYS_00021002) is no board of its own in the card database, so
# its maker's record in the chip's block names it.
card=$(sed -n '/^D 4E44 /,/^D /s/^O 1002 \(.*\)\r$/\1/p' "$e2e_build/ati.pci")
# Its value is the label to the right of the caption "Card Type:".
at=$(awk -F'\t' '$1 == "Static" && $2 == "Card Type:" { print $3, $4 }' <<<"$controls")
shown_card=$(awk -F'\t' -v at="$at" 'BEGIN { split(at, a, " ") }
  at != "" && $1 == "Static" && $3 > a[1] && $4 == a[2] { print $2 }' <<<"$controls")
e2e_check "Card Type: $card" test -n "$card" -a "$shown_card" = "$card"

# The grid: the rig's four resolutions, in ascending order, each with its rates; the other
# eleven rows show nowhere.
rows=$(awk -F'\t' '$1 == "ComboBox" && $3 == 76' <<<"$controls")
shown=$(awk -F'\t' '$7 == 1' <<<"$rows" | wc -l)
e2e_check "four grid rows shown, no other" test "$shown/$(wc -l <<<"$rows")" = "4/4"
# The demo driver refuses 43 Hz (interlaced) at 1024x768, so the rate in force is 60.
e2e_check "1024x768 lists 43, 60, 70, 75, 85 with 60 in force" \
  grep -qP '^ComboBox\t60\t76\t76\t.*\t43\|60\|70\|75\|85$' <<<"$controls"
labels=$(awk -F'\t' '$1 == "Static" && $7 == 1 && $2 ~ /^[0-9]+x[0-9]+$/ { print $2 }' <<<"$controls" | tr '\n' ' ')
e2e_check "resolutions in ascending order" test "$labels" = "640x480 800x600 1024x768 1280x1024 "

menu=$(e2e_driver menu "$title" || true)
expected_menu=$'Program\n  Uninstall\n  Restore Registry\n  Create Report\n  Export Settings...\n  Import Settings...\n  Save and Exit\n  Exit\nConfigure\n  Adapter...\n  Language...\n  Resolutions...\n  Keep rates after driver updates\nHelp\n  Contens...\n  About'
e2e_check "menus and their entries" test "$menu" = "$expected_menu"

"$e2e_rig" screenshot "$e2e_work/main-window.png" >/dev/null 2>&1 || true
for n in 1 2 3; do
  (e2e_driver open-menu "$title" "$n" 1500 >/dev/null || true) &
  opener=$!
  sleep 0.8
  "$e2e_rig" screenshot "$e2e_work/menu-$n.png" >/dev/null 2>&1 || true
  wait "$opener"
done

# About: a box of its own each time, on top, with the version; Ok hides it.
about="About Cadenzo"
e2e_open_dialog "$title" "Help|About" "$about"
e2e_check "About opens its box, 204 x 101, on top and centred" \
  test "$(e2e_field client) $(e2e_field topmost) $(e2e_field centred)" = "204 101 1 1"
about_controls=$(e2e_driver controls "$about" || true)
printf '%s\n' "$about_controls" >"$e2e_work/about-controls.txt"
e2e_check "with the version" grep -qP '^Static\tVer 0\.98 beta\t' <<<"$about_controls"
e2e_check "and the author" grep -qP '^Static\tQuillon\t144\t24\t' <<<"$about_controls"
"$e2e_rig" screenshot "$e2e_work/about.png" >/dev/null 2>&1 || true
e2e_driver menu-click "$title" "Help|About" >/dev/null || true
e2e_check "a second About opens a second box" e2e_wait_for 10 \
  test "$(e2e_driver count "$about")" = 2
e2e_driver click "$about" "Ok" >/dev/null || true
e2e_check "Ok hides one" test "$(e2e_driver count "$about")" = 1

# Help: the viewer (our stand-in in the program's folder, found before the system's) gets the
# help file's path in quotes.
cp "$e2e_build/cadenzo_e2e_driver.exe" "$e2e_install/hh.exe"
e2e_driver menu-click "$title" "Help|Contens..." >/dev/null || true
e2e_check "Contens... opens the help file, its path quoted" e2e_wait_for 20 \
  grep -qF '"C:\Cadenzo\CadenzoEn.chm"' "$e2e_install/viewer.log"

e2e_driver close "$title" 10000 >/dev/null || true
e2e_check "the program ends with its window" e2e_wait_exit "$e2e_program" 15
e2e_finish
