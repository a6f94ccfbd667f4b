#!/usr/bin/env bash
# A short soak in every test run: 200 serial codes and 50 keyboard-reader bursts.
exec bash "$(dirname "$0")/soak.sh" 200 50
