#!/usr/bin/env bash
# A second start of the program ends at once and silently; the first keeps running.
source "$(dirname "$0")/lib.sh"
mkdir -p "$T/app"
set_app_folder "$T/app"
wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
first=$!
_PIDS+=($first)
sleep 2
start=$SECONDS
timeout 20 wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1
rc=$?
check "second start exits with 0" 0 "$rc"
check_true "second start ends within 5 s" test $((SECONDS - start)) -le 5
check_true "first instance still runs" kill -0 "$first"
check "second start writes no configuration file" "" "$(ls "$T/app")"
e2e_finish
