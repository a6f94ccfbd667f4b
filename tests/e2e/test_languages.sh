#!/usr/bin/env bash
# The language list and the start-up marker as a user meets them, on a copy of the program whose
# language files were given a sixth language by hand: a marker beside the copy chooses the
# language of its first start; the list offers the sixth language by its own name; a pick stores
# it, a pick in another list keeps it, and at the next start the stored language wins over a
# new marker.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
APP="$T/app" # the copy's folder, also the application folder that holds its settings
CFG="$APP/Corvanthelix.cfg"
mkdir -p "$APP"
cp "$WIN_BIN/Corvanthelix.exe" "$APP/"
set_app_folder "$APP"

# German as a user adds it: a DE key beside every EN key, the language's name in strLanguage.
for f in Common.lng Forms.lng; do
    { printf '\xff\xfe'; iconv -f UTF-16 -t UTF-8 "$ROOT/lang/$f" | tr -d '\r' |
        awk '/^\[/ { s = $0 } { print } /^EN=/ {
            print "DE=" (s == "[strLanguage]" ? "Deutsch" : "DE " substr($0, 4)) }' |
        sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$APP/$f"
done

start_copy() {
    wine "$APP/Corvanthelix.exe" >/dev/null 2>&1 &
    prog=$!
    _PIDS+=($prog)
    ui wait Settings 20 >/dev/null
}
exit_copy() {
    ui click Settings bExit
    check_true "$1: exit ends the program" wait_for 10 bash -c "! kill -0 $prog 2>/dev/null"
}

printf '' >"$APP/StartUp.en"
start_copy
check_true "the marker is consumed" wait_for 10 test ! -f "$APP/StartUp.en"
expect_ui "a copy with no stored language starts in the marker's language" \
    "$(lng_text Forms.lng 'Settings|frmCom' EN)" text Settings frmCom
check "and stores it" EN "$(ini_value "$CFG" Language)"
check "the list offers the five languages and the added one by name" \
    "Български|English|Русский|Српски|Română|Deutsch" "$(ui items Settings cbLanguage1)"
check "the stored language is selected" English "$(ui text Settings cbLanguage1)"

ui tray 0x203
expect_ui "the Settings window opens" 1 visible Settings
ui pick Settings cbLanguage1 5
expect_ui "the added language translates the window" \
    "DE $(lng_text Forms.lng 'Settings|frmCom' EN)" text Settings frmCom
check "the added language is stored" DE "$(ini_value "$CFG" Language)"
ui pick Settings cParity 0
check "a pick in another list keeps it" "0 DE" \
    "$(ini_value "$CFG" Parity) $(ini_value "$CFG" Language)"
exit_copy first

printf '' >"$APP/StartUp.ru"
start_copy
check_true "a later marker is consumed" wait_for 10 test ! -f "$APP/StartUp.ru"
expect_ui "the stored language wins over it" Deutsch text Settings cbLanguage1
check "the window shows the stored language" "DE $(lng_text Forms.lng 'Settings|frmCom' EN)" \
    "$(ui text Settings frmCom)"
check "and it stays stored" DE "$(ini_value "$CFG" Language)"
exit_copy second
e2e_finish
