#!/usr/bin/env bash
# The portable rules as 64-bit Windows shows them to the 32-bit setup: a folder that holds a
# portable copy (its Tessaron.ini) is refused under both program files folders, the native one
# and "C:\Program Files (x86)", and nothing is installed; elsewhere the portable copy is made and
# touches nothing outside its folder.
source "$(dirname "$0")/../lib.sh"
new_prefix
for folder in 'Program Files/Portable' 'Program Files (x86)/Portable'; do
    mkdir -p "$(c_drive "$folder")"
    : >"$(c_drive "$folder")/Tessaron.ini"
    windows="C:\\${folder//\//\\}"
    snapshot before
    run_wine_headless 120 "$SETUP" -S "-D$windows"
    expect_code 0 "silent run stopped by the portable refusal in $windows"
    snapshot after
    cmp -s "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" || {
        diff "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" >&2
        fail "the refused run in $windows changed files"
    }
done
echo "ok: refused under both program files folders"

mkdir -p "$(c_drive Portable/Tessaron)"
: >"$(c_drive Portable/Tessaron)/Tessaron.ini"
snapshot before
run_wine_headless 120 "$SETUP" -S '-DC:\Portable\Tessaron'
expect_code 0 "portable installation"
snapshot after
LC_ALL=C comm -3 --output-delimiter= "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" |
    grep -v '^\./Portable/Tessaron/' >"$TEST_DIR/outside.txt" || true
[ ! -s "$TEST_DIR/outside.txt" ] || fail "the portable copy changed files outside its folder: $(head "$TEST_DIR/outside.txt")"
[ -f "$(c_drive Portable/Tessaron/tsd.exe)" ] || fail "no tsd.exe in the portable copy"
grep -qi 'Tessaron' "$TEST_DIR/keys-after.txt" && fail "a portable copy wrote registry keys"
echo "ok: a portable copy elsewhere"
