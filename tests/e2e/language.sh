#!/usr/bin/env bash
# Languages under Wine: the language dialog lists the shipped files; choosing Russian opens a
# main window whose captions, hints and menus are the Russian texts; Cancel stores the choice,
# so the next start is in Russian; choosing English brings the built-in texts back; a stored
# name whose file is missing, or a file of another version, is said at start. Last, a
# pseudo-language in UTF-8 whose text k is "«k»" and the English text: every window shows each
# of its texts from its own slot, and the help file's non-ASCII name reaches the viewer whole.
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

# The pseudo-language, made from the shipped English file: text k marked with k, those from 101
# up too, the help file "Справка.chm", the language's name "«2»Pseudo".
perl -e '
  local $/; my $in = <STDIN>; my @lines = grep { length && !/^;/ } split /\r\n/, $in;
  my $credit = pop @lines; my $version = shift @lines; my $k = 0;
  print "\xEF\xBB\xBF$version\r\n";
  for (@lines) {
    ++$k;
    if ($k > 80 && /^(\d+)=(.*)$/) { print "$1=«$1»$2\r\n"; next }
    print $k == 1 ? "Справка.chm" : $k == 2 ? "«2»Pseudo" : "«$k»$_", "\r\n";
  }
  print "the credit\r\n";' <"$e2e_build/English.lng" >"$e2e_install/Pseudo.lng"
# English text $1, as the shipped file has it.
english() {
  K=$1 perl -ne 'BEGIN { $k = -1 } s/\r?\n$//; next if !length || /^;/; ++$k;
    if ($k > 80 && /^(\d+)=(.*)$/) { if ($1 == $ENV{K}) { print $2; exit } next }
    if ($k == $ENV{K}) { print; exit }' "$e2e_build/English.lng"
}
# Each marked text of the lines on stdin: "k<TAB>what follows the marker up to the next one".
marked() { perl -ne 'chomp; while (/«(\d+)»([^«]*)/g) { print "$1\t$2\n" }'; }
pseudo_slots=()
# Checks that every marked text in $2 is the English text of its slot; notes the slots.
check_marked() {
  local what=$1 wrong=0 k text
  while IFS=$'\t' read -r k text; do
    pseudo_slots+=("$k")
    [[ "$text" == "$(english "$k")"* ]] || { echo "$what: «$k» shows \"$text\"" >&2; wrong=1; }
  done < <(marked <<<"$2")
  e2e_check "$what shows each text from its own slot" test "$wrong" = 0
}
wine reg add 'HKLM\SOFTWARE\Korvex\Cadenzo' /v LangFileName /t REG_SZ /d Pseudo.lng /f \
  >/dev/null 2>&1
e2e_launch
e2e_driver wait "$title" 30000 >/dev/null || true
check_marked "the main window" "$(captions || true)"
check_marked "its menu" "$(menu_of || true)"
for label in 12 13 14; do
  caption="«$label»$(english $label)"
  check_marked "the hint of $caption" "$(e2e_driver hint "$title" "$caption" || true)"
done
check_marked "the hint of Revision:" "$(e2e_driver hint "$title" "Revision:" || true)"
for box in "OpenGL" "Direct3D" "«20»Projector" "«21»Rotation"; do
  check_marked "the hint of $box" "$(e2e_driver hint "$title" "$box" || true)"
done
"$e2e_rig" screenshot "$e2e_work/pseudo-main-window.png" >/dev/null 2>&1 || true
for entry in "«35»Select Adapter|«51»Configure|«57»Adapter..." \
  "«62»Non-Standart Resolutions Mangement|«51»Configure|«59»Resolutions..."; do
  IFS='|' read -r caption top item <<<"$entry"
  e2e_driver menu-click "$title" "$top|$item" >/dev/null || true
  e2e_driver wait "$caption" 10000 >/dev/null || true
  check_marked "the dialog $caption" "$(e2e_driver wait "$caption" 1000; e2e_driver controls "$caption" || true)"
done
e2e_driver click "«62»Non-Standart Resolutions Mangement" "«64»Add" >/dev/null || true
e2e_check "Add opens the second dialog" e2e_wait_for 10 \
  test "$(e2e_driver count "«62»Non-Standart Resolutions Mangement")" = 2
check_marked "the add dialog" "$(e2e_driver controls "«62»Non-Standart Resolutions Mangement" || true)"
e2e_driver menu-click "$title" "«51»Configure|«58»Language..." >/dev/null || true
e2e_driver wait "$dialog" 10000 >/dev/null || true
e2e_check "the language dialog lists it by its text 2 and its credit" \
  has_line "«2»Pseudo [the credit]" "$(e2e_driver controls "$dialog" |
    awk -F'\t' '$1 == "ListBox" { print $10 }' | tr '|' '\n' || true)"
pseudo_slots+=(2)
cp "$e2e_build/cadenzo_e2e_driver.exe" "$e2e_install/hh.exe"
e2e_driver menu-click "$title" "«52»Help|«60»Contens..." >/dev/null || true
e2e_check "the help file's name in UTF-8 reaches the viewer whole" e2e_wait_for 20 \
  grep -qsF '"C:\Cadenzo\Справка.chm"' "$e2e_install/viewer.log"
e2e_driver click "$title" "«8»Cancel" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true

# The check window of the next restart.
e2e_launch /CHECK
check="«36»Cadenzo - Checking Video Modes..."
e2e_driver wait "$check" 30000 >/dev/null || true
check_marked "the check window" "$(e2e_driver wait "$check" 1000; e2e_driver controls "$check" || true)"
# Its second phase, which also sets the lowest rate.
e2e_driver click "$check" "«8»Cancel" >/dev/null || true
second_phase() { e2e_driver controls "$check" | grep -q "«40»"; }
e2e_wait_for 10 second_phase || true
check_marked "its second phase" "$(e2e_driver controls "$check" || true)"
e2e_driver click "$check" "«7»OK" >/dev/null || true
e2e_driver click "$title" "«8»Cancel" >/dev/null || true
e2e_wait_exit "$e2e_program" 15 || true
missing=$(comm -13 <(printf '%s\n' "${pseudo_slots[@]}" | sort -u) \
  <(printf '%s\n' 2 {3..21} {33..70} 73 | sort -u) | tr '\n' ' ')
e2e_check "every slot of a window showed (missing: ${missing:-none})" test -z "$missing"
e2e_finish
