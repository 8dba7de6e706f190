#!/usr/bin/env bash
# Every payload entry written into a real prefix with the real platform: the program checks the
# bytes and stamps through Windows, and the files on the Linux side equal the sources they were
# packed from.
source "$(dirname "$0")/lib.sh"
new_prefix
run_wine 120 "$WIN_BUILD_DIR/payload_install_check.exe" 'C:\Check\Tessaron'
cat "$TEST_DIR/out.txt"
expect_code 0 "all entries written with their bytes and stamps"
grep -q '^260 entries installed, 0 problems' "$TEST_DIR/out.txt" || fail "not 260 entries"

target="$(c_drive Check/Tessaron)"
checked=0
while IFS=$'\t' read -r name stamp; do
    case "$name" in ''|'#'*|tsd.exe) continue ;; esac
    rel="${name//\\//}"
    cmp -s "$SRC_DIR/resources/payload/$rel" "$target/$rel" || fail "$name differs from its source"
    checked=$((checked + 1))
done <"$SRC_DIR/resources/payload/listing.txt"
cmp -s "$WIN_BUILD_DIR/tsd.exe" "$target/tsd.exe" || fail "tsd.exe differs from the built one"
[ "$checked" -eq 259 ] || fail "compared $checked files, expected 259"
log="$target/Install.log"
[ -f "$log" ] || fail "no Install.log"
head -c 30 "$log" | grep -q '^Made Dir: C:\\Check\\' || fail "Install.log does not start with the folders"
echo "ok: 260 files equal their sources"
