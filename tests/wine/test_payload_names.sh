#!/usr/bin/env bash
# Setup programs whose payload ends in an entry named to escape its folder ("..") or to write an
# alternate data stream (":"), zlib intact: each stops as a damaged program with exit code 3, and
# nothing at all is written, neither the files before that entry nor anything where it points.
source "$(dirname "$0")/lib.sh"
new_prefix
tsdpack="$WINE_WORK/../tsdpack"

# Every file and folder of the prefix's C: drive, Wine's own folder aside.
tree() { (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -print | LC_ALL=C sort); }

check_refused() {
    local kind="$1" name="$2" program="$WIN_BUILD_DIR/tessaron-setup-planted-$1.exe"
    "$tsdpack" list "$program" >"$TEST_DIR/list-$kind.txt" || fail "cannot list $program"
    grep -qF "	$name" "$TEST_DIR/list-$kind.txt" || fail "$program does not carry \"$name\""
    tree >"$TEST_DIR/before.txt"
    run_wine_headless 60 "$program" /S
    expect_code 3 "payload entry \"$name\", silent run"
    run_wine_headless 60 "$program"
    expect_code 3 "payload entry \"$name\", interactive run without a display"
    tree >"$TEST_DIR/after.txt"
    diff "$TEST_DIR/before.txt" "$TEST_DIR/after.txt" >&2 || fail "\"$name\": the drive changed"
    [ -z "$(find "$TEST_DIR" -iname victim)" ] || fail "\"$name\": a Victim folder was made"
    [ ! -e "$(c_drive 'Program Files/Tessaron')" ] || fail "\"$name\": the destination was made"
    [ ! -e "$(c_drive ProgramData/Tessaron)" ] || fail "\"$name\": the data folder was made"
    echo "ok: nothing written for \"$name\""
}

check_refused step-up 'Templates\..\..\..\..\Victim\x.txt'
check_refused stream 'Templates\Letters\x.rtf:data'
