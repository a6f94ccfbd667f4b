#!/usr/bin/env bash
# A second start of the program ends at once and silently; the first keeps running and shows its
# Settings window, as a double-click on its icon would.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/uilib.sh"
mkdir -p "$T/app"
set_app_folder "$T/app"
wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1 &
first=$!
_PIDS+=($first)
wait_for 20 test -f "$T/app/Corvanthelix.cfg"
ui wait Settings 10 >/dev/null
check "the Settings window starts hidden" 0 "$(ui visible Settings)"
before=$(md5sum <"$T/app/Corvanthelix.cfg")
start=$SECONDS
timeout 20 wine "$WIN_BIN/Corvanthelix.exe" >/dev/null 2>&1
rc=$?
check "second start exits with 0" 0 "$rc"
check_true "second start ends within 5 s" test $((SECONDS - start)) -le 5
check_true "first instance still runs" kill -0 "$first"
expect_ui "and shows its Settings window" 1 visible Settings
check "in front" 1 "$(ui top "$(ui title Settings)" infront)"
check "one copy runs" 1 "$(pgrep -fc "^$WIN_BIN/Corvanthelix.exe")"
check "second start leaves the first one's configuration alone" "$before" \
    "$(md5sum <"$T/app/Corvanthelix.cfg")"
check "second start adds no file" "Corvanthelix.cfg" "$(ls "$T/app")"
e2e_finish
