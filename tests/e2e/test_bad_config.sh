#!/usr/bin/env bash
# A configuration whose port index lies outside its list: the program shows the failure in a
# message box and, once it is closed, ends; it puts up no tray icon and opens no port.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
APP="$T/app"
mkdir -p "$APP"
printf '[ComPort]\r\nValue=25\r\n[Language]\r\nValue=BG\r\n' >"$APP/Corvanthelix.cfg"
set_app_folder "$APP"
start_com1

wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
prog=$!
_PIDS+=($prog)
check_true "a message box appears" wait_for 20 bash -c "wine '$WIN_BIN/UiDriver.exe' msgbox >/dev/null 2>&1"
message=$(ui msgbox)
check_true "it names the list and the stored index ($message)" grep -q "cComPort = 25" <<<"$message"
check "the Settings window stays hidden" 0 "$(ui visible Settings)"
check "the lists keep their defaults" "COM1 9600" \
    "$(ui text Settings cComPort) $(ui text Settings cBitsPerSecond)"
check_true "no tray icon" bash -c "! xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null 2>&1"
check_true "the program still waits for the message to be read" kill -0 "$prog"
ui msgbox-ok
check_true "after the message the program ends" wait_for 10 bash -c "! kill -0 $prog 2>/dev/null"
check "the configuration is left as it was" "25" "$(ini_value "$APP/Corvanthelix.cfg" ComPort)"
e2e_finish
