#!/usr/bin/env bash
# The installer and uninstaller, silent, in a fresh Wine prefix: files, registry value, shortcuts
# and uninstall entry in place; the installed program runs from its folder and keeps its settings
# there; removal takes everything away but the user's settings.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
SETUP="$ROOT/build/dist/Corvanthelix-1.00.008-Setup.exe"
check_true "installer was built" test -f "$SETUP"
[ -f "$SETUP" ] || e2e_finish

export WINEPREFIX="$T/prefix"
wineboot -i >/dev/null 2>&1
start_wineserver
DIR="$WINEPREFIX/drive_c/Program Files/Quillomarte/Corvanthelix"
MENU="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
APPKEY='HKLM\Software\Quillomarte\Corvanthelix'
UNKEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvanthelix'

reg_value() { # key value [view flag]
    wine reg query "$1" /v "$2" ${3:+"$3"} 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}
reg_exists() { wine reg query "$1" ${2:+"$2"} >/dev/null 2>&1; }

timeout 120 wine "$SETUP" /S
for f in Corvanthelix.exe Common.lng Forms.lng Uninstall.exe; do
    check_true "installed $f" test -f "$DIR/$f"
done
check "AppPAth names the folder (32-bit view)" 'C:\Program Files\Quillomarte\Corvanthelix\' \
    "$(reg_value "$APPKEY" AppPAth /reg:32)"
check "uninstall entry version" "1.00.008" "$(reg_value "$UNKEY" DisplayVersion)"
check_true "Start-menu entry" test -f "$MENU/Corvanthelix.lnk"
check_true "starts with Windows" test -f "$MENU/StartUp/Corvanthelix.lnk"

# The installed program starts from its folder and writes its configuration there.
printf '' >"$DIR/StartUp.en"
wine "C:\\Program Files\\Quillomarte\\Corvanthelix\\Corvanthelix.exe" >/dev/null 2>&1 &
_PIDS+=($!)
wait_for 30 test -f "$DIR/Corvanthelix.cfg"
check_true "configuration written in the program folder" test -f "$DIR/Corvanthelix.cfg"
check_true "start-up marker beside the program consumed" wait_for 10 test ! -f "$DIR/StartUp.en"
check_true "language from the marker stored" grep -q "EN" "$DIR/Corvanthelix.cfg"
expect_ui "captions come from the language files beside the program" \
    "$(lng_text Forms.lng 'Settings|lbComPort' EN)" text Settings lbComPort
check_true "the tray icon is up" wait_for 10 tray_icon_shown
reset_wine

# Installing over it keeps the settings.
printf '[ComPort]\r\nValue=3\r\n' >"$DIR/Corvanthelix.cfg"
timeout 120 wine "$SETUP" /S
check "reinstall keeps Corvanthelix.cfg" "Value=3" "$(tr -d '\r' <"$DIR/Corvanthelix.cfg" | grep Value=)"

# The uninstaller runs a copy of itself from the temporary folder and returns at once.
timeout 120 wine "$DIR/Uninstall.exe" /S
wait_for 60 test ! -e "$DIR/Uninstall.exe"
sleep 1
for f in Corvanthelix.exe Common.lng Forms.lng Uninstall.exe; do
    check_true "removed $f" test ! -e "$DIR/$f"
done
check_true "settings kept" test -f "$DIR/Corvanthelix.cfg"
check_true "Start-menu entry removed" test ! -e "$MENU/Corvanthelix.lnk"
check_true "start-up entry removed" test ! -e "$MENU/StartUp/Corvanthelix.lnk"
check_true "application key removed" bash -c "! wine reg query '$APPKEY' /reg:32 >/dev/null 2>&1"
check_true "uninstall entry removed" bash -c "! wine reg query '$UNKEY' >/dev/null 2>&1"

e2e_finish
