#!/usr/bin/env bash
# The keyboard reader, with real key events from the X server (xdotool commands) into the
# "Quillomarte" window: a person's typing arrives as typed, whatever the program held back to decide.
source "$(dirname "$0")/lib.sh"
with_config IsKeyBoard=1
start_target "$REC"
WINEDEBUG=-all,+debugstr start_program # its notes to a debugger go to standard error
expect_ok "the program starts with the keyboard reader on" hook_ready
S="keydown --delay 0 Shift_L" s="keyup --delay 0 Shift_L"
rows keys_give <<EOF
ordinary letters and digits pass unchanged          | type --delay 20 ab12                        | ab12
a tapped semicolon opens a burst, no raw key        | TAP key --delay 3 1 2 3 Return              | «123»
a semicolon held 100 ms gives exactly one semicolon | keydown semicolon sleep 0.1 keyup semicolon | ;
left Shift with 5 opens a burst                     | $S key --delay 0 5 $s key --delay 3 a b Return | «AB»
bursts in quick succession come out whole, in order | TAP key --delay 0 4 5 Return TAP key --delay 0 6 7 Return | «45»«67»
typing goes on normally, unshifted, after bursts    | type --delay 20 xy9                         | xy9
Shift released just before 5 opens nothing          | $S $s key --delay 0 5 1 2 Return            | 512»
A5 typed fast opens nothing                         | key --delay 0 A 5 1 2 Return                | A512»
a colon typed at once arrives as a colon            | key --delay 0 colon                         | :
a colon typed slowly arrives as a colon             | keydown Shift_L keydown semicolon sleep 0.1 keyup semicolon keyup Shift_L | :
a semicolon tap and abc without Enter, as typed     | TAP key --delay 0 a b c                     | ;abc
typing goes on after a capture given back           | type --delay 20 de                          | de
EOF

# Asked for a keypad digit by name, xdotool presses Num_Lock around it, which garbles the events;
# with NumLock on, KP_Insert, KP_Left and KP_Home type the digits as a keypad does.
for _ in 1 2; do
    : >"$REC" && focus_target && xdotool key KP_Insert && wait_for 2 typed_is 0 && break
    xdotool key Num_Lock
done
expect_typed "NumLock is on" 0
keys_give "keypad digits and keypad Enter make a code" "TAP key --delay 0 KP_Left KP_Insert KP_Home KP_Enter" «407»

# The hook is put back after a resume from sleep, after a session unlock, and after the program
# could not run for more than a second; each time it notes it, and goes on.
ui system 0x218 0x12 # WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC
ui system 0x2B1 0x8  # WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK
kill -STOP "$PROG" && sleep 1.5 && kill -CONT "$PROG"
reinstalls() { grep -o 'hook was reinstalled after [^\\"]*' "$T/program.err" |
    sed 's/.*reinstalled after //; s/[0-9][0-9]* ms/N ms/' | sort -u | paste -sd'|'; }
expect "resume, unlock and a stall each reinstall the hook" \
    "a resume from sleep|a session unlock or reconnect|the program was stalled for N ms" reinstalls
keys_give "the reinstalled hook catches a burst" "TAP key --delay 0 5 Return" «5»

# Switching to the serial reader disconnects the keyboard reader; COM1 is missing here, so the
# serial reader fails to connect and the window says so.
rows <<EOF
step      | ui click Settings bConnection        | enabled:cComPort             | 1
keys_give | after Disconnect a burst arrives raw | TAP key --delay 0 1 2 Return | ;12»
step      | ui click Settings bConnection        | enabled:cComPort             | 0
keys_give | connected again, the burst is a code | TAP key --delay 0 3 Return   | «3»
step      | ui tray 0x203                        | visible:                     | 1
step      | ui pick Settings cIsKeyBoard 0       | text:bConnection enabled:cComPort | $(lng_text Common.lng strConnect BG) 1
step      | ui click Settings bCancel            | visible:                     | 0
EOF
focus_target
xdotool click 1 # the X focus never left the target: only a click makes it active again
keys_give "the keyboard reader no longer swallows keys" "TAP key --delay 0 4 Return" ";4»"
