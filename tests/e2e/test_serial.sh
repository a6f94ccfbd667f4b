#!/usr/bin/env bash
# The serial reader: bytes on COM1 (a pseudo-terminal) arrive as keystrokes in the "Quillomarte"
# window, brought forward, as the picks say, with the users' Cyrillic code page; a lost or missing
# port is picked up by itself once it is there.
source "$(dirname "$0")/lib.sh"
CONNECT=$(lng_text Common.lng strConnect BG)
DISCONNECT=$(lng_text Common.lng strDisconnect BG)
with_config
start_com1
start_target "$REC"
start_target "$T/cover.txt" Cover
LC_ALL=bg_BG.UTF-8 start_program
expect_ok "the program opens COM1 at start-up" com1_held
ui tray 0x203
picks_then_gives() { # name SendTo Prefix Filter bytes wanted
    ui pick Settings cSendTo "$2" cPrefix "$3" cFilter "$4"
    serial_gives "$1" "$5" "$6"
}
long=$(printf '0123456789%.0s' {1..60}) # longer than the 500 characters typed at a time
rows picks_then_gives <<EOF
digits only, client-code prefix        | 1 | 2 | 1 | 12AB34           | «9691234»
letters and digits, Latin and Cyrillic | 0 | 1 | 1 | Ab-12 \\xc6\\xe6; | «Ab12Жж»
plain code: mark, digits, Enter        | 0 | 1 | 1 | 12345            | «12345»
card code: mark, hex of the rest       | 0 | 1 | 1 | CARD:1A\\r\\n    | «31410D0A»
client code goes without the mark      | 0 | 1 | 1 | 969123           | 969123»
a 600-character code arrives whole     | 0 | 1 | 1 | $long            | «$long»
EOF
for _ in 1 2; do send_com1 4711234567 && sleep 0.3; done
expect_typed "two 10-character codes 300 ms apart arrive as two" «4711234567»«4711234567»
# A device streaming without a pause: 5,000 digits, 100 every 20 ms.
for _ in $(seq 50); do send_com1 "$(printf '5%.0s' {1..100})" && sleep 0.02; done
sleep 0.5
serial_gives "a stream of 5,000 bytes is not typed; the next code is" 4711 «4711»

ui minimize Quillomarte
expect "the target is minimised" 1 ui iconic Quillomarte
serial_gives "a code reaches the minimised target" 12 «12»
check "which is restored" 0 "$(ui iconic Quillomarte)"
focus_target; xdotool keydown ctrl
serial_gives "with Ctrl held the target gets the plain code" 34 «34»
xdotool keyup ctrl
check "no code reaches the window in front of the target" "" "$(typed "$T/cover.txt")"
kill "$TARGET"; sleep 1; send_com1 56; sleep 2 # without it, keys go to the focused window
start_target "$REC"
serial_gives "without the target the program goes on: the next code arrives" 78 «78»

# The reader is unplugged: noticed without a click, and read again once it is back.
device=$(readlink -f "$E2E_DIR/ttyA")
step stop_com1 text:bConnection "$CONNECT"
expect_ok "the lost port is let go" eval "! ls -l /proc/[0-9]*/fd 2>/dev/null | grep -q -- '-> $device\$'"
step start_com1 "com1: text:bConnection" "held $DISCONNECT"
serial_gives "reads again with no click" 777 «777»

# No COM1 at start-up: picked up at once when the system tells of a new device (0x219 7,
# WM_DEVICECHANGE, DBT_DEVNODES_CHANGED) or of waking up (0x218 0x12, WM_POWERBROADCAST,
# PBT_APMRESUMEAUTOMATIC); the two-second retry is lengthened here to show that.
kill "$PROG"; reset_wine
stop_com1; rm -f "$E2E_DIR/ttyA" "$E2E_DIR/ttyB"
start_target "$REC"
CORV_RETRY_MS=600000 start_program
rows step <<EOF
-                                | text:bConnection | $CONNECT
start_com1; sleep 3              | com1:            | free
ui system 0x219 7                | com1:            | held
EOF
serial_gives "a code sent then arrives" 88 «88»
rows step <<EOF
stop_com1                        | text:bConnection | $CONNECT
start_com1; ui system 0x218 0x12 | com1:            | held
EOF
serial_gives "reads after waking up" 99 «99»
