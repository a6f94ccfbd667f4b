# Helpers for the end-to-end tests. Each test is a script tests/e2e/test_*.sh, run by
# scripts/test with a Wine prefix, a virtual display and a persistent wineserver in place.
# It reports each check as a line "PASS: name" or "FAIL: name ..." and exits non-zero on a failure.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/lib/common.sh"

T=$(mktemp -d /tmp/corv-e2e.XXXXXX)
_FAILS=0
_PIDS=()
_SOCAT=""

SUITE_PREFIX=$WINEPREFIX

e2e_cleanup() {
    [ -n "$_SOCAT" ] && kill "$_SOCAT" 2>/dev/null
    for p in "${_PIDS[@]}"; do kill "$p" 2>/dev/null; done
    # A test may have used a prefix of its own: end its server for good.
    if [ "$WINEPREFIX" != "$SUITE_PREFIX" ]; then
        wineserver -k >/dev/null 2>&1
        export WINEPREFIX=$SUITE_PREFIX
    fi
    reset_wine
    rm -rf "$T"
}
trap e2e_cleanup EXIT

check() { # name expected actual
    if [ "$2" == "$3" ]; then
        echo "PASS: $1"
    else
        echo "FAIL: $1"
        echo "   expected: $2"
        echo "   actual:   $3"
        _FAILS=$((_FAILS + 1))
    fi
}

check_true() { # name command...
    local name=$1
    shift
    if "$@"; then echo "PASS: $name"; else
        echo "FAIL: $name ($*)"
        _FAILS=$((_FAILS + 1))
    fi
}

e2e_finish() { exit $((_FAILS > 0)); }

winpath() { winepath -w "$1" 2>/dev/null; }

# Points the registry's application folder (32-bit view, as installers write it) at a folder.
set_app_folder() { # linux folder
    local w
    w="$(winpath "$1")"
    [[ "$w" == *\\ ]] || w="$w\\"
    wine reg add 'HKLM\Software\Quillomarte\Corvanthelix' /v AppPAth /t REG_SZ /d "$w" /f /reg:32 >/dev/null 2>&1
}

# Starts the "Quillomarte" target window recording into a file; waits until it is ready.
start_target() { # record-file [title]
    rm -f "$1"
    wine "$WIN_BIN/QuillomarteTarget.exe" "$(winpath "$1")" ${2:+"$2"} >/dev/null 2>&1 &
    _PIDS+=($!)
    wait_for 30 test -f "$1"
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

# The recorded characters as their codes, space-separated.
recorded() { [ -f "$1" ] && tr '\n' ' ' <"$1" | sed 's/ $//'; }
recorded_count() { [ -f "$1" ] && wc -l <"$1" | tr -d ' ' || echo 0; }
# Waits until the record holds at least n characters.
wait_chars() { # file n seconds
    wait_for "${3:-10}" bash -c "[ -f '$1' ] && [ \$(wc -l <'$1') -ge $2 ]"
}

# Codes of a plain ASCII text, space-separated (for comparing with recorded).
codes_of() { printf '%s' "$1" | od -An -v -tu1 | xargs; }

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

screenshot() { import -window root "$1" 2>/dev/null; }
