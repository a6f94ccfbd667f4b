# The end-to-end tests' one set-up, also used by scripts/demo and the measuring scripts: the
# program and a "Quillomarte" window under Wine, the program's settings, a pseudo-terminal as
# COM1, X key events, the window driver, and the checks. A test prints "PASS: name" or
# "FAIL: name" per check and exits non-zero after a failure; what it started is stopped at exit.
# Typed text is written with « for the mark and » for Enter.
set -uo pipefail
shopt -s extglob
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"

T=$(mktemp -d /tmp/corv-e2e.XXXXXX)
APP="$T/app" # the application folder the registry names, with the settings
CFG="$APP/Corvanthelix.cfg"
REC="$T/target.txt" # the record of the "Quillomarte" window
TAP="keydown --delay 0 semicolon keyup --delay 0 semicolon" # a reader's opening key
_FAILS=0
_PIDS=()
_SOCAT=""
SUITE_PREFIX=$WINEPREFIX

e2e_cleanup() {
    [ -n "$_SOCAT" ] && kill "$_SOCAT" 2>/dev/null
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
        _FAILS=$((_FAILS + 1))
    fi
}
# Runs a command until it succeeds or the seconds run out.
wait_for() { # seconds command...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS >= deadline)) && return 1
        sleep 0.05
    done
}
answers() { [ "$("${@:2}")" == "$1" ]; }
# The command's answer must become the wanted one within 10 s.
expect() { # name wanted command...
    wait_for 10 answers "$2" "${@:3}"
    check "$1" "$2" "$("${@:3}")"
}
expect_ok() { # name command...
    if wait_for 10 "${@:2}" >/dev/null; then check "$1" ok ok; else check "$1" "success" "failure: ${*:2}"; fi
}
# Runs a function per row of the table on standard input: fields split at " | ", trimmed.
rows() { # function
    local line f
    while IFS= read -r line; do
        [[ "$line" =~ ^[[:space:]]*$ ]] && continue
        f=()
        while [[ "$line" == *" | "* ]]; do f+=("${line%% | *}") && line=${line#* | }; done
        f+=("$line")
        f=("${f[@]/#+( )/}")
        "$1" "${f[@]%%+( )}" </dev/null
    done
}

winpath() { winepath -w "$1" 2>/dev/null; }
ui() { wine "$WIN_BIN/TestTool.exe" "$@" 2>/dev/null | tr -d '\r'; }

# Points the registry's application folder (32-bit view, as installers write it) at a folder.
set_app_folder() { # linux folder
    local w
    w="$(winpath "$1")"
    [[ "$w" == *\\ ]] || w="$w\\"
    wine reg add 'HKLM\Software\Quillomarte\Corvanthelix' /v AppPAth /t REG_SZ /d "$w" /f /reg:32 >/dev/null 2>&1
}
# A fresh application folder with these settings stored (none: no configuration file).
with_config() { # [section=value ...]
    rm -rf "$APP"
    mkdir -p "$APP"
    (($#)) && printf '[%s]\r\nValue=%s\r\n' $(printf '%s\n' "$@" | tr '=' ' ') >"$CFG"
    set_app_folder "$APP"
}
# The value of a section's "Value" key in an INI file (CRLF line ends).
ini_value() { # section [file]
    local f=${2:-$CFG}
    [ -f "$f" ] || return 0
    tr -d '\r' <"$f" | awk -v s="[$1]" 'tolower($0)==tolower(s){f=1;next} /^\[/{f=0}
        f&&/^Value=/{sub(/^Value=/,"");print;exit}'
}
ini_values() { for s in "$@"; do ini_value "$s"; done | xargs; }
# A text of a shipped language file: section, language.
lng_text() { # file section language
    iconv -f UTF-16 -t UTF-8 "$ROOT/lang/$1" | tr -d '\r' |
        awk -v s="[$2]" -v k="$3=" '$0==s{f=1;next} /^\[/{f=0}
            f&&index($0,k)==1{print substr($0,length(k)+1);exit}'
}

# Starts the program (or the given copy) as $PROG, its standard error in $T/program.err, and
# waits until its Settings window exists.
start_program() { # [variable=value...] [exe]
    local env=()
    while [[ "${1:-}" == *=* ]]; do env+=("$1") && shift; done
    env "${env[@]}" wine "${1:-$WIN_BIN/Corvanthelix.exe}" >/dev/null 2>"$T/program.err" &
    PROG=$!
    _PIDS+=($PROG)
    ui wait Settings 30 >/dev/null
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

# Starts a window recording what it receives (the "Quillomarte" window into $REC by default).
start_target() { # [record-file [title]]
    local rec=${1:-$REC}
    rm -f "$rec"
    wine "$WIN_BIN/TestTool.exe" target "$(winpath "$rec")" ${2:+"$2"} >/dev/null 2>&1 &
    TARGET=$!
    _PIDS+=($TARGET)
    wait_for 30 test -f "$rec"
}
recorded() { [ -f "$1" ] && tr '\n' ' ' <"$1" | sed 's/ $//'; }
recorded_count() { [ -f "$1" ] && wc -l <"$1" | tr -d ' ' || echo 0; }
typed() { # [record]
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
# X focus follows the pointer and stays put when a Windows program activates a window.
focus_target() {
    local w
    w=$(xdotool search --name '^Quillomarte$' | head -1)
    xdotool mousemove --window "$w" 120 60 windowfocus --sync "$w" 2>/dev/null
}
# X key events (xdotool commands, TAP for a reader's opening) into the focused target.
keys_give() { # name keys wanted
    : >"$REC"
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

# A pseudo-terminal pair: COM1 under Wine is $E2E_DIR/ttyA; write to $E2E_DIR/ttyB.
start_com1() {
    rm -f "$E2E_DIR/ttyA" "$E2E_DIR/ttyB"
    socat pty,raw,echo=0,link="$E2E_DIR/ttyA" pty,raw,echo=0,link="$E2E_DIR/ttyB" >/dev/null 2>&1 &
    _SOCAT=$!
    wait_for 5 test -e "$E2E_DIR/ttyB"
}
stop_com1() {
    [ -n "$_SOCAT" ] && kill "$_SOCAT" 2>/dev/null
    wait "$_SOCAT" 2>/dev/null
    _SOCAT=""
}
# True while a process other than socat (the program, or Wine for it) holds COM1's device open.
com1_held() {
    local dev d
    dev=$(readlink -f "$E2E_DIR/ttyA") || return 1
    for d in /proc/[0-9]*; do
        [ "${d#/proc/}" = "$_SOCAT" ] && continue
        ls -l "$d/fd" 2>/dev/null | grep -- "-> $dev\$" >/dev/null && return 0
    done
    return 1
}
send_com1() { printf '%b' "$1" >"$E2E_DIR/ttyB"; }
serial_gives() { # name bytes wanted
    : >"$REC"
    send_com1 "$2"
    expect_typed "$1" "$3"
}

screenshot() { import -window root "$1" 2>/dev/null; }
# A picture of one window, cut from the screen.
window_shot() { # form file
    local r
    r=($(ui rect "$1"))
    ((${#r[@]} == 4)) || return 1
    mkdir -p "$(dirname "$2")"
    import -window root -crop "${r[2]}x${r[3]}+${r[0]}+${r[1]}" +repage "$2" 2>/dev/null
}
