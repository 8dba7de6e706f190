#!/usr/bin/env bash
# Installed to C:\A, then again to C:\B: the removal of C:\A removes C:\A's own files only, and
# C:\B keeps its uninstall entry, saved choices, shortcuts and the shared data. Then a template
# that the user changed stays when C:\B is removed, which still succeeds (exit code 0).
source "$(dirname "$0")/lib.sh"
new_prefix
setup="$SETUP"
inspect="$WIN_BUILD_DIR/read_back.exe"
data="$(c_drive ProgramData/Tessaron)"
temp="$(c_drive users/root/Temp)"
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaron Word Processor'
choices_key='Software\Tessaron Word Processor\Install'
template="$data/Public/Templates/Letters/Business Letter.rtf"

# Every name with its bytes' checksum below C:, the Windows folder aside.
tree() {
    (cd "$(c_drive '')" && find . -path ./windows -prune -o -print | LC_ALL=C sort &&
        find . -path ./windows -prune -o -type f -exec md5sum {} + | LC_ALL=C sort)
}

wait_for_finish() {
    wait_for_removal "$1/tsd.exe"
    timeout 60 wineserver -w || fail "the wineserver did not end"
}

run_wine_headless 120 "$setup" -S '-DC:\A'
expect_code 0 "installation to C:\\A"
run_wine_headless 120 "$setup" -S '-DC:\B'
expect_code 0 "installation to C:\\B"
timeout 60 wineserver -w || fail "the wineserver did not end"
tree | grep -v '^\./A\|  \./A/\|Temp' >"$TEST_DIR/before.txt"
grep -q 'Tessaron Word Processor.lnk' "$TEST_DIR/before.txt" || fail "no shortcut was made"

run_wine_headless 60 "$(c_drive A/tsd.exe)" -ui /S
expect_code 0 "silent removal of the old copy"
wait_for_finish "$(c_drive A)"
[ ! -e "$(c_drive A)" ] || fail "the old copy stayed: $(ls -R "$(c_drive A)")"
tree | grep -v 'Temp' >"$TEST_DIR/after.txt"
cmp -s "$TEST_DIR/before.txt" "$TEST_DIR/after.txt" || {
    diff "$TEST_DIR/before.txt" "$TEST_DIR/after.txt" >&2
    fail "the removal of the old copy changed the listed copy's files, shortcuts or shared data"
}
run_wine 30 "$inspect" reg HKLM "$uninstall_key" InstallLocation
grep -q 'InstallLocation=REG_SZ C:\\B' "$TEST_DIR/out.txt" || fail "the uninstall entry changed: $(cat "$TEST_DIR/out.txt")"
run_wine 30 "$inspect" key HKCU "$choices_key"
[ "$(tr -d '\r' <"$TEST_DIR/out.txt")" = exists ] || fail "the saved choices went"
echo "ok: the old copy went; C:\\B keeps its entry, choices, shortcuts and shared data"

printf 'my own letter\r\n' >"$template"
run_wine_headless 60 "$(c_drive B/tsd.exe)" -ui /S
expect_code 0 "silent removal with a changed template"
wait_for_finish "$(c_drive B)"
[ "$(cat "$template")" = $'my own letter\r' ] || fail "the changed template went"
[ ! -e "$data/Public/Templates/Letters/Cover Letter.rtf" ] || fail "the other templates stayed"
[ -f "$data/Update.log" ] || fail "the update log went although it lists the kept template"
[ ! -e "$(c_drive B)" ] || fail "the program folder stayed"
run_wine 30 "$inspect" key HKLM "$uninstall_key"
[ "$(tr -d '\r' <"$TEST_DIR/out.txt")" = missing ] || fail "the uninstall entry stayed"
echo "ok: the changed template stays, the rest of the installation went"
