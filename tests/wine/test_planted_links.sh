#!/usr/bin/env bash
# Links that another user planted in the folders a silent installation writes to (Unix symbolic
# links in the prefix, which Wine shows as reparse points): nothing is written or replaced where
# they point, and folders planted at the temporary names stop nothing.
source "$(dirname "$0")/lib.sh"
new_prefix
setup="$SETUP"
main="$(c_drive 'Program Files/Tessaron')"
data="$(c_drive ProgramData/Tessaron)"
victim="$(c_drive Victim)"

plant_victim() {
    rm -rf "$victim"
    mkdir -p "$victim"
    printf 'not yours' >"$victim/victim.txt"
}
victim_untouched() {
    [ "$(ls -A "$victim")" = "victim.txt" ] || fail "$1: written where a link points: $(ls -A "$victim" | tr '\n' ' ')"
    [ "$(cat "$victim/victim.txt")" = "not yours" ] || fail "$1: victim.txt changed"
    echo "ok: $1"
}

# The data folder itself a link.
plant_victim
ln -s "$victim" "$data"
run_wine_headless 120 "$setup" /S
expect_code 2 "the data folder a link: the templates are refused"
victim_untouched "nothing through the data folder's link"
[ -L "$data" ] || fail "the link was removed or replaced"
rm "$data"
rm -rf "$main"

# Hidden a link, and a link to a missing file where install_stamp goes.
plant_victim
mkdir -p "$data"
ln -s "$victim" "$data/Hidden"
run_wine_headless 120 "$setup" /S
expect_code 0 "Hidden a link (the stamp is written without a word, as ever)"
victim_untouched "nothing through Hidden"
rm "$data/Hidden"
mkdir -p "$data/Hidden"
rm -f "$data/Hidden/install_stamp"
ln -s "$victim/stamp" "$data/Hidden/install_stamp"
run_wine_headless 120 "$setup" /S
expect_code 0 "a dangling link at install_stamp"
victim_untouched "no file made where a dangling link points"
rm "$data/Hidden/install_stamp"

# A link below Public: the templates behind it are refused.
plant_victim
rm -rf "$data/Public/Templates/Letters"
ln -s "$victim" "$data/Public/Templates/Letters"
run_wine_headless 120 "$setup" /S
expect_code 2 "a folder link below Public"
victim_untouched "no template through the link"
rm "$data/Public/Templates/Letters"

# Folders at the first temporary names of a reinstallation, and the update log's old fixed name.
run_wine_headless 120 "$setup" /S
expect_code 0 "a clean reinstallation"
mkdir -p "$main/tsd.exe.~0" "$data/Update.log.~0" "$data/Update.log.new" "$main/Install.log.~0"
run_wine_headless 120 "$setup" /S
expect_code 0 "folders at the temporary names stop nothing"
cmp -s "$WIN_BUILD_DIR/tsd.exe" "$main/tsd.exe" || fail "tsd.exe not replaced"
for planted in "$main/tsd.exe.~0" "$data/Update.log.~0" "$data/Update.log.new" "$main/Install.log.~0"; do
    [ -d "$planted" ] && [ -z "$(ls -A "$planted")" ] || fail "a planted folder was removed or written into: $planted"
done
# Any temporary name, .~0 included: only the planted folders may stand there.
leftover=$(find "$main" "$data" -name '*.~*' ! -type d | head -3)
[ -z "$leftover" ] || fail "temporary files left: $leftover"
echo "ok: the planted folders are passed over and no temporary file is left"

# A link in place of an unchanged file, leading to a copy with the same bytes and time: the link is
# not kept as the installed file, and the copy behind it stays as it was.
plant_victim
cp -p "$main/tsd.exe" "$victim/tsd.exe"
rm "$main/tsd.exe"
ln -s "$victim/tsd.exe" "$main/tsd.exe"
run_wine_headless 120 "$setup" /S
expect_code 0 "a link at an unchanged file"
[ ! -L "$main/tsd.exe" ] || fail "the link was kept as the installed file"
cmp -s "$WIN_BUILD_DIR/tsd.exe" "$main/tsd.exe" || fail "tsd.exe not written"
cmp -s "$WIN_BUILD_DIR/tsd.exe" "$victim/tsd.exe" || fail "the copy behind the link changed"
echo "ok: a link at an unchanged file is replaced, its target untouched"
