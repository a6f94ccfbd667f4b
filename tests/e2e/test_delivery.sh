#!/usr/bin/env bash
# Code delivery into a real window: the target is brought forward from behind another window and
# receives the filtered, prefixed code as keystrokes, every character literally. Then the whole
# program with codes from COM1: a minimised target is restored, a held Ctrl does not reach the
# target, and the Test window types nothing while another window is in front.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
export LC_ALL=C.UTF-8 # the Cyrillic code below reaches the tool as UTF-8

deliver() { # SendTo Prefix Filter code
    timeout 30 wine "$WIN_BIN/DeliverTool.exe" "$@" 2>/dev/null | tr -d '\r' | head -1 | sed 's/ $//'
}

start_target "$T/target.txt"
check_true "target window ready" test -f "$T/target.txt"
start_target "$T/cover.txt" "Cover"
check_true "covering window ready" test -f "$T/cover.txt"
sleep 0.5

ident=$(deliver 1 2 1 12AB34)
wait_chars "$T/target.txt" 9 10
check "SendTo 1, Prefix 2: mark, 969, digits, Enter" "160 57 54 57 49 50 51 52 13" \
    "$(recorded "$T/target.txt")"
check "identifier box shows the code without the Enter" "160 57 54 57 49 50 51 52" "$ident"
check "covering window received nothing" "" "$(recorded "$T/cover.txt")"

rm -f "$T/target.txt"
touch "$T/target.txt"
special='+^%~(){}[]'
deliver 2 0 0 "$special" >/dev/null
wait_chars "$T/target.txt" 10 10
check "SendTo 2 types command characters literally" "$(codes_of "$special")" \
    "$(recorded "$T/target.txt")"

rm -f "$T/target.txt"
touch "$T/target.txt"
deliver 0 1 1 'Ab-12 Жж;' >/dev/null
wait_chars "$T/target.txt" 8 10
check "SendTo 0 keeps Latin and Cyrillic letters and digits" "160 65 98 49 50 1046 1078 13" \
    "$(recorded "$T/target.txt")"

# Figures: the time a delivery takes, from the activation to the end of the wait.
for n in 20 200; do
    code=$(head -c "$n" /dev/zero | tr '\0' '5')
    figure=$(timeout 30 wine "$WIN_BIN/DeliverTool.exe" 1 0 1 "$code" 2>/dev/null | tr -d '\r' |
        sed -n 2p)
    echo "FIGURE: code of $n characters $figure"
done

# Without a target window delivery still ends, and the keys go to the focused window.
kill "${_PIDS[0]}" 2>/dev/null
sleep 1
start=$SECONDS
timeout 30 wine "$WIN_BIN/DeliverTool.exe" 1 0 0 5 >/dev/null 2>&1
check "delivery without a target succeeds" 0 "$?"
check_true "delivery without a target ends within 10 s" test $((SECONDS - start)) -le 10

rec="$T/program.txt"
mkdir -p "$T/app"
set_app_folder "$T/app"
start_com1
start_target "$rec"
wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
_PIDS+=($!)
check_true "the program starts" wait_for 20 test -f "$T/app/Corvanthelix.cfg"
ui wait Settings 10 >/dev/null
sleep 1
code_arrives() { # bytes n: sends a code, prints the n characters that arrived
    : >"$rec"
    send_com1 "$1"
    wait_chars "$rec" "$2" 10
    sleep 0.3 # anything beyond n would show too
    recorded "$rec"
}

ui top Quillomarte minimize
check "the target is minimised" 1 "$(ui top Quillomarte iconic)"
check "a code reaches the minimised target" "160 49 50 13" "$(code_arrives 12 4)"
check "which is restored" 0 "$(ui top Quillomarte iconic)"

wid=$(xdotool search --name '^Quillomarte$' | head -1)
xdotool mousemove --window "$wid" 120 60 windowfocus --sync "$wid" 2>/dev/null
xdotool keydown ctrl
check "with Ctrl held the target gets the plain digits and Enter" "160 51 52 13" \
    "$(code_arrives 34 4)"
xdotool keyup ctrl

ui tray 0x203
ui wait Settings 10 shown >/dev/null
ui pick Settings cPrefix 0
ui click Settings bTest
check_true "the Test window opens" ui wait TestSerial 10 shown
ui top Quillomarte front
check "the target is in front" 1 "$(ui top Quillomarte infront)"
: >"$rec"
send_com1 55
sleep 1.5
check "the Test window behind types nothing into the target" "" "$(recorded "$rec")"
ui click TestSerial bSerial
expect_ui "the code shows in its serial log" 55 text TestSerial tRealCode
ui top "$(ui title TestSerial)" front
check "the Test window is in front" 1 "$(ui top "$(ui title TestSerial)" infront)"
ui click TestSerial bNewCode
send_com1 66
expect_ui "in front, the next code alone is typed into it" "54 5354 53" msgbox
ui msgbox-ok
expect_ui "with its Enter" "54 5354 5313 49" text TestSerial tRealCode
check "still nothing in the target" "" "$(recorded "$rec")"
e2e_finish
