# Whole-program figures under Wine: CPU time, resident memory, start-up time. Source it after
# common.sh, with the Wine environment started.

# CPU time of a process so far, in clock ticks (user + system).
cpu_ticks() { # pid
    awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0
}

rss_kb() { # pid
    awk '/^VmRSS:/ {print $2}' "/proc/$1/status" 2>/dev/null || echo 0
}

# The wineserver of this prefix (there may be others on the machine).
our_wineserver() {
    local p
    for p in $(pgrep -x 'wineserver(64)?'); do
        if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$p"
            return 0
        fi
    done
    return 1
}

# CPU use (per cent of one core) of the process and of the wineserver that serves it, and the
# largest resident memory seen, over the given seconds. Prints "cpu server-cpu rss-kb".
idle_figures() { # pid seconds
    local pid=$1 secs=$2 server hz t0 s0 t1 s1 rss max=0 start
    server=$(our_wineserver || echo "")
    hz=$(getconf CLK_TCK)
    t0=$(cpu_ticks "$pid")
    s0=$([ -n "$server" ] && cpu_ticks "$server" || echo 0)
    start=$(date +%s.%N)
    for _ in $(seq "$secs"); do
        sleep 1
        rss=$(rss_kb "$pid")
        ((rss > max)) && max=$rss
    done
    t1=$(cpu_ticks "$pid")
    s1=$([ -n "$server" ] && cpu_ticks "$server" || echo 0)
    awk -v a="$t0" -v b="$t1" -v c="$s0" -v d="$s1" -v hz="$hz" -v st="$start" \
        -v en="$(date +%s.%N)" -v m="$max" \
        'BEGIN { w = en - st; printf "%.2f %.2f %d\n", 100 * (b - a) / hz / w, 100 * (d - c) / hz / w, m }'
}

# Median of numbers, one per line on standard input.
median() { sort -g | awk '{v[NR] = $1} END { if (NR == 0) print "?"; else if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Median, 99th percentile and maximum of numbers, one per line on standard input.
percentiles() {
    sort -g | awk '{v[NR] = $1} END {
        if (NR == 0) { print "? ? ?"; exit }
        m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        i = int(0.99 * NR + 0.999999); if (i < 1) i = 1; if (i > NR) i = NR
        printf "%.1f %.1f %.1f\n", m, v[i], v[NR] }'
}

# Start to tray icon, in milliseconds: the median of several starts (each program is ended
# with the persistent server's help before the next start); "none" when no icon appeared.
tray_time() { # runs program.exe [arguments...]
    local runs=$1 i t
    shift
    for i in $(seq "$runs"); do
        # Into a file: the started program inherits the watch's output and keeps it open.
        wine "$WIN_BIN/TrayWatch.exe" 10000 "$(winepath -w "$1" 2>/dev/null)" "${@:2}" \
            >"$T/traywatch.txt" 2>/dev/null </dev/null
        t=$(tr -d '\r' <"$T/traywatch.txt" | tail -1)
        sleep 1
        reset_wine
        [[ "$t" =~ ^[0-9.]+$ ]] || break
        echo "$t"
    done | median | sed 's/^?$/none/'
}
