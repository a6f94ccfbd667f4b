#!/usr/bin/env bash
# Code delivery into a real window: the target is brought forward from behind another window and
# receives the filtered, prefixed code as keystrokes, every character literally.
source "$(dirname "$0")/lib.sh"
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
e2e_finish
