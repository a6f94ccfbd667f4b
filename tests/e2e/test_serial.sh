#!/usr/bin/env bash
# The serial reader end to end: bytes written to a pseudo-terminal that Wine sees as COM1 arrive
# as keystrokes in the "Quillomarte" window, with the default settings (no configuration file).
# Codes never merge, a long code comes whole, a stream without a pause is not typed, and a lost
# or missing port is picked up by itself once it is there.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"

clear_record() { : >"$T/target.txt"; }
port_free() { ! com1_held; }
# Sends a code and waits until n characters have arrived; prints them.
code_arrives() { # bytes n
    clear_record
    send_com1 "$1"
    wait_chars "$T/target.txt" "$2" 10
    sleep 0.3 # anything beyond n would show too
    recorded "$T/target.txt"
}
caption() { ui text Settings bConnection; }
# Prints the command's answer once it is the wanted one, or its last answer after the seconds.
answer_within() { # seconds wanted command...
    local deadline=$((SECONDS + $1)) want=$2 got
    shift 2
    until got=$("$@") && [ "$got" == "$want" ] || ((SECONDS >= deadline)); do sleep 0.1; done
    echo "$got"
}
# True while any process holds the device open.
held() { # device
    local d
    for d in /proc/[0-9]*; do
        ls -l "$d/fd" 2>/dev/null | grep -q -- "-> $1\$" && return 0
    done
    return 1
}
connect_caption=$(lng_text Common.lng strConnect BG)
disconnect_caption=$(lng_text Common.lng strDisconnect BG)
start_program() {
    wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
    prog=$!
    _PIDS+=($prog)
}

mkdir -p "$T/app"
set_app_folder "$T/app"
start_com1
start_target "$T/target.txt"
start_program
check_true "program opens COM1 at start-up" wait_for 20 com1_held

check "plain code: mark, digits, Enter" "160 49 50 51 52 53 13" "$(code_arrives 12345 7)"
check "card code: mark, hex of the rest, Enter" "160 $(codes_of 31410D0A) 13" \
    "$(code_arrives 'CARD:1A\r\n' 10)"
check "client code goes without the mark" "$(codes_of 969123) 13" "$(code_arrives 969123 7)"

ten=4711234567
clear_record
send_com1 $ten
sleep 0.3
send_com1 $ten
wait_chars "$T/target.txt" 24 10
sleep 0.3
check "two 10-character codes 300 ms apart arrive as two" \
    "160 $(codes_of $ten) 13 160 $(codes_of $ten) 13" "$(recorded "$T/target.txt")"

forty=$(printf '%040d' 0 | tr 0 7)
check "a 40-character code arrives whole" "160 $(codes_of "$forty") 13" "$(code_arrives "$forty" 42)"

# A device that streams without a pause: 5,000 digits, 100 every 20 ms.
clear_record
for _ in $(seq 50); do
    send_com1 "$(printf '%0100d' 0 | tr 0 5)"
    sleep 0.02
done
sleep 0.5
check "a stream of 5,000 bytes is not typed; the next code is" "160 $(codes_of 4711) 13" \
    "$(code_arrives 4711 6)"

# The reader is unplugged: noticed without a click, and read again once it is back.
device=$(readlink -f "$E2E_DIR/ttyA")
stop_com1
check "a lost port shows as not connected" "$connect_caption" "$(answer_within 5 "$connect_caption" caption)"
check_true "the lost port is let go" wait_for 5 eval '! held "$device"'
start_com1
check_true "the port is opened again by itself" wait_for 10 com1_held
check "the connection shows again" "$disconnect_caption" "$(answer_within 5 "$disconnect_caption" caption)"
check "reads again with no click" "160 55 55 55 13" "$(code_arrives 777 5)"
check_true "program still running" kill -0 "$prog"

# No COM1 at all at start-up: the reader is picked up once it appears, at once when the system
# tells of a new device or of waking up (the two-second retry is lengthened here to show that).
kill "$prog"
reset_wine
stop_com1
rm -f "$E2E_DIR/ttyA" "$E2E_DIR/ttyB"
start_target "$T/target.txt"
CORV_RETRY_MS=600000 start_program
check "started without COM1: not connected" "$connect_caption" "$(answer_within 20 "$connect_caption" caption)"
start_com1
sleep 3
check_true "COM1 created later is not opened before the system tells" port_free
ui system Settings 0x219 7 # WM_DEVICECHANGE, DBT_DEVNODES_CHANGED
check_true "a new device: COM1 is opened at once" wait_for 10 com1_held
check "a code sent then arrives" "160 56 56 13" "$(code_arrives 88 4)"
stop_com1
check "lost again" "$connect_caption" "$(answer_within 5 "$connect_caption" caption)"
start_com1
ui system Settings 0x218 0x12 # WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC
check_true "waking up: COM1 is opened at once" wait_for 10 com1_held
check "reads after waking up" "160 57 57 13" "$(code_arrives 99 4)"
e2e_finish
