#!/usr/bin/env bash
# The wizard's destination page as 64-bit Windows shows it to the 32-bit setup: the default
# folder is "C:\Program Files (x86)\Tessaron" with that folder selected in the list, and a
# portable copy is refused under both program files folders; Cancel then ends the run with
# nothing installed.
source "$(dirname "$0")/../lib.sh"
new_prefix
start_xvfb
enable_desktop_frames
cat >"$TEST_DIR/destination.txt" <<'SCRIPT'
window class TessaronForm 30
click NextBtn
expect_text TopLbl "License Agreement"
click NextBtn
expect_text TopLbl "Choose Destination Folder"
expect_text DestDirEdt "C:\\Program Files (x86)\\Tessaron"
expect_selected DestDirLstBx "C:\\Program Files (x86)"
expect_selected DestDirCmbBx "c: "
check PortableChkBx on
click NextBtn
msgbox press ok text "A portable copy cannot be installed to this folder."
expect_text TopLbl "Choose Destination Folder"
type DestDirEdt "C:\\Program Files\\Portable"
click NextBtn
msgbox press ok text "A portable copy cannot be installed to this folder."
expect_text TopLbl "Choose Destination Folder"
click CancelBtn
msgbox press yes text "Setup is not complete. Do you wish to quit this setup program?"
wait_exit 30
SCRIPT
snapshot before
run_driver 180 "$TEST_DIR/destination.txt" "$SETUP"
expect_code 0 "cancelled on the destination page"
snapshot after
LC_ALL=C comm -3 "$TEST_DIR/files-before.txt" "$TEST_DIR/files-after.txt" | grep -v -i -E 'Temp|\.reg$' \
    >"$TEST_DIR/changed.txt" || true
[ ! -s "$TEST_DIR/changed.txt" ] || fail "the cancelled wizard changed files: $(head "$TEST_DIR/changed.txt")"
echo "ok: the destination page under WOW64"
