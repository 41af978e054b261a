#!/usr/bin/env bash
# Languages under Wine: the language dialog lists the shipped files; choosing Russian opens a
# main window whose captions, hints and menus are the Russian texts; Cancel stores the choice,
# so the next start is in Russian; choosing English brings the built-in texts back; a stored
# name whose file is missing, or a file of another version, is said at start.
source "$(dirname "$0")/lib.sh"
e2e_start
title="Cadenzo 0.98 beta"
dialog="Select Language"
has_line() { grep -qxF -- "$1" <<<"$2"; }
captions() { e2e_driver controls "$title" | awk -F'\t' '{ print $2 }'; }
menu_of() { e2e_driver menu "$title" | sed 's/^ *//'; }

e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_open_dialog "$title" "Configure|Language..." "$dialog"
e2e_check "the language dialog: 200 x 190, centred, on top" \
  test "$(e2e_field client) $(e2e_field centred) $(e2e_field topmost)" = "200 190 1 1"
controls=$(e2e_driver controls "$dialog" || true)
printf '%s\n' "$controls" >"$e2e_work/dialog-controls.txt"
lines=$(awk -F'\t' '$1 == "ListBox" { print $10 }' <<<"$controls" | tr '|' '\n')
e2e_check "it lists the built-in English first" test "$(head -n1 <<<"$lines")" = "English [Quillon]"
e2e_check "and both shipped files by name and credit" \
  bash -c "grep -qxF 'English [Korvex]' <<<\"\$1\" && grep -qxF 'Русский [Korvex]' <<<\"\$1\"" - \
  "$lines"
"$e2e_rig" screenshot "$e2e_work/language-dialog.png" >/dev/null 2>&1 || true

e2e_driver pick "$dialog" "Русский [Korvex]" >/dev/null || true
e2e_driver click "$dialog" OK >/dev/null || true
e2e_check "OK opens a second main window" test "$(e2e_driver count "$title")" = 2
e2e_check "and stores Russian.lng" test "$(e2e_reg 'SOFTWARE\Korvex\Cadenzo' LangFileName)" = Russian.lng
shown=$(captions || true)
printf '%s\n' "$shown" >"$e2e_work/russian-controls.txt"
for text in "Частоты обновления:" "Видеоадаптер:" "Дополнительные настройки:" \
  "Вкладки драйвера ATI:" "Отмена" "Справка" "Чип:" "Версия драйвера:" "Тип карты:" \
  "Анизотропная фильтрация в Direct3D" "ЖК-контроллер" "Проектор" "Поворот"; do
  e2e_check "the new window shows \"$text\"" has_line "$text" "$shown"
done
e2e_check "its title stays \"$title\"" test "$(e2e_driver wait "$title" 1000)" = "window \"$title\""
menu=$(menu_of || true)
printf '%s\n' "$menu" >"$e2e_work/russian-menu.txt"
for text in "Программа" "Удалить программу" "Восстановить реестр" "Сохранить и выйти" "Выход" \
  "Настройка" "Язык..." "Разрешения..." "Справка" "Содержание..." "О программе"; do
  e2e_check "its menu has \"$text\"" has_line "$text" "$menu"
done
hint=$(e2e_driver hint "$title" "Чип:" || true)
printf '%s\n' "$hint" >"$e2e_work/russian-hint.txt"
e2e_check "the hint of \"Чип:\" is Russian" test "$hint" = "Тип графического чипа карты"
"$e2e_rig" screenshot "$e2e_work/russian-main-window.png" >/dev/null 2>&1 || true

# Cancel (in Russian) ends the program and keeps the choice for the next start.
e2e_driver click "$title" "Отмена" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true
e2e_check "Cancel keeps \"Russian.lng\"" \
  test "$(e2e_reg 'SOFTWARE\Korvex\Cadenzo' LangFileName)" = Russian.lng
# Every start reads the name and every Cancel stores it back: ten times, the same bytes, with
# one terminator.
russian_hex=$(e2e_string_hex Russian.lng)
e2e_check "stored with its terminator" \
  e2e_driver wait-value 'SOFTWARE\Korvex\Cadenzo' LangFileName "$russian_hex" 5000
kept=yes
for save in 2 3 4 5 6 7 8 9 10; do
  e2e_launch
  e2e_driver wait "$title" 30000 >/dev/null || true
  e2e_driver click "$title" "Отмена" >/dev/null || true
  e2e_wait_exit "$e2e_program" 15 || true
  e2e_driver wait-value 'SOFTWARE\Korvex\Cadenzo' LangFileName "$russian_hex" 2000 >/dev/null ||
    kept="no, not after save $save"
done
e2e_check "saved ten times, \"LangFileName\" keeps its bytes" test "$kept" = yes

e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
e2e_check "the next start comes up in Russian" has_line "Частоты обновления:" "$(captions || true)"
e2e_driver menu-click "$title" "Настройка|Язык..." >/dev/null || true
e2e_driver wait "$dialog" 10000 >/dev/null || true
e2e_driver pick "$dialog" "English [Quillon]" >/dev/null || true
e2e_driver click "$dialog" OK >/dev/null || true
# Wine's `reg query` shows an empty string value as whatever it printed before: the driver
# reads the bytes.
e2e_check "choosing English stores no file" \
  e2e_driver wait-value 'SOFTWARE\Korvex\Cadenzo' LangFileName "$(e2e_string_hex '')" 5000
shown=$(captions || true)
e2e_check "and the new window shows the built-in texts" \
  bash -c "grep -qxF 'Refresh Rates:' <<<\"\$1\" && grep -qxF 'Cancel' <<<\"\$1\"" - "$shown"
e2e_check "and menus" has_line "Language..." "$(menu_of || true)"
e2e_driver click "$title" Cancel >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true

# Starts with "LangFileName" = $1: the start says $2 ($3 names the case), and the window
# shows the built-in texts.
start_with_bad_file() {
  wine reg add 'HKLM\SOFTWARE\Korvex\Cadenzo' /v LangFileName /t REG_SZ /d "$1" /f >/dev/null 2>&1
  e2e_launch
  said=$(e2e_driver answer Error ok 30000 || true)
  e2e_check "$3" test "$said" = "$2"
  e2e_driver wait "$title" 30000 >/dev/null || true
  e2e_check "and the window shows the built-in texts" has_line "Refresh Rates:" "$(captions || true)"
  e2e_driver close "$title" >/dev/null || true
  e2e_wait_exit "$e2e_program" 15 || true
}
start_with_bad_file Missing.lng "Can't open Missing.lng" \
  "a missing file says \"Can't open Missing.lng\""
# A file of another version: said, and the built-in texts stay.
printf 'Version = 0.97 beta\r\nCadenzoEn.chm\r\nOld\r\nOld texts\r\n' >"$e2e_install/Old.lng"
start_with_bad_file Old.lng "Wrong version of LNG File" "a file of another version says so"
e2e_finish
