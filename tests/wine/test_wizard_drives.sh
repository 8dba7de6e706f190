#!/usr/bin/env bash
# The destination page under Wine with a second drive: a drive letter mapped to a folder with a
# volume label appears in the drive selector as "e: [label]"; choosing it moves the folder list
# and the destination to it, and choosing c: again brings back the program files default.
source "$(dirname "$0")/lib.sh"
new_prefix
mkdir -p "$TEST_DIR/stick/Photos"
printf 'BACKUP' >"$TEST_DIR/stick/.windows-label"
ln -s "$TEST_DIR/stick" "$WINEPREFIX/dosdevices/e:"
# Drives are read when the wineserver starts.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
start_xvfb
enable_desktop_frames

cat >"$TEST_DIR/drives.txt" <<'SCRIPT'
window class TessaronForm 30
click NextBtn
click NextBtn
expect_text TopLbl "Choose Destination Folder"
expect_selected DestDirCmbBx "c: "
select DestDirCmbBx text "e: [backup]"
expect_selected DestDirCmbBx "e: [backup]"
expect_text DestDirEdt "e:\\Tessaron"
expect_selected DestDirLstBx "e:\\"
select DestDirLstBx text "e:\\Photos"
expect_text DestDirEdt "e:\\Photos"
select DestDirCmbBx text "c: "
expect_text DestDirEdt "C:\\Program Files\\Tessaron"
click CancelBtn
msgbox press yes
wait_exit 30
SCRIPT
run_driver 180 "$TEST_DIR/drives.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
expect_code 0 "drives followed on the destination page"
[ ! -e "$TEST_DIR/stick/Tessaron" ] || fail "cancelling left a folder on the mapped drive"
