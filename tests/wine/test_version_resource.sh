#!/usr/bin/env bash
# Both programs carry the product's version resource as Windows reads it (GetFileVersionInfoW),
# also the copy of tsd.exe that a silent installation leaves in the destination.
source "$(dirname "$0")/lib.sh"
new_prefix
inspect="$WIN_BUILD_DIR/read_back.exe"

check_version() {
    local program="$1" description="$2" original="$3"
    run_wine 60 "$inspect" version "$(winepath -w "$program" 2>/dev/null)"
    expect_code 0 "version resource of $program"
    tr -d '\r' <"$TEST_DIR/out.txt" >"$TEST_DIR/version.txt"
    printf '%s\n' 'fixed=4.4.3.8 4.4.3.8' 'CompanyName=The Tessaron Word Processor Team' \
        "FileDescription=$description" 'FileVersion=4.4.3.8' \
        'LegalCopyright=Copyright (c) 2009-2026 Tessaron Software. All rights reserved.' \
        "OriginalFilename=$original" 'ProductName=Tessaron Word Processor' 'ProductVersion=4.4.3.8' |
        cmp -s - "$TEST_DIR/version.txt" || {
        cat "$TEST_DIR/version.txt" >&2
        fail "version resource of $program differs"
    }
}

check_version "$SETUP" "Tessaron Word Processor Setup" tessaron-setup.exe
check_version "$WIN_BUILD_DIR/tsd.exe" "Tessaron Word Processor" tsd.exe
run_wine_headless 120 "$SETUP" /S
expect_code 0 "silent installation"
check_version "$(c_drive 'Program Files/Tessaron/tsd.exe')" "Tessaron Word Processor" tsd.exe
echo "ok: version resources"
