#!/usr/bin/env bash
# The wizard started without -S where there is no display: no window can be made, so the form
# is cancelled at once; the run ends with exit code 0, quickly, with nothing installed.
source "$(dirname "$0")/lib.sh"
new_prefix
start=$(date +%s)
run_wine_headless 60 "$WIN_BUILD_DIR/tessaron-setup.exe"
expect_code 0 "interactive run without a display"
[ $(( $(date +%s) - start )) -le 20 ] || fail "the run without a display took too long"
wineserver -w
[ ! -e "$(c_drive 'Program Files/Tessaron')" ] || fail "a Tessaron folder was made under Program Files"
echo "ok: nothing installed"
