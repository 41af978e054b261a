#!/usr/bin/env bash
# Cadenzo.exe starts under Wine with its window captioned with name and version, and closes
# when its window is closed; the adapter dialog stores its choice and opens a second main
# window; without its card database the program says so and does not start.
source "$(dirname "$0")/lib.sh"
e2e_start
e2e_launch

seen=$(e2e_driver wait "Cadenzo 0.98 beta" 30000 || true)
e2e_check "the main window is captioned \"Cadenzo 0.98 beta\"" \
  test "$seen" = 'window "Cadenzo 0.98 beta"'
"$e2e_rig" screenshot "$e2e_work/first-start.png" >/dev/null 2>&1 || true

closed=$(e2e_driver close "Cadenzo 0.98 beta" 10000 || true)
e2e_check "the window closes" test "$closed" = 'closed "Cadenzo 0.98 beta"'
e2e_check "the program ends with its window" e2e_wait_exit "$e2e_program" 15

# The adapter dialog, through the menu: ignore the monitor's capabilities, OK.
e2e_launch
title="Cadenzo 0.98 beta"
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_open_dialog "$title" "Configure|Adapter..." "Select Adapter"
e2e_check "the adapter dialog: 306 x 190, centred, on top" \
  test "$(e2e_field client) $(e2e_field centred) $(e2e_field topmost)" = "306 190 1 1"
controls=$(e2e_driver controls "Select Adapter" || true)
printf '%s\n' "$controls" >"$e2e_work/adapter-controls.txt"
adapters=$(awk -F'\t' '$1 == "ListBox" { print $10 }' <<<"$controls")
e2e_check "it lists the display adapters" test -n "$adapters" -a "$adapters" != -
"$e2e_rig" screenshot "$e2e_work/adapter.png" >/dev/null 2>&1 || true
e2e_driver click "Select Adapter" "Igniore monitor capabilites" >/dev/null || true
e2e_driver click "Select Adapter" OK >/dev/null || true
e2e_check "OK stores PruningMode = 0 in the driver key" \
  test "$(e2e_reg "$CADENZO_DRIVER_KEY" PruningMode)" = 0x0
e2e_check "and a second main window opens" test "$(e2e_driver count "$title")" = 2
e2e_driver close "$title" >/dev/null || true
e2e_driver close "$title" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true

rm "$e2e_install/ati.pci"
e2e_launch
e2e_driver wait Error 30000 >/dev/null || true
e2e_check "without ati.pci no main window shows" bash -c \
  "! wine '$e2e_build/cadenzo_e2e_driver.exe' wait 'Cadenzo 0.98 beta' 300 >/dev/null 2>&1"
said=$(e2e_driver answer Error ok 30000 || true)
e2e_check "it says \"Can't open ati.pci\"" test "$said" = "Can't open ati.pci"
e2e_check "and ends" e2e_wait_exit "$e2e_program" 15
e2e_finish
