#!/usr/bin/env bash
# The other two ways out: the tray menu's exit entry (the icon goes first) and the system's close
# command on the Settings window. Each ends the program and saves nothing.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
APP="$T/app"
CFG="$APP/Corvanthelix.cfg"
mkdir -p "$APP"
set_app_folder "$APP"
start_com1

start_program() {
    wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
    prog=$!
    _PIDS+=($prog)
    wait_for 20 test -f "$CFG" && ui wait Settings 10 >/dev/null && wait_for 10 tray_icon_shown
}
ended() { wait_for 10 bash -c "! kill -0 $prog 2>/dev/null"; }

check_true "started with its tray icon" start_program
before=$(md5sum <"$CFG")
ui menu mnu_Exit
check_true "the tray menu's exit ends the program" ended
check_true "and removes the tray icon" wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null 2>&1"
check "nothing saved" "$before" "$(md5sum <"$CFG")"

check_true "started again" start_program
ui tray 0x203
expect_ui "shown" 1 visible Settings
ui close Settings
check_true "the close command ends the program" ended
check "nothing saved" "$before" "$(md5sum <"$CFG")"
e2e_finish
