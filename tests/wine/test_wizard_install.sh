#!/usr/bin/env bash
# A whole interactive installation through the wizard's windows: welcome, licence, destination,
# ready, Next installs, the finished page (Back and Cancel disabled, Next reads Finish), Finish
# without starting the application ends the run with exit code 0 and the files in place.
source "$(dirname "$0")/lib.sh"
new_prefix
start_xvfb
enable_desktop_frames
mkdir -p "$WINE_WORK/screenshots"
cat >"$TEST_DIR/install.txt" <<SCRIPT
window class TessaronForm 30
click NextBtn
expect_text TopLbl "License Agreement"
click NextBtn
expect_text TopLbl "Choose Destination Folder"
click NextBtn
expect_text TopLbl "Ready to Install"
click NextBtn
# The window answers while the files are written: the finished page comes when they are.
wait_text TopLbl "Installation Complete" 120
expect BackBtn visible
expect BackBtn disabled
expect NextBtn enabled
expect_text NextBtn "&Finish"
expect CancelBtn disabled
expect FinishChkBx checked
screenshot $TEST_DIR/finished.bmp
check FinishChkBx off
click NextBtn
wait_exit 30
SCRIPT
run_driver 180 "$TEST_DIR/install.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
expect_code 0 "installed through the wizard"
convert "$TEST_DIR/finished.bmp" "$WINE_WORK/screenshots/en-5-finished.png" || fail "cannot convert"
check_not_blank "$WINE_WORK/screenshots/en-5-finished.png"
wineserver -w
for f in tsd.exe License.txt; do
    [ -f "$(c_drive "Program Files/Tessaron/$f")" ] || fail "$f was not installed"
done
# The choices as the pages left them: for all users, a desktop shortcut, no start at the end.
run_wine 60 "$WIN_BUILD_DIR/read_back.exe" reg HKCU 'Software\Tessaron Word Processor\Install' \
    MAINDIR INSTALLTOALL DSKSHORTCUT LAUNCH UILANG
expect_code 0 "reading the saved choices"
printf '%s\n' 'MAINDIR=REG_SZ C:\Program Files\Tessaron' 'INSTALLTOALL=REG_DWORD 1' 'DSKSHORTCUT=REG_DWORD 1' \
    'LAUNCH=REG_DWORD 0' 'UILANG=REG_SZ en' >"$TEST_DIR/expected-choices.txt"
tr -d '\r' <"$TEST_DIR/out.txt" | cmp -s "$TEST_DIR/expected-choices.txt" - || {
    tr -d '\r' <"$TEST_DIR/out.txt" | diff "$TEST_DIR/expected-choices.txt" - >&2
    fail "the choices were not recorded as made"
}
# An interactive installation saves the Start-menu shortcut as a silent one does.
[ -f "$(c_drive 'ProgramData/Microsoft/Windows/Start Menu/Programs/Tessaron Word Processor.lnk')" ] ||
    fail "the Start-menu shortcut was not saved"
echo "ok: installed, choices recorded, shortcut saved"
