#!/usr/bin/env bash
# The wizard under a display: walked from the welcome page to the ready page and back, checking
# each page's title and the Back, Next and Cancel buttons; the licence must be accepted to go on;
# Escape and Cancel ask before quitting, "No" keeps the page, "Yes" ends the run with exit code 0
# and nothing installed.
source "$(dirname "$0")/lib.sh"
new_prefix
start_xvfb
enable_desktop_frames

QUIT="Setup is not complete. Do you wish to quit this setup program?"
# Per page: the title, then the state of Back, Next and Cancel.
page() {
    cat <<PAGE
expect_text TopLbl "$1"
expect BackBtn $2
expect NextBtn $3
expect CancelBtn $4
PAGE
}
{
    echo 'window class TessaronForm 30'
    echo 'expect_title "Tessaron Word Processor - Setup"'
    echo 'expect_client_size 492 351'
    echo 'expect_selected LangBox "English"'
    page "Welcome to the Tessaron Word Processor Setup" hidden enabled enabled
    echo 'expect_text NextBtn "&Next >"'
    echo 'expect_text CancelBtn "Cancel"'
    # Escape asks; "No" keeps the page.
    echo 'key escape'
    echo "msgbox press no text \"$QUIT\""
    echo 'expect_text TopLbl "Welcome to the Tessaron Word Processor Setup"'
    echo 'click NextBtn'
    page "License Agreement" visible enabled enabled
    echo 'expect_text BackBtn "< &Back"'
    echo 'expect BackBtn enabled'
    echo 'expect LicenseMemo focused'
    echo 'expect_contains LicenseMemo "END-USER LICENCE AGREEMENT"'
    echo 'expect LicenseChkBx checked'
    # Not accepted: a message, and the page stays.
    echo 'check LicenseChkBx off'
    echo 'click NextBtn'
    echo 'msgbox press ok contains "you need to agree to all the terms"'
    page "License Agreement" visible enabled enabled
    echo 'check LicenseChkBx on'
    echo 'click NextBtn'
    page "Choose Destination Folder" visible enabled enabled
    echo 'expect DestDirEdt focused'
    echo 'expect_text DestDirEdt "C:\\Program Files\\Tessaron"'
    echo 'expect PortableChkBx unchecked'
    # The folder list: choosing a sub-folder opens it and the destination follows.
    echo 'expect_selected DestDirLstBx "C:\\Program Files"'
    echo 'select DestDirLstBx text "C:\\Program Files\\Common Files"'
    echo 'expect_selected DestDirLstBx "C:\\Program Files\\Common Files"'
    echo 'expect_contains DestDirEdt "C:\\Program Files\\Common Files"'
    echo 'expect_selected DestDirCmbBx "c: "'
    echo 'click NextBtn'
    page "Ready to Install" visible enabled enabled
    echo 'expect NextBtn focused'
    echo 'expect InstallToAllChkBx visible'
    echo 'expect DesktopChkBx visible'
    echo 'click BackBtn'
    page "Choose Destination Folder" visible enabled enabled
    echo 'click BackBtn'
    page "License Agreement" visible enabled enabled
    echo 'click BackBtn'
    page "Welcome to the Tessaron Word Processor Setup" hidden enabled enabled
    echo 'click CancelBtn'
    echo "msgbox press no text \"$QUIT\""
    page "Welcome to the Tessaron Word Processor Setup" hidden enabled enabled
    echo 'click CancelBtn'
    echo "msgbox press yes text \"$QUIT\""
    echo 'wait_exit 30'
} >"$TEST_DIR/walk.txt"

run_driver 180 "$TEST_DIR/walk.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
expect_code 0 "the wizard was cancelled"
wineserver -w
[ ! -e "$(c_drive 'Program Files/Tessaron')" ] || fail "a Tessaron folder was made under Program Files"
! grep -q 'Tessaron Word Processor' "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg" ||
    fail "the choices or the uninstall entry were written to the registry"
echo "ok: nothing installed"
