#!/usr/bin/env bash
# The soak (soak.py sends and checks): random codes through COM1, then keyboard-reader bursts
# between ordinary typing, with the users' Cyrillic code page (1251), which soak.py assumes.
#   test_soak.sh [codes] [bursts]   (200 and 50 in every test run; SOAK_SEED repeats a run)
source "$(dirname "$0")/lib.sh"
SEED=${SOAK_SEED:-$RANDOM$RANDOM}
soak() { # kind settings readiness driver-arguments...
    log "$1 soak (seed $SEED)"
    with_config $2
    start_target "$REC"
    LC_ALL=bg_BG.UTF-8 start_program
    expect_ok "the program is ready for the $1 soak" $3
    sleep 1
    python3 "$(dirname "$0")/soak.py" "$1" "${@:4}" "$SEED" || _FAILS=$((_FAILS + 1))
    check "the program is still running after the $1 soak" running "$(state running:)"
    kill "$PROG"
    reset_wine
}
start_com1
soak serial "SendTo=1 cFilter=1 Prefix=2" com1_held "$E2E_DIR/ttyB" "$REC" "${1:-200}"
((${2:-50} == 0)) || soak keyboard "IsKeyBoard=1 SendTo=0 Prefix=1" hook_ready "$REC" "${2:-50}"
