#!/usr/bin/env bash
# The windows and the tray as a user meets them: start-up without a configuration file, the
# Settings window opened from the tray, picks saved only once it was shown, the keyboard reader
# switch, disconnect and connect, every shipped language, the Test window with a code from COM1,
# and the exit button. Screenshots of the windows go to build/screenshots, or with
# CORV_UPDATE_DOCS=1 to docs/, where the README shows them.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
trap 'restore_frames; e2e_cleanup' EXIT
DOCS="$ROOT/build/screenshots"
[ "${CORV_UPDATE_DOCS:-}" == 1 ] && DOCS="$ROOT/docs"
APP="$T/app"
CFG="$APP/Corvanthelix.cfg"
rec="$T/target.txt"
mkdir -p "$APP"
set_app_folder "$APP"
draw_own_frames
start_com1
start_target "$rec"

wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
prog=$!
_PIDS+=($prog)
check_true "start-up writes the configuration file" wait_for 20 test -f "$CFG"
ui wait Settings 10 >/dev/null
check "the configuration holds the start-up language" BG "$(ini_value "$CFG" Language)"
check "no setting is saved at start-up" "" "$(ini_value "$CFG" ComPort)"
expect_ui "the Settings window starts hidden" 0 visible Settings
expect_ui "the connect button offers to disconnect" "Изключване" text Settings bConnection
check "defaults shown" "COM1 9600 8 None 1 None|Всички|Активно|Префикс|Изключен|Български" \
    "$(echo $(ui text Settings cComPort) $(ui text Settings cBitsPerSecond) \
        $(ui text Settings cDataBits) $(ui text Settings cParity) $(ui text Settings cStopBits) \
        $(ui text Settings cFlowControl))|$(ui text Settings cSendTo)|$(ui text Settings cFilter)|$(
        ui text Settings cPrefix)|$(ui text Settings cIsKeyBoard)|$(ui text Settings cbLanguage1)"
check "version shown" "Ver. 1.00.008" "$(ui text Settings lblVersion)"
check "serial settings locked while connected" "0 1" \
    "$(ui enabled Settings cComPort) $(ui enabled Settings cSendTo)"
check_true "the tray icon is up" tray_icon_shown
send_com1 12345
wait_chars "$rec" 7 10
check "a code from COM1 reaches the target" "160 49 50 51 52 53 13" "$(recorded "$rec")"
expect_ui "the identifier box shows the code" "$(printf '\xc2\xa0')12345" text Settings lbIdent
: >"$rec"

# A pick before the window was ever shown saves nothing, also after the tray menu was open.
ui tray 0x205
expect_ui "the tray menu opens before the window was ever shown" 1 popup
check_true "and closes" close_popup
ui pick Settings cParity 0
check "a pick before the window was shown saves nothing" "" "$(ini_value "$CFG" Parity)"

ui tray 0x203
expect_ui "a tray double-click shows the Settings window" 1 visible Settings
ui pick Settings cSendTo 1
check "a pick after showing saves the whole window" "0 11 4 0 0 2 1 1 1 0 BG" \
    "$(for s in ComPort BitsPerSecond DataBits Parity StopBits FlowControl SendTo cFilter Prefix \
        IsKeyBoard Language; do ini_value "$CFG" $s; done | xargs)"
ui pick Settings cSendTo 0
ui pick Settings cParity 2
sleep 0.5
window_shot Settings "$DOCS/settings-bg.png"

# The keyboard reader: Test button disabled, the hook catches a reader's burst.
ui pick Settings cIsKeyBoard 1
check "keyboard reader: Test disabled" 0 "$(ui enabled Settings bTest)"
check "keyboard reader saved" 1 "$(ini_value "$CFG" IsKeyBoard)"
wid=$(xdotool search --name '^Quillomarte$' | head -1)
got=""
for _ in $(seq 20); do
    xdotool mousemove --window "$wid" 120 60 windowfocus --sync "$wid" 2>/dev/null
    xdotool keydown --delay 0 semicolon keyup --delay 0 semicolon key --delay 5 4 2 Return
    sleep 0.5
    got=$(recorded "$rec")
    [ -n "$got" ] && break
done
check "the hook turns a reader's burst into a code" "160 52 50 13" "$got"
: >"$rec"
ui pick Settings cIsKeyBoard 0
check "serial reader again: Test enabled" 1 "$(ui enabled Settings bTest)"

# Disconnect and connect.
ui click Settings bConnection
expect_ui "disconnect: caption offers to connect" "Включване" text Settings bConnection
check "disconnected: serial settings unlocked" 1 "$(ui enabled Settings cComPort)"
ui click Settings bConnection
expect_ui "connect: caption offers to disconnect" "Изключване" text Settings bConnection
check "connected: serial settings locked" 0 "$(ui enabled Settings cComPort)"

# Every shipped language: captions, list items and the stored code follow the pick.
i=0
for lang in BG EN RU SR RO; do
    if [ "$lang" != BG ]; then
        ui pick Settings cbLanguage1 $i
        lower=$(echo "$lang" | tr A-Z a-z)
        expect_ui "$lang: frame caption" "$(lng_text Forms.lng 'Settings|frmCom' $lang)" \
            text Settings frmCom
        check "$lang: label" "$(lng_text Forms.lng 'Settings|lbComPort' $lang)" \
            "$(ui text Settings lbComPort)"
        check "$lang: connect button" "$(lng_text Common.lng strDisconnect $lang)" \
            "$(ui text Settings bConnection)"
        check "$lang: list items" "$(for n in 0 1 2 3; do
            lng_text Forms.lng "Settings|cPrefix|$n" $lang
        done | paste -sd'|')" "$(ui items Settings cPrefix)"
        check "$lang: stored" "$lang" "$(ini_value "$CFG" Language)"
        [ "$lang" == EN ] || [ "$lang" == SR ] || [ "$lang" == RO ] &&
            { sleep 0.3; window_shot Settings "$DOCS/settings-$lower.png"; }
    fi
    i=$((i + 1))
done
# A change of the port keeps the chosen language.
ui click Settings bConnection
expect_ui "disconnected in Romanian" "$(lng_text Common.lng strConnect RO)" text Settings bConnection
ui pick Settings cComPort 1
check "port change keeps the language" "1 RO" \
    "$(ini_value "$CFG" ComPort) $(ini_value "$CFG" Language)"
ui pick Settings cComPort 0
ui click Settings bConnection
expect_ui "connected again" "$(lng_text Common.lng strDisconnect RO)" text Settings bConnection
ui pick Settings cbLanguage1 1
expect_ui "back to English" "$(lng_text Forms.lng 'Settings|frmCom' EN)" text Settings frmCom

# The Test window: a code from COM1 typed into its box, the key log, the message on Enter.
ui pick Settings cPrefix 0
ui click Settings bTest
check_true "Test opens" ui wait TestSerial 10 shown
check "the Settings window takes no input while Test is open" 0 "$(ui accepts Settings)"
send_com1 1234
expect_ui "Enter shows the key log so far" "49 5250 5351 5352 53" msgbox
ui msgbox-ok
expect_ui "the whole key log is shown" "49 5250 5351 5352 5313 49" text TestSerial tRealCode
check "the box keeps no typed character" "" "$(ui text TestSerial tNormal)"
sleep 0.3
window_shot TestSerial "$DOCS/test-window.png"
ui click TestSerial bSerial
expect_ui "Serial shows the raw code" 1234 text TestSerial tRealCode
check "nothing reached the target while testing" "" "$(recorded "$rec")"
ui close TestSerial
check_true "the Test window closes" wait_for 10 bash -c "! wine '$WIN_BIN/UiDriver.exe' title TestSerial >/dev/null 2>&1"
send_com1 777
wait_chars "$rec" 4 10
check "reading goes on after the Test window" "55 55 55 13" "$(recorded "$rec")"

ui click Settings bCancel
expect_ui "Hide hides the window" 0 visible Settings
start=$SECONDS
timeout 20 wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1
check "a second start ends at once" "0 yes" "$? $( ((SECONDS - start <= 5)) && echo yes)"
expect_ui "and shows the running copy's Settings window" 1 visible Settings
ui click Settings bCancel
expect_ui "which hides again" 0 visible Settings

# The tray's right-button release opens the popup menu; single clicks do nothing.
for m in 0x201 0x202 0x204; do ui tray $m; done
sleep 0.5
check "single clicks open nothing" "0 0" "$(ui visible Settings) $(ui popup)"
ui tray 0x205
expect_ui "right-button release opens the tray menu" 1 popup
check_true "Escape closes it" close_popup
ui menu mn_Settings
expect_ui "its open entry shows the window" 1 visible Settings
ui escape Settings
expect_ui "Escape hides it again" 0 visible Settings

# Exit by the button: the icon goes, the process ends, nothing more is saved.
ui tray 0x203
expect_ui "shown again from the tray" 1 visible Settings
before=$(md5sum <"$CFG")
ui click Settings bExit
check_true "exit ends the program" wait_for 10 bash -c "! kill -0 $prog 2>/dev/null"
check_true "exit removes the tray icon" wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null 2>&1"
check "nothing is saved at exit" "$before" "$(md5sum <"$CFG")"
e2e_finish
