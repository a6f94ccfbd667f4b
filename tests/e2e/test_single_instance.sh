#!/usr/bin/env bash
# A second start of the program ends at once and silently; the first keeps running.
source "$(dirname "$0")/lib.sh"
mkdir -p "$T/app"
set_app_folder "$T/app"
wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
first=$!
_PIDS+=($first)
wait_for 20 test -f "$T/app/Corvanthelix.cfg"
sleep 1
before=$(md5sum <"$T/app/Corvanthelix.cfg")
start=$SECONDS
timeout 20 wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1
rc=$?
check "second start exits with 0" 0 "$rc"
check_true "second start ends within 5 s" test $((SECONDS - start)) -le 5
check_true "first instance still runs" kill -0 "$first"
check "second start leaves the first one's configuration alone" "$before" \
    "$(md5sum <"$T/app/Corvanthelix.cfg")"
check "second start adds no file" "Corvanthelix.cfg" "$(ls "$T/app")"
e2e_finish
