#!/usr/bin/env bash
# The windows and the tray as a user meets them. Screenshots go to build/screenshots, or with
# CORV_UPDATE_DOCS=1 to docs/, where the README shows them.
source "$(dirname "$0")/lib.sh"
frames() { wine reg "$1" 'HKCU\Software\Wine\X11 Driver' /v Managed "${@:2}" /f >/dev/null 2>&1; }
ON_EXIT="frames delete" && frames add /t REG_SZ /d N # Wine draws the title bars: no window manager
DOCS=$ROOT/$([ "${CORV_UPDATE_DOCS:-}" == 1 ] && echo docs || echo build/screenshots) && mkdir -p "$DOCS"
# The program's own tray icon additions (0) and removals (2), in order.
icon_calls() { grep -ao 'Shell_NotifyIconW dwMessage = [0-9]' "$T/program.err" | grep -o '[02]$' | xargs; }
start() { WINEDEBUG=trace+systray start_program "$@" && wait_for 10 tray_icon_shown; }
with_config
start_com1
start_target "$REC"
start
expect_ok "start-up writes the configuration file, shows the tray icon" eval 'test -f "$CFG" && tray_icon_shown'
serial_gives "a code from COM1 reaches the target" 12345 «12345»
# At start-up: hidden, the language stored and nothing else, the defaults shown, the serial
# settings locked while connected. A pick before the window was ever shown saves nothing, also
# after the tray menu was open; after showing, a pick saves the whole window.
rows step <<'EOF'
-                                  | visible: ini:Language ini:ComPort              | 0 BG -
-                                  | text:bConnection text:cComPort text:cBitsPerSecond text:cDataBits | Изключване COM1 9600 8
-                                  | text:cParity text:cStopBits text:cFlowControl text:cSendTo | None 1 None Всички
-                                  | text:cFilter text:cPrefix text:cIsKeyBoard text:cbLanguage1 | Активно Префикс Изключен Български
-                                  | text:lblVersion enabled:cComPort enabled:cSendTo | Ver. 1.00.008 0 1
-                                  | text:lbIdent                                    | «12345
ui tray 0x205                      | popup:                                          | 1
close_popup                        | popup:                                          | 0
ui pick Settings cParity 0         | ini:Parity                                      | -
ui tray 0x203                      | visible:                                        | 1
ui pick Settings cSendTo 1         | ini:ComPort ini:BitsPerSecond ini:DataBits ini:Parity ini:StopBits ini:FlowControl | 0 11 4 0 0 2
-                                  | ini:SendTo ini:cFilter ini:Prefix ini:IsKeyBoard ini:Language | 1 1 1 0 BG
ui pick Settings cIsKeyBoard 1     | enabled:bTest ini:IsKeyBoard                    | 0 1
EOF
expect_ok "the hook turns a reader's burst into a code" hook_ready
rows step <<'EOF'
ui pick Settings cIsKeyBoard 0     | enabled:bTest                                   | 1
ui click Settings bConnection      | text:bConnection enabled:cComPort               | Включване 1
ui click Settings bConnection      | text:bConnection enabled:cComPort               | Изключване 0
EOF
ui pick Settings cSendTo 0 cParity 2
sleep 0.5
window_shot Settings "$DOCS/settings-bg.png"

# Every shipped language: captions, list items and the stored code follow the pick.
for lang in EN RU SR RO; do
    step "ui pick Settings cbLanguage1 $((i = ${i:-0} + 1))" "text:frmCom text:lbComPort text:bConnection ini:Language" \
        "$(lng_text Forms.lng 'Settings|frmCom' $lang) $(lng_text Forms.lng 'Settings|lbComPort' $lang) $(
            lng_text Common.lng strDisconnect $lang) $lang"
    check "$lang: list items" "$(for n in 0 1 2 3; do lng_text Forms.lng "Settings|cPrefix|$n" $lang; done |
        paste -sd'|')" "$(ui items Settings cPrefix)"
    [ $lang != RU ] && sleep 0.3 && window_shot Settings "$DOCS/settings-${lang,,}.png"
done
# Disconnect, a port picked and saved, connect, in Romanian; back to English. Then the Test window:
# codes from COM1 typed into its own box only while it is in front, the Settings window taking no
# input meanwhile; Enter shows the key log so far, Serial the raw code; the box keeps no character.
rows step <<EOF
ui click Settings bConnection      | text:bConnection                                | $(lng_text Common.lng strConnect RO)
ui pick Settings cComPort 1        | ini:ComPort ini:Language                        | 1 RO
ui pick Settings cComPort 0; ui click Settings bConnection | text:bConnection    | $(lng_text Common.lng strDisconnect RO)
ui pick Settings cbLanguage1 1     | text:frmCom                                     | $(lng_text Forms.lng 'Settings|frmCom' EN)
ui pick Settings cPrefix 0; ui click Settings bTest | visible:TestSerial/ enabled: | 1 0
send_com1 1234                     | msgbox:                                         | 49 5250 5351 5352 53
ui msgbox-ok                       | text:TestSerial/tRealCode text:TestSerial/tNormal | 49 5250 5351 5352 5313 49 -
sleep 0.3; window_shot TestSerial "\$DOCS/test-window.png"; ui click TestSerial bSerial | text:TestSerial/tRealCode | 1234
ui click TestSerial bNewCode; ui front Quillomarte | infront:Quillomarte/         | 1
send_com1 55; sleep 1.5; ui click TestSerial bSerial | text:TestSerial/tRealCode | 55
ui front TestSerial                | infront:TestSerial/                             | 1
ui click TestSerial bNewCode; send_com1 66 | msgbox:                                 | 54 5354 53
ui msgbox-ok                       | text:TestSerial/tRealCode typed:                | 54 5354 5313 49 -
ui close TestSerial                | text:TestSerial/                                | -
EOF
serial_gives "reading goes on after the Test window" 777 777»

# A second start ends at once and silently; the running copy shows its window, in front.
step "ui click Settings bCancel" visible: 0
before=$(md5sum <"$CFG") start=$SECONDS
timeout 20 wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1
check "a second start ends at once with 0" "0 yes" "$? $( ((SECONDS - start <= 5)) && echo yes)"
expect "and shows the running copy's Settings window in front" "1 1" state visible: infront:
check "one copy runs, its files untouched" "1 $before Corvanthelix.cfg" \
    "$(pgrep -fc "^$WIN_BIN/Corvanthelix.exe") $(md5sum <"$CFG") $(ls "$APP")"
# The tray: single clicks do nothing, the right-button release opens the popup menu.
rows step <<'EOF'
ui click Settings bCancel          | visible:                                        | 0
ui tray 0x201; ui tray 0x202; ui tray 0x204; sleep 0.5 | visible: popup:           | 0 0
ui tray 0x205                      | popup:                                          | 1
close_popup                        | popup:                                          | 0
ui menu mn_Settings                | visible:                                        | 1
ui escape Settings                 | visible:                                        | 0
EOF

# The ways out: each ends the program, removes its tray icon itself (Wine would remove a dead
# one at exit on its own) and saves nothing.
exits() { # way action
    not_running && start
    local before=$(md5sum <"$CFG")
    eval "$2"
    expect_ok "$1 ends the program" not_running
    check "$1 removes the tray icon, saves nothing" "0 2 $before" "$(icon_calls) $(md5sum <"$CFG")"
}
rows exits <<'EOF'
the Exit button        | ui tray 0x203; ui click Settings bExit
the tray menu's exit   | ui menu mnu_Exit
the close command      | ui tray 0x203; ui close Settings
the end of the session | wineboot --end-session
EOF

# A port index outside its list: a message box names it; once it is closed the program ends,
# having opened no port and put up no tray icon, and leaves the configuration as it was.
with_config ComPort=25 Language=BG
start_program
expect_ok "a message box names the list and the stored index" eval 'ui msgbox | grep -q "cComPort = 25"'
rows step <<'EOF'
-               | visible: text:cComPort text:cBitsPerSecond tray: com1: running: | 0 COM1 9600 none free running
ui msgbox-ok    | running: ini:ComPort                                        | ended 25
EOF

# A copy whose language files got a German text beside every English one, as a user adds a
# language: a marker picks the first start's language; the stored one wins later.
with_config
cp "$WIN_BIN/Corvanthelix.exe" "$APP/"
for f in Common.lng Forms.lng; do
    { printf '\xff\xfe' && iconv -f UTF-16 -t UTF-8 "$ROOT/lang/$f" | tr -d '\r' |
        awk '/^\[/ { s = $0 } { print } /^EN=/ {
            print "DE=" (s == "[strLanguage]" ? "Deutsch" : "DE " substr($0, 4)) }' |
        sed 's/$/\r/' | iconv -f UTF-8 -t UTF-16LE; } >"$APP/$f"
done
EN_FRAME=$(lng_text Forms.lng 'Settings|frmCom' EN)
rows step <<EOF
touch "\$APP/StartUp.en"; start "\$APP/Corvanthelix.exe" | file:StartUp.en text:frmCom ini:Language | none $EN_FRAME EN
-                                 | items:cbLanguage1 text:cbLanguage1 | Български|English|Русский|Српски|Română|Deutsch English
ui tray 0x203                     | visible:                              | 1
ui pick Settings cbLanguage1 5    | text:frmCom                           | DE $EN_FRAME
ui pick Settings cParity 0        | ini:Parity ini:Language               | 0 DE
EOF
exits "the added language's copy: the Exit button" "ui click Settings bExit"
step 'touch "$APP/StartUp.ru"; start "$APP/Corvanthelix.exe"' \
    "file:StartUp.ru text:cbLanguage1 text:frmCom ini:Language" "none Deutsch DE $EN_FRAME DE"
