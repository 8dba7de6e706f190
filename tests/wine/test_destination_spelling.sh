#!/usr/bin/env bash
# A destination typed as Windows also reads it (a doubled backslash, a trailing dot, forward
# slashes, the "\\?\" and "\\.\" prefixes): the silent installation records the folder that exists, and the removal its
# uninstall entry names takes all of it away again (exit 0, nothing left, no key left).
source "$(dirname "$0")/lib.sh"
new_prefix
setup="$SETUP"
inspect="$WIN_BUILD_DIR/read_back.exe"
temp="$(c_drive users/root/Temp)"
saved_key='Software\Tessaron Word Processor\Install'
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaron Word Processor'

snapshot before
# Each as typed, with the folder below C: that it names.
for pair in 'Apps4|C:\Apps4\\Tessaron' 'Apps5|C:\Apps5\Tessaron.' 'Apps6|C:/Apps6/Tessaron' \
    'Dev1|\\?\C:\Dev1\Tessaron' 'Dev2|\\.\C:\Dev2\Tessaron'; do
    typed="${pair#*|}"
    real="C:\\${pair%%|*}\\Tessaron"
    folder="$(c_drive "${pair%%|*}/Tessaron")"
    run_wine_headless 120 "$setup" -S "-D$typed"
    expect_code 0 "silent installation to $typed"
    [ -f "$folder/tsd.exe" ] && [ -f "$folder/License.txt" ] && [ -f "$folder/Install.log" ] ||
        fail "$typed: the installation is not in $real"

    # The log names the folder as it exists, on every line.
    grep -q "^File Copy: ${real//\\/\\\\}\\\\tsd.exe"$'\r'"\$" "$folder/Install.log" ||
        fail "$typed: Install.log does not name $real\\tsd.exe: $(head -3 "$folder/Install.log")"
    ! grep -a -e '\\\\' -e '/' -e '\.\\' -e '\.'$'\r' "$folder/Install.log" ||
        fail "$typed: Install.log keeps the typed spelling"
    run_wine 60 "$inspect" reg HKCU "$saved_key" MAINDIR
    [ "$(tr -d '\r' <"$TEST_DIR/out.txt")" = "MAINDIR=REG_SZ $real" ] ||
        fail "$typed: MAINDIR is $(cat "$TEST_DIR/out.txt")"
    run_wine 60 "$inspect" reg HKLM "$uninstall_key" UninstallString
    entry="$(tr -d '\r' <"$TEST_DIR/out.txt")"
    [ "$entry" = "UninstallString=REG_SZ \"$real\\tsd.exe\" -ui" ] || fail "$typed: $entry"

    # The removal as the uninstall entry names it, silently.
    timeout 60 wineserver -w || fail "the wineserver did not end"
    run_wine_headless 60 "$real\\tsd.exe" -ui /S
    expect_code 0 "$typed: silent removal"
    wait_for_removal "$folder"
    [ ! -e "$folder" ] || fail "$typed: $real stays: $(ls -A "$folder")"
    [ ! -e "$(dirname "$folder")" ] || fail "$typed: the folder above $real stays"
    echo "ok: $typed installed to $real and removed"
done

snapshot after
[ -z "$(ls "$temp" | grep '^~tsd-remove-')" ] || fail "a finishing copy stayed: $(ls "$temp")"
cmp -s "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" || {
    diff "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" >&2
    fail "the removals left files or folders, or took some"
}
cmp -s "$TEST_DIR/keys-before.txt" "$TEST_DIR/keys-after.txt" || {
    diff "$TEST_DIR/keys-before.txt" "$TEST_DIR/keys-after.txt" >&2
    fail "registry keys differ from before the installations"
}
echo "ok: nothing of the installations is left"
