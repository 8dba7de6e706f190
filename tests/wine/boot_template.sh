#!/usr/bin/env bash
# Boots the template prefix that every Wine test of this run copies.
set -eu
: "${WINE_WORK:?}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX="$WINE_WORK/template"
unset DISPLAY
rm -rf "$WINE_WORK"
mkdir -p "$WINE_WORK"
wineboot -i >"$WINE_WORK/boot.log" 2>&1 </dev/null
wineserver -w

# The user folders are links to $HOME after booting: make them real folders, so that nothing a
# test writes (desktop shortcuts) leaks out of its prefix.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
        rm "$link"
        mkdir -p "$link"
    fi
done

# Without a window manager Wine waits for one whenever a window is hidden.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$WINE_WORK/boot.log" 2>&1 </dev/null
wineserver -w
touch "$WINEPREFIX/.booted"
echo "template prefix ready: $WINEPREFIX"
