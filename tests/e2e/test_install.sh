#!/usr/bin/env bash
# The packages in a fresh Wine prefix: the portable copy keeps its settings in its own folder;
# the installer, silent, over the settings of an earlier version (kept in the program folder),
# puts the files, the data folder, the registry value, shortcuts and uninstall entry in place;
# the installed program keeps its settings in the data folder; removal takes everything away
# but the user's settings.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
SETUP="$ROOT/build/dist/Corvanthelix-1.00.008-Setup.exe"
ZIP="$ROOT/build/dist/Corvanthelix-1.00.008-portable.zip"
check_true "installer was built" test -f "$SETUP"
[ -f "$SETUP" ] || e2e_finish

# Wine does not enforce permissions: the script itself must grant users nothing but the data
# folder, which the installer creates.
NSI="$ROOT/installer/Corvanthelix.nsi"
check "the installer grants access on the data folder only" "1 1" \
    "$(grep -ciE '/grant|AccessControl|cacls.* /[eg] ' "$NSI") $(grep -c 'icacls "$DataDir" /grant' "$NSI")"

export WINEPREFIX="$T/prefix"
wineboot -i >/dev/null 2>&1
start_wineserver
DIR="$WINEPREFIX/drive_c/Program Files/Quillomarte/Corvanthelix"
DATA="$WINEPREFIX/drive_c/ProgramData/Quillomarte/Corvanthelix"
MENU="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
APPKEY='HKLM\Software\Quillomarte\Corvanthelix'
UNKEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvanthelix'

reg_value() { # key value [view flag]
    wine reg query "$1" /v "$2" ${3:+"$3"} 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}
run() { # windows path of the program
    wine "$1" >/dev/null 2>&1 &
    prog=$!
    _PIDS+=($prog)
}
ended() { wait_for 20 bash -c "! kill -0 $prog 2>/dev/null"; }

# The portable copy, on a computer without an installation, keeps a pick across a restart.
PORT="$T/portable"
python3 -m zipfile -e "$ZIP" "$PORT"
run "$(winpath "$PORT/Corvanthelix.exe")"
check_true "portable: configuration written beside the program" wait_for 30 test -f "$PORT/Corvanthelix.cfg"
ui wait Settings 10 >/dev/null
ui tray 0x203
expect_ui "portable: Settings window shown" 1 visible Settings
ui pick Settings cPrefix 3
ui click Settings bExit
check_true "portable: exit" ended
run "$(winpath "$PORT/Corvanthelix.exe")"
ui wait Settings 10 >/dev/null
expect_ui "portable: the pick is back after a restart" 3 selected Settings cPrefix
check_true "portable: no folder made in Program Files" test ! -e "$DIR"
reset_wine

# An earlier version's layout: settings in the program folder, which the registry named.
mkdir -p "$DIR"
printf '[ComPort]\r\nValue=3\r\n[Prefix]\r\nValue=2\r\n' >"$DIR/Corvanthelix.cfg"
wine reg add "$APPKEY" /v AppPAth /t REG_SZ /d 'C:\Program Files\Quillomarte\Corvanthelix\' /f /reg:32 >/dev/null 2>&1
timeout 120 wine "$SETUP" /S
for f in Corvanthelix.exe Common.lng Forms.lng Uninstall.exe; do
    check_true "installed $f" test -f "$DIR/$f"
done
check_true "the data folder exists" test -d "$DATA"
check "AppPAth names the data folder (32-bit view)" 'C:\ProgramData\Quillomarte\Corvanthelix\' \
    "$(reg_value "$APPKEY" AppPAth /reg:32)"
check "upgrade moves the settings into the data folder" "3 2 none" \
    "$(ini_value "$DATA/Corvanthelix.cfg" ComPort) $(ini_value "$DATA/Corvanthelix.cfg" Prefix) $(
        test -e "$DIR/Corvanthelix.cfg" && echo left || echo none)"
check "uninstall entry version" "1.00.008" "$(reg_value "$UNKEY" DisplayVersion)"
check_true "Start-menu entry" test -f "$MENU/Corvanthelix.lnk"
check_true "starts with Windows" test -f "$MENU/StartUp/Corvanthelix.lnk"

# The installed program keeps a pick in the data folder, nothing in the program folder.
printf '' >"$DIR/StartUp.en"
run "C:\\Program Files\\Quillomarte\\Corvanthelix\\Corvanthelix.exe"
check_true "start-up marker beside the program consumed" wait_for 30 test ! -f "$DIR/StartUp.en"
stored_language_is_en() { [ "$(ini_value "$DATA/Corvanthelix.cfg" Language)" == EN ]; }
wait_for 10 stored_language_is_en
check "language from the marker stored" EN "$(ini_value "$DATA/Corvanthelix.cfg" Language)"
expect_ui "captions come from the language files beside the program" \
    "$(lng_text Forms.lng 'Settings|lbComPort' EN)" text Settings lbComPort
check_true "the tray icon is up" wait_for 10 tray_icon_shown
ui tray 0x203
expect_ui "Settings window shown" 1 visible Settings
ui pick Settings cSendTo 1
check "a pick is saved into the data folder" "1 3" \
    "$(ini_value "$DATA/Corvanthelix.cfg" SendTo) $(ini_value "$DATA/Corvanthelix.cfg" ComPort)"
check "nothing is written into the program folder" "Common.lng Corvanthelix.exe Forms.lng Uninstall.exe" \
    "$(ls "$DIR" | xargs)"

# Installing over a running copy ends it first and keeps the settings.
timeout 120 wine "$SETUP" /S
check_true "the running copy was ended" ended
check "reinstall keeps Corvanthelix.cfg" "1 3" \
    "$(ini_value "$DATA/Corvanthelix.cfg" SendTo) $(ini_value "$DATA/Corvanthelix.cfg" ComPort)"
reset_wine

# The uninstaller runs a copy of itself from the temporary folder and returns at once.
timeout 120 wine "$DIR/Uninstall.exe" /S
wait_for 60 test ! -e "$DIR/Uninstall.exe"
sleep 1
check_true "program folder removed" test ! -e "$DIR"
check "only the settings stay in the data folder" "Corvanthelix.cfg" "$(ls "$DATA" 2>&1 | xargs)"
check_true "Start-menu entry removed" test ! -e "$MENU/Corvanthelix.lnk"
check_true "start-up entry removed" test ! -e "$MENU/StartUp/Corvanthelix.lnk"
check_true "application key removed" bash -c "! wine reg query '$APPKEY' /reg:32 >/dev/null 2>&1"
check_true "uninstall entry removed" bash -c "! wine reg query '$UNKEY' >/dev/null 2>&1"

e2e_finish
