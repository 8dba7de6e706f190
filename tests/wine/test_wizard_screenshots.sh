#!/usr/bin/env bash
# Screenshots of the wizard's pages, kept as PNG files in $WINE_WORK/screenshots/ for anyone to
# look at ("make screenshots" copies them to dist/screenshots/):
#   <language>-<page>-<name>.png   the six languages, pages 0 to 3 and, after an installation, 5
#                                  (page 4 shows only while the files are written);
#   en-144dpi-<page>-<name>.png    English on a 144 dpi screen, the same pages;
#   en-192dpi-<page>-<name>.png    and on a 192 dpi screen;
#   <language>-150pct-<page>-<name>.png  English and German at 96 dpi with the message font at
#                                  150 %, as "Make text bigger" sets it.
# Each language is chosen in the welcome page's list and the window title must follow it; on
# every page no control may leave the form or its parent and no text may be clipped; no picture
# may be blank; at 144 and 192 dpi the form must really be drawn larger, and the folder and drive
# pictures drawn for that DPI.
source "$(dirname "$0")/lib.sh"
# Room for the form at 192 dpi (984 x 702 pixels and its frame).
XVFB_SCREEN=1280x1024
DESKTOP_SIZE=1200x960
SHOTS="$WINE_WORK/screenshots"
rm -rf "$SHOTS"
mkdir -p "$SHOTS"
LANGS=(de en es fr zh zht)
TITLES=(
    "Tessaron-Textverarbeitungsprogramm - Setup"
    "Tessaron Word Processor - Setup"
    "Procesador de textos Tessaron - Instalación"
    "Installation du traitement de texte Tessaron"
    "泰萨隆文字处理器 - 安装"
    "泰薩隆文字處理器 - 安裝"
)
PAGES=(welcome licence destination ready installing finished)
# The page container and its pages reach beyond the form's right edge by design (their frame is
# never seen).
INSIDE='expect_inside PgCtrl WelcomeTabSheet LicenseTabSheet DestDirTabSheet StartTabSheet InstallingTabSheet FinishTabSheet'

# The message font at 150 %: Tahoma 17 pixels high instead of 11 (a LOGFONTW).
BIG_MESSAGE_FONT=efffffff0000000000000000000000009001000000000001000000005400610068006f006d00610000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000

# A fresh prefix with a display, frames and the fonts; LOGPIXELS set when $1 is given, the big
# message font when $2 is "big".
prepare() {
    [ -n "${WINEPREFIX:-}" ] && { wineserver -k >/dev/null 2>&1 || true; wineserver -w >/dev/null 2>&1 || true; }
    new_prefix
    [ -n "$XVFB_PID" ] || start_xvfb
    enable_desktop_frames
    cjk_font_fallback
    if [ -n "${1:-}" ]; then
        for key in 'HKCU\Control Panel\Desktop' \
                   'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
            timeout 60 wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f \
                >/dev/null 2>>"$TEST_DIR/err.txt" </dev/null || fail "cannot set LogPixels"
        done
        wineserver -w
    fi
    if [ "${2:-}" = big ]; then
        timeout 60 wine reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v MessageFont /t REG_BINARY \
            /d "$BIG_MESSAGE_FONT" /f >/dev/null 2>>"$TEST_DIR/err.txt" </dev/null || fail "cannot set the message font"
        wineserver -w
    fi
    mkdir -p "$TEST_DIR/bmp"
}

# Converts this run's pictures into $SHOTS and checks them.
keep_shots() {
    local bmp png
    for bmp in "$TEST_DIR"/bmp/*.bmp; do
        png="$SHOTS/$(basename "$bmp" .bmp).png"
        convert "$bmp" "$png" || fail "cannot convert $bmp"
        check_not_blank "$png"
    done
    rm -f "$TEST_DIR"/bmp/*.bmp
}

shot() {
    echo "$INSIDE"
    echo 'expect_text_fits TopLbl'  # the title is sized to its own font
    echo "screenshot $TEST_DIR/bmp/$1-$2-${PAGES[$2]}.bmp"
}

# Pages 0 to 3 in every language, in one run; cancelled, so nothing is installed.
prepare
{
    echo 'window class TessaronForm 30'
    for i in "${!LANGS[@]}"; do
        echo "select LangBox index $i"
        echo "expect_title \"${TITLES[$i]}\""
        for p in 0 1 2 3; do
            [ "$p" -gt 0 ] && echo 'click NextBtn'
            shot "${LANGS[$i]}" "$p"
        done
        echo 'click BackBtn'
        echo 'click BackBtn'
        echo 'click BackBtn'
        echo 'expect BackBtn hidden'
    done
    echo 'click CancelBtn'
    echo 'msgbox press yes'
    echo 'wait_exit 30'
} >"$TEST_DIR/shots.txt"
run_driver 300 "$TEST_DIR/shots.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
expect_code 0 "the wizard was cancelled after the screenshots"
keep_shots

# The finished page: one installation per language. After the first, the saved choices skip the
# licence page.
for i in "${!LANGS[@]}"; do
    {
        echo 'window class TessaronForm 30'
        echo "select LangBox index $i"
        echo "expect_title \"${TITLES[$i]}\""
        echo 'click NextBtn'
        [ "$i" -eq 0 ] && echo 'click NextBtn'
        echo 'click NextBtn'
        echo 'click NextBtn'
        echo 'wait CancelBtn disabled 120'  # the finished page, once the files are written
        shot "${LANGS[$i]}" 5
        echo 'check FinishChkBx off'
        echo 'click NextBtn'
        echo 'wait_exit 60'
    } >"$TEST_DIR/finish.txt"
    run_driver 180 "$TEST_DIR/finish.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
    expect_code 0 "installed in ${LANGS[$i]}, finished page taken"
done
keep_shots

# English at 144 and 192 dpi: every page the wizard shows, then an installation to the finished
# page. The folder and drive pictures are drawn for the DPI (16 pixels wide at 96 dpi).
for dpi in 144 192; do
    prepare "$dpi"
    {
        echo 'window class TessaronForm 30'
        echo "expect_client_size $(((492 * dpi + 48) / 96)) $(((351 * dpi + 48) / 96))"
        shot "en-${dpi}dpi" 0
        for p in 1 2 3; do
            echo 'click NextBtn'
            [ "$p" -eq 2 ] && echo "expect_item_picture DestDirLstBx 0 $((16 * dpi / 96 - 4))" &&
                echo "expect_item_picture DestDirCmbBx 0 $((16 * dpi / 96 - 4))"
            shot "en-${dpi}dpi" "$p"
        done
        echo 'click NextBtn'
        echo 'wait CancelBtn disabled 120'  # the finished page, once the files are written
        shot "en-${dpi}dpi" 5
        echo 'check FinishChkBx off'
        echo 'click NextBtn'
        echo 'wait_exit 60'
    } >"$TEST_DIR/dpi.txt"
    run_driver 180 "$TEST_DIR/dpi.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
    expect_code 0 "installed at $dpi dpi"
    keep_shots
done

# Bigger text at 96 dpi: English and German, pages 0 to 3, then English to the finished page.
prepare "" big
{
    echo 'window class TessaronForm 30'
    for i in 1 0; do
        echo "select LangBox index $i"
        for p in 0 1 2 3; do
            [ "$p" -gt 0 ] && echo 'click NextBtn'
            shot "${LANGS[$i]}-150pct" "$p"
        done
        echo 'click BackBtn'
        echo 'click BackBtn'
        echo 'click BackBtn'
    done
    echo 'select LangBox index 1'
    echo 'click NextBtn'
    echo 'click NextBtn'
    echo 'click NextBtn'
    echo 'click NextBtn'
    echo 'wait CancelBtn disabled 120'  # the finished page, once the files are written
    shot en-150pct 5
    echo 'check FinishChkBx off'
    echo 'click NextBtn'
    echo 'wait_exit 60'
} >"$TEST_DIR/big.txt"
run_driver 240 "$TEST_DIR/big.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
expect_code 0 "installed with bigger text"
keep_shots

small=$(identify -format '%w' "$SHOTS/en-0-welcome.png")
large=$(identify -format '%w' "$SHOTS/en-144dpi-0-welcome.png")
[ $((large * 100)) -ge $((small * 140)) ] || fail "at 144 dpi the form is $large pixels wide, at 96 dpi $small"
count=$(find "$SHOTS" -name '*.png' | wc -l)
[ "$count" -eq $((6 * 5 + 5 + 5 + 2 * 4 + 1)) ] || fail "$count screenshots, expected 49"
echo "ok: $count screenshots in $SHOTS"
