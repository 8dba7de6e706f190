#!/usr/bin/env bash
# The Win32 window backend with a small form holding every kind of control (ui_demo.exe),
# driven as a user would: clicks, accelerators, Tab order, typing, drop-down list and list box
# selections (and the owner-drawn list's item height at 96 and 120 dots per inch), page switching, a refused close, a timer that stops itself, Enter on the default
# button. Without a display the form ends at once with Cancel.
source "$(dirname "$0")/lib.sh"
new_prefix

# No display: no window can be made, the modal form gives Cancel (2) at once.
start=$(date +%s)
run_wine_headless 60 "$WIN_BUILD_DIR/ui_demo.exe"
expect_code 2 "no display: the form is cancelled at once"
[ $(( $(date +%s) - start )) -le 20 ] || fail "the form without a display took too long"
grep -q 'modal result 2' "$TEST_DIR/out.txt" || fail "no modal result printed: $(cat "$TEST_DIR/out.txt")"
# A run without X leaves this wineserver unable to show windows: start a fresh one.
wineserver -k >/dev/null 2>&1 || true
wineserver -w

start_xvfb
enable_desktop_frames
cat >"$TEST_DIR/demo.txt" <<SCRIPT
window class TessaronForm 20
expect_title "Tessaron UI Demo"
expect_client_size 420 300
expect_text StatusLbl "ready"
expect NameEdt focused
# Tab follows the creation order; a label's accelerator moves to the control after it.
key tab
expect ColorBox focused
key tab
expect ItemsLst focused
key alt+o
expect PageBtn focused
# The timer ticks three times, then stops itself.
wait_text TickLbl "3 ticks" 10
click HelloBtn
expect_text StatusLbl "hello 1"
key alt+h
expect_text StatusLbl "hello 2"
type NameEdt "Wine"
expect_text StatusLbl "name=Wine"
select ColorBox text "Blue"
expect_text StatusLbl "color=Blue"
expect_selected ColorBox "Blue"
expect_items ItemsLst 3
expect_item_height ItemsLst 20
select ItemsLst index 2
expect_text StatusLbl "item=2"
expect_selected ItemsLst "gamma"
expect PageOneLbl visible
expect PageTwoLbl hidden
expect InfoMemo hidden
screenshot $TEST_DIR/demo-page1.bmp
click PageBtn
expect_text StatusLbl "page 1"
expect PageTwoLbl visible
expect PageOneLbl hidden
expect PageBtn hidden
expect_contains InfoMemo "second line"
click HelloBtn
expect_text StatusLbl "hello 3"
screenshot $TEST_DIR/demo-page2.bmp
# The close query refuses while the box is ticked: the caption's close and Escape leave the
# form open.
check OptChk on
expect_text StatusLbl "refuse close on"
close
expect_text StatusLbl "close refused"
click HelloBtn
key escape
expect_text StatusLbl "close refused"
check OptChk off
sleep 300
expect_text TickLbl "3 ticks"
no_msgbox
# Enter presses the default button (OK).
key return
wait_exit 20
SCRIPT
run_driver 120 "$TEST_DIR/demo.txt" "$WIN_BUILD_DIR/ui_demo.exe"
expect_code 1 "the form ended with OK; no peer and no name atom left behind"
for bmp in "$TEST_DIR"/demo-page*.bmp; do
    convert "$bmp" "${bmp%.bmp}.png" || fail "cannot convert $bmp"
    check_not_blank "${bmp%.bmp}.png"
done
echo "ok: screenshots $TEST_DIR/demo-page1.png, demo-page2.png"

# At 120 dots per inch every length is scaled by 1.25.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 120 /f \
    >/dev/null 2>>"$TEST_DIR/err.txt" </dev/null || fail "cannot set the DPI"
wineserver -w
cat >"$TEST_DIR/dpi.txt" <<SCRIPT
window class TessaronForm 20
expect_client_size 525 375
expect_item_height ItemsLst 25
screenshot $TEST_DIR/demo-120dpi.bmp
key return
wait_exit 20
SCRIPT
run_driver 120 "$TEST_DIR/dpi.txt" "$WIN_BUILD_DIR/ui_demo.exe"
expect_code 1 "the form at 120 dots per inch"
convert "$TEST_DIR/demo-120dpi.bmp" "$TEST_DIR/demo-120dpi.png" || fail "cannot convert"
check_not_blank "$TEST_DIR/demo-120dpi.png"
