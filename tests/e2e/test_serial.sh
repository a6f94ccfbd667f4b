#!/usr/bin/env bash
# The serial reader end to end: bytes written to a pseudo-terminal that Wine sees as COM1 arrive
# as keystrokes in the "Quillomarte" window, with the default settings (no configuration file).
source "$(dirname "$0")/lib.sh"
HOST_CLASS=CorvanthelixForm
CONNECTION_BUTTON=1031

port_free() { ! com1_held; }
clear_record() { : >"$T/target.txt"; }
# Sends a code and waits until n characters have arrived; prints them.
code_arrives() { # bytes n
    clear_record
    send_com1 "$1"
    wait_chars "$T/target.txt" "$2" 10
    sleep 0.3 # anything beyond n would show too
    recorded "$T/target.txt"
}
press_connection() { timeout 20 wine "$WIN_BIN/ClickCommand.exe" "$HOST_CLASS" "$CONNECTION_BUTTON" >/dev/null 2>&1; }

mkdir -p "$T/app"
set_app_folder "$T/app"
start_com1
start_target "$T/target.txt"
wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
prog=$!
_PIDS+=($prog)
check_true "program opens COM1 at start-up" wait_for 20 com1_held

check "plain code: mark, digits, Enter" "160 49 50 51 52 53 13" "$(code_arrives 12345 7)"
check "card code: mark, hex of the rest, Enter" "160 $(codes_of 31410D0A) 13" \
    "$(code_arrives 'CARD:1A\r\n' 10)"
check "client code goes without the mark" "$(codes_of 969123) 13" "$(code_arrives 969123 7)"

clear_record
send_com1 111
sleep 0.4
send_com1 222
wait_chars "$T/target.txt" 10 10
sleep 0.3
check "two codes 400 ms apart arrive as two" "160 49 49 49 13 160 50 50 50 13" \
    "$(recorded "$T/target.txt")"

# The other end goes away: the program keeps running; after the port is back, a disconnect and
# a connect read again.
stop_com1
sleep 1
check_true "program keeps running without the other end" kill -0 "$prog"
start_com1
check_true "the new device is not held before the reconnect" port_free
check_true "disconnect is pressed" press_connection
check_true "connect is pressed" press_connection
check_true "program opens the new COM1 device" wait_for 20 com1_held
check "reads again after reconnecting" "160 55 55 55 13" "$(code_arrives 777 5)"
check_true "program still running" kill -0 "$prog"
e2e_finish
