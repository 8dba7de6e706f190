#!/usr/bin/env bash
# Screenshots of the wizard in each of the six languages, from the welcome page to the ready
# page, kept as PNG files in $WINE_WORK/screenshots/<language>-<page>.png for anyone to look at.
# Each language is chosen in the welcome page's list; the window title must follow it, and no
# picture may be blank.
source "$(dirname "$0")/lib.sh"
new_prefix
start_xvfb
enable_desktop_frames
cjk_font_fallback

SHOTS="$WINE_WORK/screenshots"
mkdir -p "$SHOTS"
SHOT_DIR="$TEST_DIR/bmp"
mkdir -p "$SHOT_DIR"
LANGS=(de en es fr zh zht)
TITLES=(
    "Tessaron-Textverarbeitungsprogramm - Setup"
    "Tessaron Word Processor - Setup"
    "Procesador de textos Tessaron - Instalación"
    "Installation du traitement de texte Tessaron"
    "泰萨隆文字处理器 - 安装"
    "泰薩隆文字處理器 - 安裝"
)
PAGES=(welcome licence destination ready)
{
    echo 'window class TessaronForm 30'
    for i in "${!LANGS[@]}"; do
        echo "select LangBox index $i"
        echo "expect_title \"${TITLES[$i]}\""
        for p in "${!PAGES[@]}"; do
            [ "$p" -gt 0 ] && echo 'click NextBtn'
            echo "screenshot $SHOT_DIR/${LANGS[$i]}-$p-${PAGES[$p]}.bmp"
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
count=0
for bmp in "$SHOT_DIR"/*.bmp; do
    png="$SHOTS/$(basename "$bmp" .bmp).png"
    convert "$bmp" "$png" || fail "cannot convert $bmp"
    check_not_blank "$png"
    count=$((count + 1))
done
[ "$count" -eq 24 ] || fail "$count screenshots, expected 24"
echo "ok: $count screenshots in $SHOTS"
