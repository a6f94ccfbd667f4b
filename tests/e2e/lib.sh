# The end-to-end tests' one set-up (scripts/demo and the measuring scripts use it too). A test
# prints "PASS: name" or "FAIL: name" per check and exits non-zero after a failure; what it started
# is stopped at exit. Typed text shows « for the mark and » for Enter; TAP is a semicolon tapped.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"
T=$(mktemp -d /tmp/corv-e2e.XXXXXX)
APP="$T/app" # the application folder the registry names, with the settings
CFG="$APP/Corvanthelix.cfg"
REC="$T/target.txt" # the record of the "Quillomarte" window
TAP="keydown --delay 0 semicolon keyup --delay 0 semicolon"
_FAILS=0
SUITE_PREFIX=$WINEPREFIX
ON_EXIT=: # a test's own clean-up

e2e_cleanup() {
    eval "$ON_EXIT"
    stop_com1
    for p in "${_PIDS[@]}"; do kill "$p" 2>/dev/null; done
    [ "$WINEPREFIX" == "$SUITE_PREFIX" ] || wineserver -k >/dev/null 2>&1 # a test's own, for good
    export WINEPREFIX=$SUITE_PREFIX
    reset_wine
    rm -rf "$T"
}
trap 'rc=$?; e2e_cleanup; exit $((rc || _FAILS))' EXIT

check() { # name wanted actual
    [ "$2" == "$3" ] && echo "PASS: $1" && return 0
    printf 'FAIL: %s\n   expected: %s\n   actual:   %s\n' "$1" "$2" "$3"
    _FAILS=$((_FAILS + 1)) && return 1
}
answers() { _GOT=$("${@:2}"); [ "$_GOT" == "$1" ]; }
# The command's answer must become the wanted one, or the command succeed, within 10 s.
expect() { wait_for 10 answers "$2" "${@:3}"; check "$1" "$2" "$_GOT"; } # name wanted command...
succeeds() { "$@" >/dev/null && echo ok || echo "failed: $*"; }
expect_ok() { expect "$1" ok succeeds "${@:2}"; } # name command...
# Runs the function, or the row's first field, per row of the table on standard input: fields
# split at " | ", trimmed.
rows() { # [function]
    local line f
    while IFS= read -r line; do
        [[ "$line" == *[![:space:]]* ]] || continue
        mapfile -t f < <(sed -E 's/ +\| +/\n/g; s/^ +//; s/ +$//' <<<"$line")
        "$@" "${f[@]}" </dev/null
    done
}

# The window driver (TestTool); the mark is shown as «.
ui() { wine "$WIN_BIN/TestTool.exe" "$@" 2>/dev/null | tr -d '\r' | sed 's/\xc2\xa0/«/g'; }
# Answers, one per query, "-" for none: ini:section, file:name in the application folder, com1:,
# tray:, running:, typed:, or a driver query about the Settings window (text:control, visible:)
# or another one (text:TestSerial/control, infront:Quillomarte/).
state() {
    local q w a
    for q in "$@"; do
        w=${q#*:} && [[ "$w" == */* ]] || w=Settings/$w
        a=$(case ${q%%:*} in
            ini) ini_value "${q#*:}" ;;
            file) [ -e "$APP/${q#*:}" ] && echo there || echo none ;;
            com1) com1_held && echo held || echo free ;;
            tray) tray_icon_shown && echo icon || echo none ;;
            running) not_running && echo ended || echo running ;;
            typed) typed ;;
            *) ui "${q%%:*}" ${w/\// } ;;
            esac)
        echo "${a:--}"
    done | paste -sd' '
}
# An action (- for none) and the answers to the queries it must lead to within 10 s.
step() { [ "$1" == - ] || eval "$1"; expect "$1 -> $2" "$3" state $2; } # action queries answers
# A fresh application folder with these settings stored (none: no configuration file).
with_config() { # [section=value ...]
    rm -rf "$APP"
    mkdir -p "$APP"
    (($#)) && printf '[%s]\r\nValue=%s\r\n' $(printf '%s\n' "$@" | tr '=' ' ') >"$CFG"
    set_app_folder "$APP"
}
# A key's value in a section of the INI text on standard input; names without regard to case.
ini_get() { # section key
    tr -d '\r' | awk -v s="[$1]" -v k="$2=" 'tolower($0) == tolower(s) { f = 1; next } /^\[/ { f = 0 }
        f && index(tolower($0), tolower(k)) == 1 { print substr($0, length(k) + 1); exit }'
}
ini_value() { [ -f "$CFG" ] && ini_get "$1" Value <"$CFG"; } # section
ini_values() { for s in "$@"; do ini_value "$s"; done | xargs; }
lng_text() { iconv -f UTF-16 -t UTF-8 "$ROOT/lang/$1" | ini_get "$2" "$3"; } # file section language

# Starts the program (or the given copy) as $PROG, its standard error in $T/program.err, and
# waits until its Settings window exists. Variables set before the call reach the program.
start_program() { # [exe]
    wine "${1:-$WIN_BIN/Corvanthelix.exe}" >/dev/null 2>"$T/program.err" &
    PROG=$! && _PIDS+=($PROG)
    wait_for 30 ui text Settings >/dev/null
}
not_running() { ! kill -0 "$PROG" 2>/dev/null; }
tray_icon_shown() { xdotool search --onlyvisible --name '^Wine System Tray$' >/dev/null 2>&1; }
# Escape to the open popup menu until it has closed (a key sent while it starts up can go unseen).
close_popup() { wait_for 10 eval 'ui popup-close; sleep 0.5; [ "$(ui popup)" == 0 ]'; }

typed() { # [record]: the record as text
    python3 -c 'import sys; print("".join({160: "«", 13: "»"}.get(int(c), chr(int(c)))
        for c in sys.stdin.read().split()))' <"${1:-$REC}"
}
typed_is() { [ "$(typed)" == "$1" ]; }
# Checks that the wanted text arrives in the record, and nothing more; empties it.
expect_typed() { wait_for 10 typed_is "$2"; sleep 0.3; check "$1" "$2" "$(typed)"; : >"$REC"; }
serial_gives() { send_com1 "$2"; expect_typed "$1" "$3"; } # name bytes wanted
# X focus follows the pointer and stays put when a Windows program activates a window.
focus_target() { xdotool search --name '^Quillomarte$' mousemove --window %1 120 60 windowfocus --sync %1 2>/dev/null; }
keys_give() { focus_target; xdotool ${2//TAP/$TAP}; expect_typed "$1" "$3"; } # name keys wanted
# True once the keyboard hook is in place: a tapped semicolon opens a burst that gets the mark.
hook_ready() { wait_for 20 eval 'focus_target; xdotool $TAP key --delay 5 9 Return; sleep 0.5; grep -qx 160 "$REC"' && sleep 0.3 && : >"$REC"; }
# A picture of one window (Wine draws its frame: there is no window manager).
window_shot() { import -window "$(xdotool search --onlyvisible --name "^$(ui text "$1")\$" | head -1)" "$2" 2>/dev/null; }
