#!/usr/bin/env bash
# The packages in a fresh Wine prefix: the portable copy keeps its settings in its own folder;
# the installer, silent, over the settings of an earlier version (kept in the program folder),
# puts the files, the data folder, the registry value, shortcuts and uninstall entry in place;
# the installed program keeps its settings in the data folder; removal takes everything away
# but the user's settings. Then the same for the Windows Installer package, with its upgrades,
# and neither package installs over the other.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
source "$ROOT/scripts/lib/msi.sh"
SETUP="$ROOT/build/dist/Corvanthelix-1.00.008-Setup.exe"
MSI="$ROOT/build/dist/Corvanthelix-1.00.008.msi"
ZIP="$ROOT/build/dist/Corvanthelix-1.00.008-portable.zip"
check_true "installer and package were built" test -f "$SETUP" -a -f "$MSI"
[ -f "$SETUP" ] && [ -f "$MSI" ] || e2e_finish

# Wine does not enforce permissions: the script itself must grant users nothing but the data
# folder, which the installer creates.
NSI="$ROOT/installer/Corvanthelix.nsi"
check "the installer grants access on the data folder only" "1 1" \
    "$(grep -ciE '/grant|AccessControl|cacls.* /[eg] ' "$NSI") $(grep -c 'icacls "$DataDir" /grant' "$NSI")"
check "the package's one permission entry: Users modify on the data folder" \
    "DataFolderUsers DATADIR CreateFolder D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)|" \
    "$(msiinfo export "$MSI" MsiLockPermissionsEx | tr -d '\r' | tail -n +4 | tr '\t' ' ' | xargs)|$(
        msiinfo export "$MSI" LockPermissions 2>/dev/null | tail -n +4)"

export WINEPREFIX="$T/prefix"
wineboot -i >/dev/null 2>&1
start_wineserver
DIR="$WINEPREFIX/drive_c/Program Files/Quillomarte/Corvanthelix"
DATA="$WINEPREFIX/drive_c/ProgramData/Quillomarte/Corvanthelix"
MENU="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs"
APPKEY='HKLM\Software\Quillomarte\Corvanthelix'
UNROOT='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
UNKEY="$UNROOT\\Corvanthelix"
# Wine puts an all-users package's shortcuts into the installing user's Start menu.
USERMENU="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"

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

check "the package refuses to install over the setup program's installation" "refused" \
    "$(timeout 120 wine msiexec /i "$(winpath "$MSI")" /qn && echo installed || echo refused)"

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

# The Windows Installer package: the same result, the settings from before kept.
products() { wine reg query "$UNROOT" 2>/dev/null | tr -d '\r' | grep -o '{[0-9A-F-]*}' | xargs; }
product_value() { reg_value "$UNROOT\\$(products)" "$1"; }
shortcut() { test -f "$MENU/$1" || test -f "$USERMENU/$1"; }
check "msiexec /i installs" 0 "$(timeout 120 wine msiexec /i "$(winpath "$MSI")" /qn; echo $?)"
check "package: the files" "Common.lng Corvanthelix.exe Forms.lng" "$(ls "$DIR" | xargs)"
check "package: AppPAth names the data folder (32-bit view)" \
    'C:\ProgramData\Quillomarte\Corvanthelix\' "$(reg_value "$APPKEY" AppPAth /reg:32)"
check "package: one uninstall entry with version and publisher" "1.0.8 Quillomarte" \
    "$(product_value DisplayVersion) $(product_value Publisher)"
check_true "package: Start-menu entry" shortcut Corvanthelix.lnk
check_true "package: starts with Windows" shortcut StartUp/Corvanthelix.lnk
check "the setup program refuses to install over the package" "refused none" \
    "$(timeout 120 wine "$SETUP" /S && echo installed || echo refused) $(
        test -e "$DIR/Uninstall.exe" && echo Uninstall.exe || echo none)"
run "C:\\Program Files\\Quillomarte\\Corvanthelix\\Corvanthelix.exe"
check_true "package: the installed program's tray icon is up" wait_for 30 tray_icon_shown
ui wait Settings 10 >/dev/null
ui tray 0x203
expect_ui "package: Settings window shown" 1 visible Settings
ui pick Settings cSendTo 0
check "package: a pick is saved into the data folder, earlier settings kept" "0 3" \
    "$(ini_value "$DATA/Corvanthelix.cfg" SendTo) $(ini_value "$DATA/Corvanthelix.cfg" ComPort)"
ui click Settings bExit
check_true "package: exit" ended

# A higher version replaces the installed one; the lower one then refuses to install.
build_msi "$ROOT/build/dist/stage" 1.00.009 "$T/Corvanthelix-1.00.009.msi" >/dev/null 2>&1
check "msiexec /i of a higher version" 0 "$(timeout 120 wine msiexec /i "$(winpath "$T/Corvanthelix-1.00.009.msi")" /qn; echo $?)"
check "one installation, the higher version, settings kept" "1 1.0.9 0 3" \
    "$(products | wc -w) $(product_value DisplayVersion) $(ini_value "$DATA/Corvanthelix.cfg" SendTo) $(
        ini_value "$DATA/Corvanthelix.cfg" ComPort)"
timeout 120 wine msiexec /i "$(winpath "$MSI")" /qn
check "a lower version is refused" "1 1.0.9" "$(products | wc -w) $(product_value DisplayVersion)"

check "msiexec /x removes" 0 "$(timeout 120 wine msiexec /x "$(winpath "$T/Corvanthelix-1.00.009.msi")" /qn; echo $?)"
check "package removed: everything but the settings" "none none none none Corvanthelix.cfg" "$(
    test -e "$DIR" && echo "$DIR" || echo none) $(products || true)none $(
    shortcut Corvanthelix.lnk && echo menu || echo none) $(
    shortcut StartUp/Corvanthelix.lnk && echo startup || echo none) $(
    reg_value "$APPKEY" AppPAth /reg:32)$(ls "$DATA" | xargs)"

# AUTOSTART=0 leaves out the start with Windows; REMOVECONFIG=1 removes the settings too.
timeout 120 wine msiexec /i "$(winpath "$MSI")" /qn AUTOSTART=0
check "AUTOSTART=0: menu entry, no start with Windows" "menu none" "$(
    shortcut Corvanthelix.lnk && echo menu || echo none) $(
    shortcut StartUp/Corvanthelix.lnk && echo startup || echo none)"
timeout 120 wine msiexec /x "$(winpath "$MSI")" /qn REMOVECONFIG=1
check_true "REMOVECONFIG=1 removes the settings and the data folder" test ! -e "$DATA"

e2e_finish
