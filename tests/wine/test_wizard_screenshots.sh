#!/usr/bin/env bash
# Screenshots of the wizard's pages, kept as PNG files in $WINE_WORK/screenshots/ for anyone to
# look at ("make screenshots" copies them to dist/screenshots/):
#   <language>-<page>-<name>.png   the six languages, pages 0 to 3 and, after an installation, 5
#                                  (page 4 shows only while the files are written);
#   en-144dpi-<page>-<name>.png    English on a 144 dpi screen, the same pages.
# Each language is chosen in the welcome page's list and the window title must follow it; on
# every page no control may leave the form or its parent; no picture may be blank; and at 144 dpi
# the form must really be drawn larger.
source "$(dirname "$0")/lib.sh"
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

# A fresh prefix with a display, frames and the fonts; LOGPIXELS set when $1 is given.
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

shot() { echo "$INSIDE"; echo "screenshot $TEST_DIR/bmp/$1-$2-${PAGES[$2]}.bmp"; }

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
        echo 'expect CancelBtn disabled'
        shot "${LANGS[$i]}" 5
        echo 'check FinishChkBx off'
        echo 'click NextBtn'
        echo 'wait_exit 60'
    } >"$TEST_DIR/finish.txt"
    run_driver 180 "$TEST_DIR/finish.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
    expect_code 0 "installed in ${LANGS[$i]}, finished page taken"
done
keep_shots

# English at 144 dpi: every page the wizard shows, then an installation to the finished page.
prepare 144
{
    echo 'window class TessaronForm 30'
    echo 'expect_client_size 738 527'
    shot en-144dpi 0
    for p in 1 2 3; do
        echo 'click NextBtn'
        shot en-144dpi "$p"
    done
    echo 'click NextBtn'
    echo 'expect CancelBtn disabled'
    shot en-144dpi 5
    echo 'check FinishChkBx off'
    echo 'click NextBtn'
    echo 'wait_exit 60'
} >"$TEST_DIR/dpi.txt"
run_driver 180 "$TEST_DIR/dpi.txt" "$WIN_BUILD_DIR/tessaron-setup.exe"
expect_code 0 "installed at 144 dpi"
keep_shots

small=$(identify -format '%w' "$SHOTS/en-0-welcome.png")
large=$(identify -format '%w' "$SHOTS/en-144dpi-0-welcome.png")
[ $((large * 100)) -ge $((small * 140)) ] || fail "at 144 dpi the form is $large pixels wide, at 96 dpi $small"
count=$(find "$SHOTS" -name '*.png' | wc -l)
[ "$count" -eq $((6 * 5 + 5)) ] || fail "$count screenshots, expected 35"
echo "ok: $count screenshots in $SHOTS"
