# Shared pieces of the project's scripts. Source it; it defines functions and ROOT.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

PACKAGES=(nsis msitools wixl zip cmake ninja-build g++ googletest libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-x86-64 wine wine64 xvfb socat xdotool imagemagick x11-apps
    clang-format python3 clang libclang-rt-14-dev)

log() { printf '[%s] %s\n' "$(date +%H:%M:%S)" "$*" >&2; }

# Installs what the project needs on a Debian 12 machine; does nothing when all is there.
ensure_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    ((${#missing[@]} == 0)) && return 0
    log "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

build_preset() { # native | windows
    local preset=$1
    (cd "$ROOT" && cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset")
}

# --- Wine on a virtual display -------------------------------------------------------------
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wine}"
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
E2E_DIR="$ROOT/build/e2e"
WIN_BIN="$ROOT/build/windows/bin"
_STARTED_XVFB=""

# Creates the prefix once; maps COM1 to $E2E_DIR/ttyA (the link is made by start_com1).
ensure_wine_prefix() {
    mkdir -p "$E2E_DIR"
    if [ ! -f "$WINEPREFIX/.corv-ready" ]; then
        log "creating the Wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$E2E_DIR/ttyA" /f >/dev/null 2>&1
        wineserver -w
        touch "$WINEPREFIX/.corv-ready"
    fi
}

start_display() {
    if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
        return 0
    fi
    local f="$E2E_DIR/display.txt"
    rm -f "$f"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$f" >/dev/null 2>&1 &
    _STARTED_XVFB=$!
    for _ in $(seq 100); do [ -s "$f" ] && break; sleep 0.05; done
    export DISPLAY=":$(head -1 "$f")"
}

start_wineserver() { wineserver -p >/dev/null 2>&1 || true; }

# Ends every Wine process of this prefix and starts a fresh persistent server.
reset_wine() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    start_wineserver
}

stop_wine_env() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$_STARTED_XVFB" ]; then
        kill "$_STARTED_XVFB" 2>/dev/null || true
        wait "$_STARTED_XVFB" 2>/dev/null || true
        _STARTED_XVFB=""
    fi
}

start_wine_env() {
    ensure_wine_prefix
    start_display
    start_wineserver
}

# --- The program's surroundings under Wine, for the end-to-end tests and the measurements ----
_PIDS=()   # processes started here, ended by their user's clean-up
_SOCAT=""
winpath() { winepath -w "$1" 2>/dev/null; }
# Runs a command until it succeeds or the seconds run out.
wait_for() { # seconds command...
    local deadline=$((SECONDS + $1))
    until "${@:2}"; do
        ((SECONDS >= deadline)) && return 1
        sleep 0.05
    done
}
# Points the registry's application folder (32-bit view, as installers write it) at a folder.
set_app_folder() { # linux folder
    local w
    w="$(winpath "$1")"
    wine reg add 'HKLM\Software\Quillomarte\Corvanthelix' /v AppPAth /t REG_SZ /d "${w%\\}\\" /f /reg:32 >/dev/null 2>&1
}
# A window titled "Quillomarte" (or the title) that records each character it receives as its
# UTF-16 code, one a line; the record exists once the window is ready.
start_target() { # record-file [title]
    rm -f "$1"
    wine "$WIN_BIN/TestTool.exe" target "$(winpath "$1")" ${2:+"$2"} >/dev/null 2>&1 &
    TARGET=$!
    _PIDS+=($TARGET)
    wait_for 30 test -f "$1"
}
recorded() { [ -f "$1" ] && tr '\n' ' ' <"$1" | sed 's/ $//'; }
recorded_count() { [ -f "$1" ] && wc -l <"$1" | tr -d ' ' || echo 0; }
# A pseudo-terminal pair: COM1 under Wine is $E2E_DIR/ttyA; write to $E2E_DIR/ttyB.
start_com1() {
    rm -f "$E2E_DIR/ttyA" "$E2E_DIR/ttyB"
    socat pty,raw,echo=0,link="$E2E_DIR/ttyA" pty,raw,echo=0,link="$E2E_DIR/ttyB" >/dev/null 2>&1 &
    _SOCAT=$!
    wait_for 5 test -e "$E2E_DIR/ttyB"
}
stop_com1() {
    [ -n "$_SOCAT" ] && kill "$_SOCAT" 2>/dev/null && wait "$_SOCAT" 2>/dev/null
    _SOCAT=""
}
# True while a process other than socat (the program, or Wine for it) holds COM1's device open.
com1_held() {
    local dev d
    dev=$(readlink -f "$E2E_DIR/ttyA") || return 1
    for d in /proc/[0-9]*; do
        [ "${d#/proc/}" != "$_SOCAT" ] && ls -l "$d/fd" 2>/dev/null | grep -q -- "-> $dev\$" && return 0
    done
    return 1
}
send_com1() { printf '%b' "$1" >"$E2E_DIR/ttyB"; }
