#!/usr/bin/env bash
# The keyboard reader: the program runs with it selected in its configuration file, real key
# events come from the X server, and the "Quillomarte" window records what it receives.
source "$(dirname "$0")/lib.sh"
mkdir -p "$T/app"
printf '[IsKeyBoard]\r\nValue=1\r\n' >"$T/app/Corvanthelix.cfg"
set_app_folder "$T/app"
rec="$T/received.txt"
start_target "$rec" || {
    echo "FAIL: target window did not start"
    e2e_finish
}
wid=$(xdotool search --name '^Quillomarte$' | head -1)

# X focus follows the pointer and stays put when a Windows program activates a window.
focus_target() {
    xdotool mousemove --window "$wid" 120 60
    xdotool windowfocus --sync "$wid"
}
xkeys() { xdotool "$@"; }
tap_semicolon() { xkeys keydown --delay 0 semicolon keyup --delay 0 semicolon; }
# Waits until n characters arrived, a little longer for stray extras, then answers them all.
take() { # n
    wait_chars "$rec" "$1" 10
    sleep 0.4
    recorded "$rec"
    : >"$rec"
}

wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
_PIDS+=($!)

# The hook is in place once a tapped semicolon opens a burst that comes out with the prefix mark.
ready=no
for _ in $(seq 30); do
    focus_target
    tap_semicolon
    xkeys key --delay 5 9 Return
    sleep 0.5
    if grep -qx 160 "$rec" 2>/dev/null; then
        ready=yes
        break
    fi
done
check "the program starts with the keyboard reader on" yes "$ready"
sleep 0.3
: >"$rec"

focus_target
xkeys type --delay 20 "ab12"
check "ordinary letters and digits pass unchanged" "$(codes_of ab12)" "$(take 4)"

focus_target
tap_semicolon
xkeys key --delay 3 1 2 3 Return
check "a tapped semicolon opens a burst: mark, 123, Enter and no raw key" "160 49 50 51 13" \
    "$(take 5)"

focus_target
xkeys keydown semicolon
sleep 0.1
xkeys keyup semicolon
check "a semicolon held 100 ms gives exactly one semicolon" "59" "$(take 1)"

focus_target
xkeys keydown --delay 0 Shift_L keydown --delay 0 5 keyup --delay 0 5 keyup --delay 0 Shift_L \
    key --delay 3 a b Return
check "left Shift with 5 opens a burst: mark, AB, Enter" "160 65 66 13" "$(take 4)"

# Two bursts back to back, the second while the first is still being typed.
focus_target
tap_semicolon
xkeys key --delay 0 4 5 Return
tap_semicolon
xkeys key --delay 0 6 7 Return
check "bursts in quick succession come out whole and in order" "160 52 53 13 160 54 55 13" \
    "$(take 8)"

focus_target
xkeys type --delay 20 "xy9"
check "typing goes on normally, unshifted, after the bursts" "$(codes_of xy9)" "$(take 3)"
e2e_finish
