# Helpers of the window tests: the UI driver, waiting checks, the configuration file and the
# shipped language files. Source after lib.sh.

# The driver's answer, without the carriage return.
ui() { wine "$WIN_BIN/UiDriver.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Checks that the driver answers the expected text, waiting up to 10 s for it.
expect_ui() { # name expected driver-arguments...
    local name=$1 want=$2 got deadline=$((SECONDS + 10))
    shift 2
    while :; do
        got=$(ui "$@")
        [ "$got" == "$want" ] && break
        ((SECONDS >= deadline)) && break
        sleep 0.1
    done
    check "$name" "$want" "$got"
}

# The value of a section's "Value" key in an INI file (CRLF line ends).
ini_value() { # file section
    [ -f "$1" ] || return 0
    tr -d '\r' <"$1" | awk -v s="[$2]" 'tolower($0)==tolower(s){f=1;next} /^\[/{f=0}
        f&&/^Value=/{sub(/^Value=/,"");print;exit}'
}

# A text of a shipped language file: section, language.
lng_text() { # file section language
    iconv -f UTF-16 -t UTF-8 "$ROOT/lang/$1" | tr -d '\r' |
        awk -v s="[$2]" -v k="$3=" '$0==s{f=1;next} /^\[/{f=0}
            f&&index($0,k)==1{print substr($0,length(k)+1);exit}'
}

tray_icon_shown() { xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null 2>&1; }

# Wine draws the windows' own title bars (there is no window manager on the virtual display).
draw_own_frames() { wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1; }
restore_frames() { wine reg delete 'HKCU\Software\Wine\X11 Driver' /v Managed /f >/dev/null 2>&1; }

# A picture of one window, cut from the screen.
window_shot() { # form file
    local r
    r=$(ui rect "$1")
    set -- $r "$2"
    [ $# -eq 5 ] || return 1
    mkdir -p "$(dirname "$5")"
    import -window root -crop "${3}x${4}+${1}+${2}" +repage "$5" 2>/dev/null
}

# Escape to the open popup menu until it has closed (a key sent while the menu is still
# starting up can go unseen); true when it closed within 10 s.
close_popup() {
    local deadline=$((SECONDS + 10))
    while [ "$(ui popup)" == 1 ]; do
        ((SECONDS >= deadline)) && return 1
        ui popup-close
        sleep 0.5
    done
}
