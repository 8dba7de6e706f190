#!/usr/bin/env bash
# The removal, which may run elevated, deletes nothing where a link points: a folder link in the
# shared "Public" folder with update-log lines naming files behind it (one read-only), a folder
# link inside the installation folder with an install-log line behind it, and a listed template
# that is a link to a file (which Wine shows with its target's attributes). Everything else goes,
# and the run ends with exit code 2.
source "$(dirname "$0")/lib.sh"
new_prefix
setup="$SETUP"
main="$(c_drive 'Program Files/Tessaron')"
data="$(c_drive ProgramData/Tessaron)"
temp="$(c_drive users/root/Temp)"
victim="$(c_drive Victim)"
template="$data/Public/Templates/Letters/Business Letter.rtf"

run_wine_headless 120 "$setup" -S
expect_code 0 "silent installation"
[ -f "$template" ] || fail "the installation is incomplete"

mkdir -p "$victim/Deeper/Empty"
printf 'not the installation'"'"'s\r\n' >"$victim/victim.txt"
printf 'protected\r\n' >"$victim/read-only.txt"
chmod a-w "$victim/read-only.txt"
printf 'deeper\r\n' >"$victim/Deeper/v2.txt"
printf 'a letter of someone else\r\n' >"$victim/letter.rtf"
ln -s "$victim" "$data/Public/j"
printf '%s\r\n' 'C:\ProgramData\Tessaron\Public\j\victim.txt' \
    'C:\ProgramData\Tessaron\Public\j\read-only.txt	!' >>"$data/Update.log"
ln -s "$victim/Deeper" "$main/Plugins"
printf '%s\r\n' 'File Copy: C:\Program Files\Tessaron\Plugins\v2.txt' \
    'Made Dir: C:\Program Files\Tessaron\Plugins\Empty\' >>"$main/Install.log"
rm -f "$template"
ln -s "$victim/letter.rtf" "$template"
victim_before="$( (cd "$victim" && find . -printf '%p %m\n' | LC_ALL=C sort && find . -type f -exec md5sum {} + | LC_ALL=C sort) )"

timeout 60 wineserver -w || fail "the wineserver did not end"
run_wine_headless 60 "$main/tsd.exe" -ui /S
expect_code 2 "silent removal past links"
wait_for_removal "$main/tsd.exe"
timeout 60 wineserver -w || fail "the wineserver did not end"

victim_after="$( (cd "$victim" && find . -printf '%p %m\n' | LC_ALL=C sort && find . -type f -exec md5sum {} + | LC_ALL=C sort) )"
[ "$victim_before" = "$victim_after" ] || {
    diff <(echo "$victim_before") <(echo "$victim_after") >&2
    fail "something changed where the links point"
}
[ -L "$data/Public/j" ] && [ -L "$main/Plugins" ] && [ -L "$template" ] || fail "a link went"
echo "ok: nothing changed where the links point; the links stay"

[ ! -e "$main/tsd.exe" ] && [ ! -e "$main/License.txt" ] || fail "the program files stayed"
[ ! -e "$data/Public/Templates/Letters/Cover Letter.rtf" ] || fail "the other templates stayed"
[ -f "$data/Update.log" ] || fail "the update log went although it lists what was left"
! grep -qi 'Tessaron Word Processor\]' "$WINEPREFIX/system.reg" || fail "the uninstall entry stayed"
echo "ok: everything else of the installation went"
