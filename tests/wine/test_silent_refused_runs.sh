#!/usr/bin/env bash
# Silent runs that must not install normally: a portable copy into a folder holding Tessaron.ini,
# and a run while the application is running.
source "$(dirname "$0")/lib.sh"
new_prefix
setup="$SETUP"
inspect="$WIN_BUILD_DIR/read_back.exe"

# Portable: everything in its folder, nothing elsewhere.
mkdir -p "$(c_drive 'Portable Copy')"
: >"$(c_drive 'Portable Copy/Tessaron.ini')"
run_wine_headless 120 "$setup" -S '/DC:\Portable Copy'
expect_code 0 "silent portable installation"
port="$(c_drive 'Portable Copy')"
for f in tsd.exe License.txt tsd_common.dat Tessaron.ini 'Templates/Letters' 'Clip Library/Images'; do
    [ -e "$port/$f" ] || fail "portable copy lacks $f"
done
[ "$(find "$port/Templates" "$port/Clip Library" -type f | wc -l)" -eq 258 ] || fail "portable copy lacks shared files"
[ ! -e "$port/Install.log" ] || fail "a portable copy saved Install.log"
[ ! -e "$(c_drive ProgramData/Tessaron)" ] || fail "a portable copy wrote into ProgramData"
[ -z "$(find "$WINEPREFIX/drive_c" -name '*.lnk' -path '*Tessaron*')" ] || fail "a portable copy made shortcuts"
run_wine 60 "$inspect" key HKCU 'Software\Tessaron Word Processor\Install'
grep -q missing "$TEST_DIR/out.txt" || fail "a portable copy wrote the saved choices"
echo "ok: portable copy"

# The application running: exit code 1 and nothing written. A wineserver that served runs
# without a display cannot show windows afterwards, so let it end first.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
start_xvfb
wine "$port/tsd.exe" -uilp en >"$TEST_DIR/app.txt" 2>"$TEST_DIR/app-err.txt" </dev/null &
for _ in $(seq 100); do
    run_wine 30 "$inspect" running
    grep -q yes "$TEST_DIR/out.txt" && break
    sleep 0.2
done
grep -q yes "$TEST_DIR/out.txt" || fail "the stand-in application never showed its window"
run_wine 120 "$setup" -S
expect_code 1 "silent run while the application runs"
[ ! -e "$(c_drive 'Program Files/Tessaron')" ] || fail "files were written while the application ran"
run_wine 60 "$inspect" key HKLM 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaron Word Processor'
grep -q missing "$TEST_DIR/out.txt" || fail "the uninstall entry was written"
echo "ok: running application"
