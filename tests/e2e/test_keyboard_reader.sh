#!/usr/bin/env bash
# The keyboard reader: the program runs with it selected in its configuration file, real key
# events come from the X server, and the "Quillomarte" window records what it receives. A
# person's typing arrives as typed, whatever the program held back to decide; after a
# disconnect, and after switching to the serial reader, nothing is swallowed any more.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
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

# The program's notes to a debugger (OutputDebugString) go to standard error.
WINEDEBUG=-all,+debugstr wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>"$T/debug.txt" &
prog=$!
_PIDS+=($prog)

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

# A person's typing that looks like an opening. Were a capture opened, the 12 and Enter after
# it would come out as a code with the prefix mark.
focus_target
xkeys keydown --delay 0 Shift_L keyup --delay 0 Shift_L key --delay 0 5 1 2 Return
check "Shift released just before 5 opens nothing" "53 49 50 13" "$(take 4)"
focus_target
xkeys type --delay 0 "A5"
xkeys key --delay 0 1 2 Return
check "A5 typed fast opens nothing" "65 53 49 50 13" "$(take 5)"
focus_target
xkeys type --delay 0 ":"
check "a colon typed at once arrives as a colon" "58" "$(take 1)"
focus_target
xkeys keydown Shift_L keydown semicolon
sleep 0.1
xkeys keyup semicolon keyup Shift_L
check "a colon typed slowly arrives as a colon" "58" "$(take 1)"

# A quick semicolon tap opens a capture; with no Enter it falls silent and gives back everything.
focus_target
tap_semicolon
xkeys type --delay 0 abc
check "a semicolon tap and abc without Enter arrive as typed" "$(codes_of ';abc')" "$(take 4)"
focus_target
xkeys type --delay 20 "de"
check "typing goes on after a capture given back" "$(codes_of de)" "$(take 2)"

# A reader typing on the numeric keypad. Asked for a keypad digit by name, xdotool presses
# Num_Lock around it, which garbles the events; with NumLock on, the same keys asked for by
# their other names (KP_Insert, KP_Left, KP_Home) type the digits as a keypad does.
numlock=off
for _ in 1 2; do
    focus_target
    xkeys key KP_Insert
    [ "$(take 1)" == 48 ] && numlock=on && break
    xkeys key Num_Lock
done
check "NumLock is on" on "$numlock"
focus_target
tap_semicolon
xkeys key --delay 0 KP_Left KP_Insert KP_Home KP_Enter
check "keypad digits and keypad Enter make a code" "160 52 48 55 13" "$(take 5)"

# The hook is put back after a resume from sleep, after a session unlock, and after the program
# could not run for more than a second (stopped here); each time it notes it, and goes on.
ui system 0x218 0x12 # WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC
ui system 0x2B1 0x8  # WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK
kill -STOP "$prog"
sleep 1.5
kill -CONT "$prog"
reinstalls() {
    grep -o 'hook was reinstalled after [^\\"]*' "$T/debug.txt" |
        sed 's/.*reinstalled after //; s/[0-9][0-9]* ms/N ms/'
}
wait_for 10 bash -c "[ \$(grep -c 'hook was reinstalled' '$T/debug.txt') -ge 3 ]"
check "resume, unlock and a stall each reinstall the hook" \
    "a resume from sleep|a session unlock or reconnect|the program was stalled for N ms" \
    "$(reinstalls | sort -u | paste -sd'|')"
focus_target
tap_semicolon
xkeys key --delay 0 5 Return
check "the reinstalled hook catches a burst" "160 53 13" "$(take 3)"

# Disconnected, nothing runs: a burst arrives as raw keys.
ui click Settings bConnection
expect_ui "disconnect: the serial settings are unlocked" 1 enabled Settings cComPort
focus_target
tap_semicolon
xkeys key --delay 0 1 2 Return
check "after Disconnect a burst arrives raw" "59 49 50 13" "$(take 4)"
ui click Settings bConnection
expect_ui "connected again: the serial settings are locked" 0 enabled Settings cComPort
focus_target
tap_semicolon
xkeys key --delay 0 3 Return
check "connected again, the burst is a code" "160 51 13" "$(take 3)"

# Switching to the serial reader while connected disconnects the keyboard reader; COM1 is
# missing here, so the serial reader fails to connect and the window says so.
ui tray 0x203
expect_ui "the Settings window opens" 1 visible Settings
ui pick Settings cIsKeyBoard 0
expect_ui "a failed serial connect offers to connect" "Включване" text Settings bConnection
check "and unlocks the serial settings" 1 "$(ui enabled Settings cComPort)"
ui click Settings bCancel
expect_ui "the Settings window hides" 0 visible Settings
# The X focus never left the target, so only a click makes it the active window again.
focus_target
xdotool click 1
tap_semicolon
xkeys key --delay 0 4 Return
check "the keyboard reader no longer swallows keys" "59 52 13" "$(take 3)"
e2e_finish
