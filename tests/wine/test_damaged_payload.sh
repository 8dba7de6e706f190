#!/usr/bin/env bash
# A program file whose payload does not inflate ends with exit code 3, nothing done: silently in a
# silent run, and after its message in an interactive one (which, with no display to show the
# wizard or the box on, must end rather than wait).
source "$(dirname "$0")/lib.sh"
new_prefix
run_wine_headless 60 "$WIN_BUILD_DIR/tessaron-setup-damaged.exe" /S
expect_code 3 "damaged payload, silent run"
run_wine_headless 60 "$WIN_BUILD_DIR/tessaron-setup-damaged.exe"
expect_code 3 "damaged payload, interactive run without a display"
