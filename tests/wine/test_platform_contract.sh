#!/usr/bin/env bash
# The platform contract tests against the real Windows implementation.
source "$(dirname "$0")/lib.sh"
new_prefix
run_wine_headless 300 "$WIN_BUILD_DIR/platform_contract_tests.exe"
cat "$TEST_DIR/out.txt"
expect_code 0 "platform contract tests under Wine"
