#!/usr/bin/env bash
# Boots the template prefix that every Wine test of this run copies.
set -eu
: "${WINE_WORK:?}" "${SRC_DIR:?}"
source "$SRC_DIR/tools/wine-env.sh"
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

# Wine's own fonts (fonts-wine: Tahoma, Marlett and the rest) go where Windows keeps its fonts,
# which is where this Wine looks for them; without them dialogs are drawn in a substitute face
# and caption buttons as letters.
if [ -d /usr/share/wine/fonts ]; then
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

# Arial (the title band's face) has no copy here: draw it with Liberation Sans, which has
# Arial's metrics (fonts-liberation2), so that texts take the room they take on Windows.
if fc-list 2>/dev/null | grep -q 'LiberationSans-Regular'; then
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' /v Arial \
        /d 'Liberation Sans' /f >>"$WINE_WORK/boot.log" 2>&1 </dev/null
fi

# Without a window manager Wine waits for one whenever a window is hidden.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$WINE_WORK/boot.log" 2>&1 </dev/null
wineserver -w
touch "$WINEPREFIX/.booted"
echo "template prefix ready: $WINEPREFIX"
