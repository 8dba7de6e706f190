#!/usr/bin/env bash
# What another user plants in the shared data folder, for real: a leftover of a killed
# replacement beside a shared template goes with it; an empty folder of the user's own in
# "Public" stays (and the folders holding it); an update log that is a hard link to a file the
# user may not read is never read into the new, world-readable log by a reinstallation, nor
# acted on by the removal, and the file behind it keeps its bytes.
source "$(dirname "$0")/lib.sh"
new_prefix
setup="$SETUP"
main="$(c_drive "${PROGRAM_FILES:-Program Files}/Tessaron")"  # PROGRAM_FILES: where a wow64 prefix has it
data="$(c_drive ProgramData/Tessaron)"
template="$data/Public/Templates/Letters/Business Letter.rtf"
secret="$(c_drive Secret)/secret.txt"

run_wine_headless 120 "$setup" -S
expect_code 0 "silent installation"
[ -f "$template" ] || fail "the installation is incomplete"

# A leftover beside a template, and an empty folder of the user's.
printf 'half a replacement\r\n' >"$template.~0"
mkdir -p "$data/Public/Mine"
timeout 60 wineserver -w || fail "the wineserver did not end"
run_wine_headless 60 "$main/tsd.exe" -ui /S
expect_code 0 "silent removal"
wait_for_removal "$main/tsd.exe"
timeout 60 wineserver -w || fail "the wineserver did not end"
[ ! -e "$template.~0" ] || fail "the leftover beside the template stayed"
[ ! -e "$template" ] || fail "the template stayed"
[ -d "$data/Public/Mine" ] || fail "the user's own empty folder was removed"
[ ! -e "$data/Public/Templates" ] || fail "the installation's folders stayed"
echo "ok: the leftover went, the user's folder stayed"

# The update log as another name of a file only its owner reads.
run_wine_headless 120 "$setup" -S
expect_code 0 "second installation"
mkdir -p "$(dirname "$secret")"
printf 'C:\\ProgramData\\Tessaron\\Public\\Templates\\Letters\\Business Letter.rtf\r\nsecret line\r\n' >"$secret"
rm -f "$data/Update.log"
ln "$secret" "$data/Update.log"
secret_before="$(md5sum <"$secret")"
timeout 60 wineserver -w || fail "the wineserver did not end"
run_wine_headless 120 "$setup" -S
expect_code 2 "reinstallation over a hard-linked update log"
[ "$(md5sum <"$secret")" = "$secret_before" ] || fail "the file behind the hard link changed"
if grep -rl "secret line" "$data" "$main" | grep -v '^'"$data/Update.log"'$' >&2; then
    fail "the hard-linked file's lines were copied"
fi
echo "ok: the reinstallation neither read nor replaced the hard-linked log"

timeout 60 wineserver -w || fail "the wineserver did not end"
run_wine_headless 60 "$main/tsd.exe" -ui /S
expect_code 2 "removal past a hard-linked update log"
wait_for_removal "$main/tsd.exe"
timeout 60 wineserver -w || fail "the wineserver did not end"
[ "$(md5sum <"$secret")" = "$secret_before" ] || fail "the file behind the hard link changed"
[ -f "$data/Update.log" ] || fail "the hard-linked log was deleted"
[ -f "$template" ] || fail "a line of the hard-linked log was acted on"
echo "ok: the removal neither read nor deleted the hard-linked log"
