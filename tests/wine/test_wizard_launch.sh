#!/usr/bin/env bash
# An interactive installation in French through the wizard's windows that launches the installed
# application at the end: the application's window shows that it was started with "-uilp fr",
# and the language is remembered.
source "$(dirname "$0")/lib.sh"
new_prefix
start_xvfb
enable_desktop_frames
cat >"$TEST_DIR/launch.txt" <<'SCRIPT'
window class TessaronForm 30
select LangBox index 3
expect_contains TopLbl "Merci de faire confiance"
click NextBtn
click NextBtn
click NextBtn
click NextBtn
# The window answers while the files are written: the finished page comes when they are.
wait CancelBtn disabled 120
expect FinishChkBx checked
click NextBtn
wait_exit 60
window any "Tessaron Word Processor (-uilp fr)" 30
close
SCRIPT
run_driver 180 "$TEST_DIR/launch.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
expect_code 0 "installed in French, and the application started with -uilp fr"
run_wine 60 "$WIN_BUILD_DIR/read_back.exe" reg HKCU 'Software\Tessaron Word Processor\Install' UILANG LAUNCH
grep -q 'UILANG=REG_SZ fr' "$TEST_DIR/out.txt" || fail "the language was not remembered"
echo "ok: French remembered"
