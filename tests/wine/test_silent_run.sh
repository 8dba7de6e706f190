#!/usr/bin/env bash
# The setup program runs silently without any display and ends with exit code 0.
source "$(dirname "$0")/lib.sh"
new_prefix
run_wine_headless 120 "$SETUP" -S
expect_code 0 "silent run without a display"
