#!/usr/bin/env bash
# Cadenzo.exe starts under Wine with its window captioned with name and version, and closes
# when its window is closed; without its card database it says so and does not start.
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

rm "$e2e_install/ati.pci"
e2e_launch
e2e_driver wait Error 30000 >/dev/null || true
e2e_check "without ati.pci no main window shows" bash -c \
  "! wine '$e2e_build/cadenzo_e2e_driver.exe' wait 'Cadenzo 0.98 beta' 300 >/dev/null 2>&1"
said=$(e2e_driver answer Error ok 30000 || true)
e2e_check "it says \"Can't open ati.pci\"" test "$said" = "Can't open ati.pci"
e2e_check "and ends" e2e_wait_exit "$e2e_program" 15
e2e_finish
