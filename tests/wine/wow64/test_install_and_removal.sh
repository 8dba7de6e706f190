#!/usr/bin/env bash
# The 32-bit setup as 64-bit Windows runs it (WOW64): a silent installation goes to
# "C:\Program Files (x86)\Tessaron", its logs and shortcuts name that folder, its uninstall entry
# lies in the registry's 32-bit view (Wow6432Node), where the list of programs finds it, and the
# quiet removal that the entry names takes everything again.
source "$(dirname "$0")/../lib.sh"
new_prefix
inspect="$WIN_BUILD_DIR/read_back.exe"
main="$(c_drive 'Program Files (x86)/Tessaron')"
temp="$(c_drive users/root/Temp)"
entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaron Word Processor'

snapshot before
run_wine_headless 120 "$SETUP" -S
expect_code 0 "silent installation"
[ -f "$main/tsd.exe" ] && [ -f "$main/License.txt" ] && [ -f "$main/Install.log" ] ||
    fail "nothing in C:\\Program Files (x86)\\Tessaron"
[ ! -e "$(c_drive 'Program Files/Tessaron')" ] || fail "the 32-bit program went into the native program files folder"
grep -qF 'File Copy: C:\Program Files (x86)\Tessaron\tsd.exe' "$main/Install.log" ||
    fail "Install.log names another folder: $(cat "$main/Install.log")"
echo "ok: installed in C:\\Program Files (x86)\\Tessaron"

# The entry as the 32-bit programs read it.
run_wine 60 "$inspect" reg HKLM "$entry" UninstallString QuietUninstallString InstallLocation
expect_code 0 "reading the uninstall entry"
printf '%s\n' 'UninstallString=REG_SZ "C:\Program Files (x86)\Tessaron\tsd.exe" -ui' \
    'QuietUninstallString=REG_SZ "C:\Program Files (x86)\Tessaron\tsd.exe" -ui /S' \
    'InstallLocation=REG_SZ C:\Program Files (x86)\Tessaron' |
    cmp -s - <(tr -d '\r' <"$TEST_DIR/out.txt") || fail "uninstall entry: $(cat "$TEST_DIR/out.txt")"
# As stored: below Wow6432Node, not in the native view.
timeout 60 wineserver -w || fail "the wineserver did not end"
grep -qiF '[Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaron Word Processor]' \
    "$WINEPREFIX/system.reg" || fail "the uninstall entry is not in the 32-bit view"
! grep -qiF '[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaron Word Processor]' \
    "$WINEPREFIX/system.reg" || fail "the uninstall entry is in the native view"
# The list of installed programs, a 64-bit program like Windows' own, reads both views.
timeout 60 /usr/lib/wine/wine64 uninstaller --list >"$TEST_DIR/programs.txt" 2>"$TEST_DIR/err.txt" </dev/null ||
    fail "the 64-bit list of programs did not run: $(cat "$TEST_DIR/err.txt")"
tr -d '\r' <"$TEST_DIR/programs.txt" | grep -q 'Tessaron Word Processor' ||
    fail "the list of programs does not show the entry: $(cat "$TEST_DIR/programs.txt")"
echo "ok: the entry in the 32-bit view, and listed"

for link in 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Tessaron Word Processor.lnk' \
    'C:\users\Public\Desktop\Tessaron Word Processor.lnk'; do
    run_wine 60 "$inspect" link "$link"
    expect_code 0 "shortcut $link"
    grep -qx 'target=C:\\Program Files (x86)\\Tessaron\\tsd.exe' <(tr -d '\r' <"$TEST_DIR/out.txt") ||
        fail "shortcut target: $(cat "$TEST_DIR/out.txt")"
done
echo "ok: shortcuts to C:\\Program Files (x86)\\Tessaron\\tsd.exe"

# The quiet removal as the entry names it, without a display.
run_wine_headless 60 'C:\Program Files (x86)\Tessaron\tsd.exe' -ui /S
expect_code 0 "quiet removal through the entry"
wait_for_removal "$main/tsd.exe"
snapshot after
[ -z "$(ls "$temp" | grep '^~tsd-remove-')" ] || fail "the finishing copy stayed: $(ls "$temp")"
cmp -s "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" || {
    diff "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" >&2
    fail "the removal left files or folders, or took some"
}
grep -qi 'Tessaron' "$TEST_DIR/keys-after.txt" && fail "registry keys stayed: $(grep -i Tessaron "$TEST_DIR/keys-after.txt")"
echo "ok: the removal took every file, folder and key"
