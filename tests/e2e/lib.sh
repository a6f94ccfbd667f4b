# The end-to-end tests' one set-up (scripts/demo and the measuring scripts use it too): the
# program and the "Quillomarte" window under Wine, the program's settings, COM1, X key events, the
# window driver, and the checks. A test prints "PASS: name" or "FAIL: name" per check and exits
# non-zero after a failure; what it started is stopped at exit. Typed text is written with « for
# the mark and » for Enter; TAP in X key events is a reader's opening semicolon.
set -uo pipefail
shopt -s extglob
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"
T=$(mktemp -d /tmp/corv-e2e.XXXXXX)
APP="$T/app" # the application folder the registry names, with the settings
CFG="$APP/Corvanthelix.cfg"
REC="$T/target.txt" # the record of the "Quillomarte" window
TAP="keydown --delay 0 semicolon keyup --delay 0 semicolon"
_FAILS=0
SUITE_PREFIX=$WINEPREFIX

e2e_cleanup() {
    stop_com1
    for p in "${_PIDS[@]}"; do kill "$p" 2>/dev/null; done
    if [ "$WINEPREFIX" != "$SUITE_PREFIX" ]; then # a prefix of the test's own ends for good
        wineserver -k >/dev/null 2>&1
        export WINEPREFIX=$SUITE_PREFIX
    fi
    reset_wine
    rm -rf "$T"
}
trap 'rc=$?; e2e_cleanup; exit $((rc || _FAILS))' EXIT

check() { # name wanted actual
    if [ "$2" == "$3" ]; then echo "PASS: $1"; else
        printf 'FAIL: %s\n   expected: %s\n   actual:   %s\n' "$1" "$2" "$3"
        _FAILS=$((_FAILS + 1)) && return 1
    fi
}
answers() {
    _GOT=$("${@:2}")
    [ "$_GOT" == "$1" ]
}
# The command's answer must become the wanted one, or the command succeed, within 10 s.
expect() { # name wanted command...
    wait_for 10 answers "$2" "${@:3}"
    check "$1" "$2" "$_GOT"
}
expect_ok() { # name command...
    if wait_for 10 "${@:2}" >/dev/null; then check "$1" ok ok; else check "$1" ok "failed: ${*:2}"; fi
}
# Runs a function per row of the table on standard input: fields split at " | ", trimmed.
rows() { # function
    local line f
    while IFS= read -r line; do
        [[ "$line" =~ ^[[:space:]]*$ ]] && continue
        f=()
        while [[ "$line" == *" | "* ]]; do f+=("${line%% | *}") && line=${line#* | }; done
        f=("${f[@]}" "$line")
        f=("${f[@]/#+( )/}")
        "$1" "${f[@]%%+( )}" </dev/null
    done
}

ui() { wine "$WIN_BIN/TestTool.exe" "$@" 2>/dev/null | tr -d '\r'; }
# Answers, one per query: ini:section, file:name in the application folder, com1:, tray:,
# running:, popup:, or a driver query about the Settings window (text:control, visible:).
state() {
    for q in "$@"; do case ${q%%:*} in
        ini) ini_value "${q#*:}" ;;
        file) [ -e "$APP/${q#*:}" ] && echo there || echo none ;;
        com1) com1_held && echo held || echo free ;;
        tray) tray_icon_shown && echo icon || echo none ;;
        running) not_running && echo ended || echo running ;;
        popup) ui popup ;;
        *) ui "${q%%:*}" Settings ${q#*:} ;;
        esac; done | paste -sd' '
}
# An action (- for none) and the answers to the queries it must lead to within 10 s.
step() { # action queries answers(- for none)
    [ "$1" == - ] || eval "$1"
    expect "$1 -> $2" "$([ "$3" == - ] || echo "$3")" state $2
}
# A fresh application folder with these settings stored (none: no configuration file).
with_config() { # [section=value ...]
    rm -rf "$APP"
    mkdir -p "$APP"
    (($#)) && printf '[%s]\r\nValue=%s\r\n' $(printf '%s\n' "$@" | tr '=' ' ') >"$CFG"
    set_app_folder "$APP"
}
# The values of sections' "Value" keys in the configuration (CRLF line ends).
ini_value() { # section [file]
    [ -f "${2:-$CFG}" ] && tr -d '\r' <"${2:-$CFG}" | awk -v s="[$1]" 'tolower($0)==tolower(s){f=1;next}
        /^\[/{f=0} f&&/^Value=/{sub(/^Value=/,"");print;exit}'
}
ini_values() { for s in "$@"; do ini_value "$s"; done | xargs; }
lng_text() { # file section language: a text of a shipped language file
    iconv -f UTF-16 -t UTF-8 "$ROOT/lang/$1" | tr -d '\r' | awk -v s="[$2]" -v k="$3=" '$0==s{f=1;next}
        /^\[/{f=0} f&&index($0,k)==1{print substr($0,length(k)+1);exit}'
}

# Starts the program (or the given copy) as $PROG, its standard error in $T/program.err, and
# waits until its Settings window exists.
start_program() { # [variable=value...] [exe]
    local env=()
    while [[ "${1:-}" == *=* ]]; do env+=("$1") && shift; done
    env "${env[@]}" wine "${1:-$WIN_BIN/Corvanthelix.exe}" >/dev/null 2>"$T/program.err" &
    PROG=$!
    _PIDS+=($PROG)
    wait_for 30 ui title Settings >/dev/null
}
not_running() { ! kill -0 "$PROG" 2>/dev/null; }
tray_icon_shown() { xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null 2>&1; }
# Escape to the open popup menu until it has closed (a key sent while it starts up can go unseen).
close_popup() {
    local deadline=$((SECONDS + 10))
    while [ "$(ui popup)" == 1 ]; do
        ((SECONDS >= deadline)) && return 1
        ui popup-close
        sleep 0.5
    done
}

typed() { # [record]: the record as text
    python3 -c 'import sys; print("".join({160: "«", 13: "»"}.get(int(c), chr(int(c)))
        for c in sys.stdin.read().split()))' <"${1:-$REC}"
}
typed_is() { [ "$(typed)" == "$1" ]; }
# Checks that the wanted text arrives in the record, and nothing more; empties it.
expect_typed() { # name wanted
    wait_for 10 typed_is "$2"
    sleep 0.3
    check "$1" "$2" "$(typed)"
    : >"$REC"
}
serial_gives() { # name bytes wanted
    send_com1 "$2"
    expect_typed "$1" "$3"
}
# X focus follows the pointer and stays put when a Windows program activates a window.
focus_target() {
    local w
    w=$(xdotool search --name '^Quillomarte$' | head -1)
    xdotool mousemove --window "$w" 120 60 windowfocus --sync "$w" 2>/dev/null
}
keys_give() { # name X-key-events wanted
    focus_target
    xdotool ${2//TAP/$TAP}
    expect_typed "$1" "$3"
}
# True once the keyboard hook is in place: a tapped semicolon opens a burst that gets the mark.
hook_ready() {
    for _ in $(seq 30); do
        focus_target
        xdotool $TAP key --delay 5 9 Return
        sleep 0.5
        grep -qx 160 "$REC" && sleep 0.3 && : >"$REC" && return 0
    done
    return 1
}
# A picture of one window (Wine draws its frame: there is no window manager).
window_shot() { # form file
    local w
    w=$(xdotool search --onlyvisible --name "^$(ui title "$1")\$" | head -1)
    mkdir -p "$(dirname "$2")"
    [ -n "$w" ] && import -window "$w" "$2" 2>/dev/null
}
