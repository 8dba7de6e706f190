#!/usr/bin/env bash
# What Wine can show of the setup under User Account Control: whatever stands at the licence's
# old fixed name in the temporary folder (a folder, a link to another file) is left alone, the
# uninstall entry carries the quiet command and the location, and the quiet command removes the
# installation as given.
source "$(dirname "$0")/lib.sh"
new_prefix
setup="$SETUP"
inspect="$WIN_BUILD_DIR/read_back.exe"
main="$(c_drive 'Program Files/Tessaron')"
temp="$(c_drive users/root/Temp)"
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaron Word Processor'

mkdir -p "$temp/License.txt" "$(c_drive Victim)"
printf 'not yours' >"$(c_drive Victim/victim.txt)"
ln -s "$(c_drive Victim/victim.txt)" "$temp/License.txt.~0"
ls -A "$temp" | LC_ALL=C sort >"$TEST_DIR/temp-before.txt"
run_wine_headless 120 "$setup" /S
expect_code 0 "a folder at the licence's old name in the temporary folder"
[ -d "$temp/License.txt" ] || fail "the folder License.txt was removed"
[ "$(cat "$(c_drive Victim/victim.txt)")" = "not yours" ] || fail "the file behind the link changed"
ls -A "$temp" | LC_ALL=C sort >"$TEST_DIR/temp-after.txt"
cmp -s "$TEST_DIR/temp-before.txt" "$TEST_DIR/temp-after.txt" || {
    diff "$TEST_DIR/temp-before.txt" "$TEST_DIR/temp-after.txt" >&2
    fail "the temporary folder holds something new"
}
echo "ok: nothing at the old name touched, no licence copy left"

run_wine 60 "$inspect" reg HKLM "$uninstall_key" UninstallString QuietUninstallString InstallLocation \
    NoModify NoRepair DisplayIcon DisplayVersion
expect_code 0 "reading the uninstall entry"
tr -d '\r' <"$TEST_DIR/out.txt" >"$TEST_DIR/values.txt"
printf '%s\n' 'UninstallString=REG_SZ "C:\Program Files\Tessaron\tsd.exe" -ui' \
    'QuietUninstallString=REG_SZ "C:\Program Files\Tessaron\tsd.exe" -ui /S' \
    'InstallLocation=REG_SZ C:\Program Files\Tessaron' 'NoModify=REG_DWORD 1' 'NoRepair=REG_DWORD 1' \
    'DisplayIcon=REG_SZ C:\Program Files\Tessaron\tsd.exe' 'DisplayVersion=REG_SZ 4.4.3.8' \
    >"$TEST_DIR/expected-values.txt"
cmp -s "$TEST_DIR/expected-values.txt" "$TEST_DIR/values.txt" || {
    diff "$TEST_DIR/expected-values.txt" "$TEST_DIR/values.txt" >&2
    fail "the uninstall entry's values differ"
}
echo "ok: the uninstall entry tells the quiet command and the location"

# The quiet command exactly as the entry gives it.
command="$(sed -n 's/^QuietUninstallString=REG_SZ //p' "$TEST_DIR/values.txt")"
[[ "$command" =~ ^\"([^\"]+)\"\ (.*)$ ]] || fail "unexpected quiet command: $command"
read -r -a arguments <<<"${BASH_REMATCH[2]}"
run_wine_headless 60 "${BASH_REMATCH[1]}" "${arguments[@]}"
expect_code 0 "the quiet uninstall command"
for _ in $(seq 150); do
    [ -e "$main" ] || break
    sleep 0.2
done
[ ! -e "$main" ] || fail "the installation folder stayed: $(ls -A "$main")"
run_wine 30 "$inspect" key HKLM "$uninstall_key"
expect_code 0 "asking for the uninstall entry"
[ "$(tr -d '\r' <"$TEST_DIR/out.txt")" = missing ] || fail "the uninstall entry stayed: $(cat "$TEST_DIR/out.txt")"
echo "ok: the quiet command removes the installation"
