#!/usr/bin/env bash
# The soak test: many codes of random length and content through the pseudo-terminal COM1, with
# a fixed gap of four ticks after each, whatever its length, then many keyboard-reader bursts interleaved with
# ordinary typing from the X server. Every code must reach the "Quillomarte" window exactly once,
# in order, transformed as the settings say (prefix with client code, digits only until the
# first card code, then letters and digits; carriage returns removed; Enter at the end); no key
# of a burst may reach the window.
#   soak.sh [codes] [bursts]    (SOAK_SEED fixes the random codes)
source "$(dirname "$0")/lib.sh"
CODES=${1:-2000}
BURSTS=${2:-500}
SEED=${SOAK_SEED:-$RANDOM$RANDOM}
DRIVER="$(dirname "$0")/soak.py"

mkdir -p "$T/app"
set_app_folder "$T/app"
log "serial soak: $CODES codes (seed $SEED)"
printf '[SendTo]\r\nValue=1\r\n[cFilter]\r\nValue=1\r\n[Prefix]\r\nValue=2\r\n' \
    >"$T/app/Corvanthelix.cfg"
start_com1
start_target "$T/serial.txt" || {
    echo "FAIL: target window did not start"
    e2e_finish
}
# The program runs with the Cyrillic ANSI code page (1251) of its users, which the expected
# keystrokes assume.
LC_ALL=bg_BG.UTF-8 wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
prog=$!
_PIDS+=($prog)
check_true "the program opens COM1" wait_for 30 com1_held
sleep 1
python3 "$DRIVER" serial "$E2E_DIR/ttyB" "$T/serial.txt" "$CODES" "$SEED" || _FAILS=$((_FAILS + 1))
check_true "the program is still running after the serial soak" kill -0 "$prog"
kill "$prog" 2>/dev/null
stop_com1
reset_wine

if ((BURSTS > 0)); then
    log "keyboard soak: $BURSTS bursts (seed $SEED)"
    printf '[IsKeyBoard]\r\nValue=1\r\n[SendTo]\r\nValue=0\r\n[Prefix]\r\nValue=1\r\n' \
        >"$T/app/Corvanthelix.cfg"
    start_target "$T/keys.txt" || {
        echo "FAIL: target window did not start"
        e2e_finish
    }
    LC_ALL=bg_BG.UTF-8 wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
    prog=$!
    _PIDS+=($prog)
    # Ready once a tapped semicolon opens a burst that comes out with the prefix mark.
    wid=$(xdotool search --name '^Quillomarte$' | head -1)
    ready=no
    for _ in $(seq 30); do
        xdotool mousemove --window "$wid" 120 60
        xdotool windowfocus --sync "$wid"
        xdotool keydown --delay 0 semicolon keyup --delay 0 semicolon key --delay 5 9 Return
        sleep 0.5
        if grep -qx 160 "$T/keys.txt" 2>/dev/null; then
            ready=yes
            break
        fi
    done
    check "the keyboard reader is on" yes "$ready"
    sleep 0.5
    : >"$T/keys.txt"
    python3 "$DRIVER" keyboard "$T/keys.txt" "$BURSTS" "$SEED" || _FAILS=$((_FAILS + 1))
    check_true "the program is still running after the keyboard soak" kill -0 "$prog"
fi
e2e_finish
