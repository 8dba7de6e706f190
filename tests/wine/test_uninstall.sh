#!/usr/bin/env bash
# Removing a silent installation again with the command its uninstall entry names: refused while
# the application runs; otherwise every file, shortcut, folder and registry key of the
# installation goes (the finishing copy in the temporary folder too), and the user's own files
# stay with their folders.
source "$(dirname "$0")/lib.sh"
new_prefix
setup="$SETUP"
inspect="$WIN_BUILD_DIR/read_back.exe"
main="$(c_drive 'Program Files/Tessaron')"
data="$(c_drive ProgramData/Tessaron)"
temp="$(c_drive users/root/Temp)"
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaron Word Processor'

snapshot before
run_wine_headless 120 "$setup" -S
expect_code 0 "silent installation"
[ -f "$main/tsd.exe" ] && [ -f "$main/Install.log" ] && [ -f "$data/Update.log" ] ||
    fail "the installation is incomplete"
printf 'mine\r\n' >"$main/My notes.txt"
printf 'my template\r\n' >"$data/Public/Templates/My Template.rtf"

# The command exactly as the uninstall entry gives it: a quoted program path and its arguments.
run_wine 60 "$inspect" reg HKLM "$uninstall_key" UninstallString
expect_code 0 "reading the uninstall entry"
entry="$(tr -d '\r' <"$TEST_DIR/out.txt")"
command="${entry#UninstallString=REG_SZ }"
[[ "$command" =~ ^\"([^\"]+)\"\ (.*)$ ]] || fail "unexpected uninstall command: $entry"
program="${BASH_REMATCH[1]}"
read -r -a arguments <<<"${BASH_REMATCH[2]}"
echo "uninstall command: $command"

# While the application runs (its window needs a display), nothing is removed.
timeout 60 wineserver -w || fail "the wineserver did not end"
start_xvfb
timeout 120 wine "$program" >"$TEST_DIR/app.txt" 2>&1 </dev/null &
app=$!
running=no
for _ in $(seq 100); do
    run_wine 30 "$inspect" running
    running="$(tr -d '\r' <"$TEST_DIR/out.txt")"
    [[ "$running" == yes* ]] && break
    sleep 0.2
done
[[ "$running" == yes* ]] || fail "the application did not start"
run_wine 60 "$program" "${arguments[@]}" /S
expect_code 1 "refused while the application runs"
[ -f "$main/tsd.exe" ] && [ -f "$main/License.txt" ] && [ -f "$data/Update.log" ] ||
    fail "files were removed while the application ran"
run_wine 30 "$inspect" key HKLM "$uninstall_key"
[ "$(tr -d '\r' <"$TEST_DIR/out.txt")" = exists ] || fail "the uninstall entry went while the application ran"
run_wine 30 taskkill /im tsd.exe
wait "$app" || fail "the application did not end when asked to close"
echo "ok: the application closed"

# The removal proper, silently and without a display, as a deployment tool runs it.
timeout 60 wineserver -w || fail "the wineserver did not end"
run_wine_headless 60 "$program" "${arguments[@]}" /S
expect_code 0 "silent removal"
# The copy in the temporary folder finishes once the program has ended, then goes itself.
wait_for_removal "$main/tsd.exe"
snapshot after
[ -z "$(ls "$temp" | grep '^~tsd-remove-')" ] || fail "the finishing copy stayed: $(ls "$temp")"

# Only the user's files and their folders are new.
LC_ALL=C comm -13 "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" >"$TEST_DIR/added.txt"
printf '%s\n' './Program Files/Tessaron' './Program Files/Tessaron/My notes.txt' \
    './ProgramData/Tessaron' './ProgramData/Tessaron/Public' './ProgramData/Tessaron/Public/Templates' \
    './ProgramData/Tessaron/Public/Templates/My Template.rtf' | LC_ALL=C sort >"$TEST_DIR/expected-added.txt"
cmp -s "$TEST_DIR/expected-added.txt" "$TEST_DIR/added.txt" || {
    diff "$TEST_DIR/expected-added.txt" "$TEST_DIR/added.txt" >&2
    fail "the removal left other files or folders"
}
LC_ALL=C comm -23 "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" >"$TEST_DIR/lost.txt"
[ ! -s "$TEST_DIR/lost.txt" ] || fail "files of the machine went: $(head "$TEST_DIR/lost.txt")"
[ "$(cat "$main/My notes.txt")" = $'mine\r' ] || fail "the user's file changed"
[ "$(cat "$data/Public/Templates/My Template.rtf")" = $'my template\r' ] ||
    fail "the user's template changed"
echo "ok: no file, shortcut or folder of the installation left; the user's files stay"

cmp -s "$TEST_DIR/keys-before.txt" "$TEST_DIR/keys-after.txt" || {
    diff "$TEST_DIR/keys-before.txt" "$TEST_DIR/keys-after.txt" >&2
    fail "registry keys differ from before the installation"
}
! grep -qi tessaron "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" ||
    fail "the registry still names the product: $(grep -i tessaron "$WINEPREFIX"/*.reg | head -3)"
echo "ok: no registry key of the installation left"
