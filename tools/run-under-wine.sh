#!/usr/bin/env bash
# make run: installs silently with the real setup program under Wine, in a throw-away prefix in
# the build folder, and prints what the run changed and its exit code.
#   tools/run-under-wine.sh BUILD SETUP.exe WHY
# BUILD is x86 (a 32-bit prefix) or x64 (a 64-bit prefix); WHY says why that build runs here.
set -eu
export WINE_BUILD="$1"
setup="$(realpath "$2")"
why="$3"
work="$(realpath -m build/run)"
source "$(dirname "$0")/wine-env.sh"
echo "Under Wine: $why."
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX="$work/prefix"
unset DISPLAY   # an unattended installation needs no display

rm -rf "$work"
mkdir -p "$work"
echo "Booting a fresh Wine prefix in $WINEPREFIX ..."
wineboot -i >"$work/boot.log" 2>&1 </dev/null
wineserver -w
for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm "$link"; mkdir -p "$link"; fi
done
(cd "$WINEPREFIX/drive_c" && find . -mindepth 1 | sort) >"$work/before.txt"

echo "Running: wine $setup -S"
set +e
timeout --kill-after=5 300 wine "$setup" -S >"$work/out.txt" 2>"$work/err.txt" </dev/null
code=$?
set -e
wineserver -w

(cd "$WINEPREFIX/drive_c" && find . -mindepth 1 | sort) >"$work/after.txt"
echo
echo "Files and folders the run created on C: :"
comm -13 "$work/before.txt" "$work/after.txt" | sed 's|^\./|  C:\\|; s|/|\\|g' | head -400 || true
for key in 'HKCU\Software\Tessaron Word Processor\Install' \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaron Word Processor'; do
    echo
    echo "Registry $key:"
    if wine reg query "$key" >"$work/reg.txt" 2>/dev/null </dev/null; then
        tr -d '\r' <"$work/reg.txt" | grep -v '^$' | grep -v '^HKEY' | sed 's/^ */  /'
    else
        echo "  (none)"
    fi
done
wineserver -w
[ -s "$work/err.txt" ] && { echo; echo "Wine said:"; sed 's/^/  /' "$work/err.txt" | head -20; }
echo
case "$code" in
    0) meaning="installed (or nothing to do)" ;;
    1) meaning="the application is running; nothing was installed" ;;
    2) meaning="a file could not be written" ;;
    3) meaning="the setup program is damaged" ;;
    124|137) meaning="did not end within 300 s" ;;
    *) meaning="unexpected" ;;
esac
echo "Exit code: $code ($meaning)"
echo "Under Wine: $why."
exit "$code"
