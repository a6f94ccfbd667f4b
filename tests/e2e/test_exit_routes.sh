#!/usr/bin/env bash
# The ways out: the tray menu's exit entry, the system's close command on the Settings window, and
# the end of the Windows session. Each ends the program, removes the tray icon itself (its
# Shell_NotifyIcon calls are recorded through Wine's trace, as Wine would remove a dead icon at
# exit on its own) and saves nothing.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
APP="$T/app"
CFG="$APP/Corvanthelix.cfg"
mkdir -p "$APP"
set_app_folder "$APP"
start_com1

start_program() {
    : >"$T/calls.log"
    WINEDEBUG=trace+systray wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>"$T/calls.log" &
    prog=$!
    _PIDS+=($prog)
    wait_for 20 test -f "$CFG" && ui wait Settings 10 >/dev/null && wait_for 10 tray_icon_shown
}
ended() { wait_for 10 bash -c "! kill -0 $prog 2>/dev/null"; }
# The program's own icon operations, in order: 0 add, 1 modify, 2 delete.
icon_calls() { grep -ao 'Shell_NotifyIconW dwMessage = [0-9]' "$T/calls.log" | grep -o '[0-9]$' | xargs; }

check_true "started with its tray icon" start_program
before=$(md5sum <"$CFG")
ui menu mnu_Exit
check_true "the tray menu's exit ends the program" ended
check "and removes the tray icon" "0 2" "$(icon_calls)"
check "nothing saved" "$before" "$(md5sum <"$CFG")"

check_true "started again" start_program
ui tray 0x203
expect_ui "shown" 1 visible Settings
ui close Settings
check_true "the close command ends the program" ended
check "and removes the tray icon" "0 2" "$(icon_calls)"
check "nothing saved" "$before" "$(md5sum <"$CFG")"

check_true "started for the end of the session" start_program
wineboot --end-session >/dev/null 2>&1
check_true "the end of the session ends the program" ended
check "and removes the tray icon" "0 2" "$(icon_calls)"
e2e_finish
