#!/usr/bin/env bash
# The wizard with the keyboard alone, as a keyboard user and a screen-reader user meet it: real key
# presses walk every page to an installation; on each page the focus goes where it should, Tab
# visits the controls in reading order, each control a user operates is read with a name, each
# label lies right before its control in z-order, and after every message box (the quit question
# answered No, the licence reminder) the wizard is active again with the focus where it was.
source "$(dirname "$0")/lib.sh"
new_prefix
start_xvfb
enable_desktop_frames

cat >"$TEST_DIR/keys.txt" <<'SCRIPT'
window class TessaronForm 30
expect_active
# Reading order: the title first, then the page, then the buttons; labels before their controls.
expect_order TopPanel LeftPanel PgCtrl BottomBevelPanel BottomPanel
expect_order BackBtn NextBtn CancelBtn
expect_after LangBox LangLbl
expect_after LicenseMemo LicenseLbl
expect_group LangLbl yes
expect_group LangBox no
expect_group DestDirEdt yes
expect_group NextBtn yes
# Welcome page: the language box first, then Next and Cancel (Back is hidden).
expect LangBox focused
expect_name LangBox "Language:"
press tab
expect NextBtn focused
expect_name NextBtn "Next >"
press tab
expect CancelBtn focused
press tab
expect LangBox focused
press shift+tab
expect CancelBtn focused
# The quit question answered No: the wizard is active again, the focus on Cancel.
press escape
msgbox press no text "Setup is not complete. Do you wish to quit this setup program?"
expect_active
expect CancelBtn focused
press tab
expect LangBox focused
press return
# Licence page.
expect_text TopLbl "License Agreement"
expect LicenseMemo focused
expect_name LicenseMemo "Please read the following License Agreement:"
press tab
expect LicenseChkBx focused
expect_name LicenseChkBx "I accept all the terms of the above License Agreement"
press space
expect LicenseChkBx unchecked
press return
msgbox press ok contains "you need to agree to all the terms"
expect_active
expect LicenseChkBx focused
press space
expect LicenseChkBx checked
press alt+n
# Destination page: every control named, in reading order.
expect_text TopLbl "Choose Destination Folder"
expect DestDirEdt focused
expect_name DestDirEdt "Destination folder"
press tab
expect DestDirLstBx focused
expect_name DestDirLstBx "Folders"
press tab
expect DestDirCmbBx focused
expect_name DestDirCmbBx "Drive"
press tab
expect PortableChkBx focused
expect_name PortableChkBx "Install as portable"
press tab
expect PortableInfoBtn focused
expect_name PortableInfoBtn "Help on portable copies"
press tab
expect BackBtn focused
press tab
expect NextBtn focused
# The folder list answers the arrow keys: up opens the drive's root, down its first folder.
press shift+tab
press shift+tab
press shift+tab
press shift+tab
press shift+tab
expect DestDirLstBx focused
press up
expect_selected DestDirLstBx "C:\\"
expect_text DestDirEdt "C:\\Tessaron"
press down
expect_contains DestDirEdt "C:\\Program"
press up
expect_text DestDirEdt "C:\\Tessaron"
press return
# Ready page: Next has the focus; Tab reaches both check boxes.
expect_text TopLbl "Ready to Install"
expect NextBtn focused
press tab
expect CancelBtn focused
press tab
expect InstallToAllChkBx focused
press tab
expect DesktopChkBx focused
press space
expect DesktopChkBx unchecked
press alt+n
# Finished page after the installation.
wait_text TopLbl "Installation Complete" 120
expect_active
expect_name FinishChkBx "Launch Tessaron Word Processor"
press alt+l
expect FinishChkBx focused
expect FinishChkBx unchecked
press tab
expect NextBtn focused
press return
wait_exit 60
expect_exit 0
SCRIPT

run_driver 300 "$TEST_DIR/keys.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
expect_code 0 "installed with the keyboard alone"
wineserver -w
[ -e "$(c_drive 'Tessaron/tsd.exe')" ] || fail "tsd.exe was not installed into C:\\Tessaron"
echo "ok: installed into C:\\Tessaron"
