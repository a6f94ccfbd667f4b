#!/usr/bin/env bash
# The portable copy, the installer and the Windows Installer package in a fresh Wine prefix:
# install, upgrade, settings kept in the right folder, removal; neither package installs over the other.
source "$(dirname "$0")/lib.sh"
source "$ROOT/scripts/lib/msi.sh"
D="$ROOT/build/dist/Corvanthelix-1.00.008" && SETUP="$D-Setup.exe" MSI="$D.msi" ZIP="$D-portable.zip"
check "installer and package were built" yes "$(test -f "$SETUP" -a -f "$MSI" && echo yes)" || exit 1

# Wine does not enforce permissions: the packages must grant users nothing but the data folder.
NSI="$ROOT/installer/Corvanthelix.nsi"
check "the installer grants access on the data folder only" "1 1" \
    "$(grep -ciE '/grant|AccessControl|cacls.* /[eg] ' "$NSI") $(grep -c 'icacls "$DataDir" /grant' "$NSI")"
check "the package's one permission entry: Users modify on the data folder" \
    "DataFolderUsers DATADIR CreateFolder D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)|" \
    "$(msiinfo export "$MSI" MsiLockPermissionsEx | tr -d '\r' | tail -n +4 | tr '\t' ' ' | xargs)|$(
        msiinfo export "$MSI" LockPermissions 2>/dev/null | tail -n +4)"

export WINEPREFIX="$T/prefix"
wineboot -i >/dev/null 2>&1 && start_wineserver
C="$WINEPREFIX/drive_c" && DIR="$C/Program Files/Quillomarte/Corvanthelix"
EXE='C:\Program Files\Quillomarte\Corvanthelix\Corvanthelix.exe'
DATA="$C/ProgramData/Quillomarte/Corvanthelix" && CFG="$DATA/Corvanthelix.cfg"
# Wine puts an all-users package's shortcuts into the installing user's Start menu.
MENU="$C/ProgramData/Microsoft/Windows/Start Menu/Programs"
USERMENU="$C/users/$(whoami)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
APPKEY='HKLM\Software\Quillomarte\Corvanthelix'
UNROOT='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
reg_value() { wine reg query "$1" /v "$2" ${3:+"$3"} 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { $1 = ""; $2 = ""; sub(/^  */, ""); print }'; } # key value [view]
apppath() { reg_value "$APPKEY" AppPAth /reg:32; }
there() { for f in "$@"; do [ -e "$f" ] && echo "${f##*/}" || echo none; done | xargs; }
shortcuts() { for f in Corvanthelix.lnk StartUp/Corvanthelix.lnk; do [ -e "$MENU/$f" ] || [ -e "$USERMENU/$f" ] && echo $f || echo none; done | xargs; }
products() { wine reg query "$UNROOT" 2>/dev/null | tr -d '\r' | grep -o '{[0-9A-F-]*}' | xargs; }
product_value() { reg_value "$UNROOT\\$(products)" "$1"; }
msiexec() { timeout 120 wine msiexec "$1" "$(winpath "$2")" /qn "${@:3}"; echo $?; }
setup() { timeout 120 wine "$SETUP" /S && echo installed || echo refused; }
pick_send_to() { step "wait_for 30 tray_icon_shown; ui tray 0x203" "tray: visible:" "icon 1" && ui pick Settings cSendTo "$1"; }

PORT="$T/portable" && python3 -m zipfile -e "$ZIP" "$PORT"
start_program "$(winpath "$PORT/Corvanthelix.exe")"
expect_ok "portable: configuration written beside the program" test -f "$PORT/Corvanthelix.cfg"
pick_send_to 1
step "ui click Settings bExit" running: ended
start_program "$(winpath "$PORT/Corvanthelix.exe")"
expect "portable: the pick is back after a restart" 1 ui selected Settings cSendTo
check "portable: no folder made in Program Files" none "$(there "$DIR")"
reset_wine

# An earlier version's layout: settings in the program folder, which the registry named.
mkdir -p "$DIR"
printf '[ComPort]\r\nValue=3\r\n[Prefix]\r\nValue=2\r\n' >"$DIR/Corvanthelix.cfg"
wine reg add "$APPKEY" /v AppPAth /t REG_SZ /d 'C:\Program Files\Quillomarte\Corvanthelix\' /f /reg:32 >/dev/null 2>&1
check "the setup program installs" installed "$(setup)"
check "installed: the files, the data folder, shortcuts with start with Windows" \
    "Common.lng Corvanthelix.exe Forms.lng Uninstall.exe Corvanthelix Corvanthelix.lnk Corvanthelix.lnk" \
    "$(ls "$DIR" | xargs) $(there "$DATA" "$MENU/Corvanthelix.lnk" "$MENU/StartUp/Corvanthelix.lnk")"
check "AppPAth names the data folder (32-bit view)" 'C:\ProgramData\Quillomarte\Corvanthelix\' "$(apppath)"
check "upgrade moves the settings into the data folder" "3 2 none" \
    "$(ini_values ComPort Prefix) $(there "$DIR/Corvanthelix.cfg")"
check "uninstall entry version" "1.00.008" "$(reg_value "$UNROOT\\Corvanthelix" DisplayVersion)"

# The installed program keeps a pick in the data folder, nothing in the program folder.
touch "$DIR/StartUp.en"
start_program "$EXE"
expect_ok "start-up marker beside the program consumed" test ! -f "$DIR/StartUp.en"
expect "language from the marker stored" EN ini_value Language
expect "captions come from the language files beside the program" \
    "$(lng_text Forms.lng 'Settings|lbComPort' EN)" ui text Settings lbComPort
pick_send_to 1
check "a pick is saved into the data folder, nothing into the program folder" \
    "1 3 Common.lng Corvanthelix.exe Forms.lng Uninstall.exe" "$(ini_values SendTo ComPort) $(ls "$DIR" | xargs)"
check "the package refuses to install over the setup program's installation" refused \
    "$([ "$(msiexec /i "$MSI")" != 0 ] && echo refused)"
check "installing over a running copy keeps the settings" "installed 1 3" "$(setup) $(ini_values SendTo ComPort)"
expect_ok "and ends the running copy" not_running
reset_wine

# The uninstaller runs a copy of itself from the temporary folder and returns at once.
timeout 120 wine "$DIR/Uninstall.exe" /S && wait_for 60 test ! -e "$DIR/Uninstall.exe" && sleep 1
check "uninstalled: all but the settings, shortcuts, keys" "none Corvanthelix.cfg none none none none" \
    "$(there "$DIR") $(ls "$DATA" | xargs) $(shortcuts) $(products)$(
        wine reg query "$APPKEY" /reg:32 >/dev/null 2>&1 || echo none) $(
        wine reg query "$UNROOT\\Corvanthelix" >/dev/null 2>&1 || echo none)"

check "msiexec /i installs" 0 "$(msiexec /i "$MSI")"
check "package: the files, the shortcuts" \
    "Common.lng Corvanthelix.exe Forms.lng Corvanthelix.lnk StartUp/Corvanthelix.lnk" \
    "$(ls "$DIR" | xargs) $(shortcuts)"
check "package: AppPAth names the data folder (32-bit view)" 'C:\ProgramData\Quillomarte\Corvanthelix\' "$(apppath)"
check "package: one uninstall entry with version and publisher" "1.0.8 Quillomarte" \
    "$(product_value DisplayVersion) $(product_value Publisher)"
check "the setup program refuses to install over the package" "refused none" "$(setup) $(there "$DIR/Uninstall.exe")"
start_program "$EXE"
pick_send_to 0
check "package: a pick is saved into the data folder, earlier settings kept" "0 3" "$(ini_values SendTo ComPort)"
step "ui click Settings bExit" running: ended

# A higher version replaces the installed one; the lower one then refuses to install.
build_msi "$ROOT/build/dist/stage" 1.00.009 "$T/Corvanthelix-1.00.009.msi" >/dev/null 2>&1
check "msiexec /i of a higher version" 0 "$(msiexec /i "$T/Corvanthelix-1.00.009.msi")"
check "one installation, the higher version, settings kept" "1 1.0.9 0 3" \
    "$(products | wc -w) $(product_value DisplayVersion) $(ini_values SendTo ComPort)"
msiexec /i "$MSI" >/dev/null
check "a lower version is refused" "1 1.0.9" "$(products | wc -w) $(product_value DisplayVersion)"
check "msiexec /x removes" 0 "$(msiexec /x "$T/Corvanthelix-1.00.009.msi")"
check "package removed: everything but the settings" "none none none none Corvanthelix.cfg" \
    "$(there "$DIR") $(products)none $(shortcuts) $(apppath)$(ls "$DATA" | xargs)"

# AUTOSTART=0 leaves out the start with Windows; REMOVECONFIG=1 removes the settings too.
msiexec /i "$MSI" AUTOSTART=0 >/dev/null
check "AUTOSTART=0: menu entry, no start with Windows" "Corvanthelix.lnk none" "$(shortcuts)"
msiexec /x "$MSI" REMOVECONFIG=1 >/dev/null
check "REMOVECONFIG=1 removes the settings and the data folder" none "$(there "$DATA")"
