#!/usr/bin/env bash
# A shared template that the user replaced with one unpacked from a ZIP (a new file whose time
# lies on an even second, an hour after the installation, as a payload stamp would) is the user's:
# the removal keeps it, with the update log, and takes every other shared file.
source "$(dirname "$0")/lib.sh"
new_prefix
setup="$SETUP"
main="$(c_drive "${PROGRAM_FILES:-Program Files}/Tessaron")"  # PROGRAM_FILES: where a wow64 prefix has it
data="$(c_drive ProgramData/Tessaron)"
template="$data/Public/Templates/Letters/Business Letter.rtf"

run_wine_headless 120 "$setup" -S
expect_code 0 "silent installation"
[ -f "$template" ] || fail "the installation is incomplete"
# The installation's time: the payload's even second and one tick (100 ns), kept by Wine.
case "$(stat -c %y "$template")" in
*.000000100\ *) echo "ok: the template carries the installation's time" ;;
*) fail "the template's time is not the installation's: $(stat -c %y "$template")" ;;
esac

# The ZIP's file: written anew, its time an even second one hour from now.
rm -f "$template"
printf '{\\rtf1 my own letter}\r\n' >"$template"
zip_time=$(( ($(date +%s) + 3600) / 2 * 2 ))
touch -m -d "@$zip_time" "$template"
timeout 60 wineserver -w || fail "the wineserver did not end"

run_wine_headless 60 "$main/tsd.exe" -ui /S
expect_code 0 "silent removal"
wait_for_removal "$main/tsd.exe"
timeout 60 wineserver -w || fail "the wineserver did not end"
[ -f "$template" ] || fail "the template from the ZIP was deleted"
grep -q "my own letter" "$template" || fail "the template from the ZIP changed"
[ -f "$data/Update.log" ] || fail "the update log that lists the kept template went"
grep -q "Business Letter.rtf" "$data/Update.log" || fail "the update log no longer lists the kept template"
left="$(cd "$data" && find . -type f | LC_ALL=C sort | tr '\n' '|')"
[ "$left" = "./Public/Templates/Letters/Business Letter.rtf|./Update.log|" ] ||
    fail "more than the kept template and its log stayed: $left"
echo "ok: the template from the ZIP stayed with the update log, the rest went"
