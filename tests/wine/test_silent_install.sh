#!/usr/bin/env bash
# A silent installation into a fresh prefix, checked file by file, stamp by stamp, log by log,
# shortcut by shortcut and value by value; then a silent reinstallation over it.
source "$(dirname "$0")/lib.sh"
# Stamps are local times: check them away from UTC, in a zone without daylight saving (Windows
# converts with the bias in force now, Linux with the one of the date, so they differ by DST).
export TZ=Asia/Kolkata
new_prefix
setup="$SETUP"
inspect="$WIN_BUILD_DIR/read_back.exe"
main="$(c_drive 'Program Files/Tessaron')"
data="$(c_drive ProgramData/Tessaron)"

run_wine_headless 120 "$setup" -S
expect_code 0 "silent installation"

# Every payload file with its bytes and its stamp.
checked=0
while IFS=$'\t' read -r name stamp; do
    case "$name" in ''|'#'*) continue ;; esac
    rel="${name//\\//}"
    case "$rel" in
        tsd.exe) file="$main/tsd.exe"; source_file="$WIN_BUILD_DIR/tsd.exe" ;;
        License.txt) file="$main/License.txt"; source_file="$SRC_DIR/resources/payload/License.txt" ;;
        *) file="$data/Public/$rel"; source_file="$SRC_DIR/resources/payload/$rel" ;;
    esac
    cmp -s "$source_file" "$file" || fail "$name: bytes differ or missing"
    got=$(date -r "$file" '+%Y-%m-%d %H:%M:%S')
    [ "$got" = "$stamp" ] || fail "$name: stamped $got, expected $stamp"
    checked=$((checked + 1))
done <"$SRC_DIR/resources/payload/listing.txt"
[ "$checked" -eq 260 ] || fail "checked $checked files"
echo "ok: 260 files with their bytes and local-time stamps"

[ "$(stat -c %s "$data/Hidden/install_stamp")" -eq 8 ] || fail "install_stamp is not 8 bytes"
[ "$(stat -c %s "$data/tsd_common.dat")" -eq 16 ] || fail "tsd_common.dat is not 16 bytes"
[ "$(head -c 8 "$data/tsd_common.dat" | od -An -tx1 | tr -d ' \n')" = "0100000008000000" ] ||
    fail "tsd_common.dat does not start with 1 and 8"
[ ! -e "$main/Tessaron.ini" ] || fail "a normal installation wrote Tessaron.ini"

# Install.log, byte for byte.
programs='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Tessaron Word Processor.lnk'
desktop='C:\users\Public\Desktop\Tessaron Word Processor.lnk'
printf '%s\r\n' 'Made Dir: C:\ProgramData\Tessaron\' 'Made Dir: C:\ProgramData\Tessaron\Public\' \
    'Made Dir: C:\ProgramData\Tessaron\Hidden\' 'Made Dir: C:\Program Files\Tessaron\' \
    'File Copy: C:\Program Files\Tessaron\tsd.exe' 'File Copy: C:\Program Files\Tessaron\License.txt' \
    "File Copy: $programs" "File Copy: $desktop" >"$TEST_DIR/expected-install.log"
cmp "$TEST_DIR/expected-install.log" "$main/Install.log" || {
    cat -A "$main/Install.log" >&2
    fail "Install.log differs"
}
echo "ok: Install.log"

# Update.log: the marker carries install_stamp's bytes, then one line per shared file.
marker="*$(od -An -tx1 "$data/Hidden/install_stamp" | tr -d ' \n' | tr a-f A-F)"
first=$(head -n 1 "$data/Update.log" | tr -d '\r')
[ "$first" = "$marker" ] || fail "Update.log starts with $first, expected $marker"
grep -v '^#' "$SRC_DIR/resources/payload/listing.txt" | cut -f1 | grep -E '^(Templates|Clip Library)\\' |
    sed 's|^|C:\\ProgramData\\Tessaron\\Public\\|; s|$|\t!|' | sort >"$TEST_DIR/expected-update.txt"
tail -n +2 "$data/Update.log" | tr -d '\r' | sort >"$TEST_DIR/got-update.txt"
cmp -s "$TEST_DIR/expected-update.txt" "$TEST_DIR/got-update.txt" || fail "Update.log lists other files"
[ "$(grep -c $'\r$' "$data/Update.log")" -eq 259 ] || fail "Update.log lines do not all end in CR LF"
echo "ok: Update.log"

# The shortcuts, read back through the shell link object.
for link in "$programs" "$desktop"; do
    run_wine 60 "$inspect" link "$link"
    expect_code 0 "shortcut $link"
    tr -d '\r' <"$TEST_DIR/out.txt" >"$TEST_DIR/link.txt"
    grep -qx 'target=C:\\Program Files\\Tessaron\\tsd.exe' "$TEST_DIR/link.txt" || fail "target: $(cat "$TEST_DIR/link.txt")"
    grep -qx 'workdir=C:\\Program Files\\Tessaron' "$TEST_DIR/link.txt" || fail "working folder"
    grep -qx 'description=Compact, fast-loading, but still powerful and efficient word processor' \
        "$TEST_DIR/link.txt" || fail "description"
done
echo "ok: shortcuts"

# The registry records.
run_wine 60 "$inspect" reg HKCU 'Software\Tessaron Word Processor\Install' MAINDIR INSTALLTOALL DSKSHORTCUT LAUNCH UILANG
tr -d '\r' <"$TEST_DIR/out.txt" >"$TEST_DIR/saved.txt"
printf '%s\n' 'MAINDIR=REG_SZ C:\Program Files\Tessaron' 'INSTALLTOALL=REG_DWORD 1' 'DSKSHORTCUT=REG_DWORD 1' \
    'LAUNCH=REG_DWORD 1' 'UILANG=REG_SZ en' | cmp -s - "$TEST_DIR/saved.txt" || {
    cat "$TEST_DIR/saved.txt" >&2
    fail "saved choices differ"
}
size=$(( $(stat -c %s "$main/tsd.exe") / 1024 ))
run_wine 60 "$inspect" reg HKLM 'Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaron Word Processor' \
    DisplayIcon DisplayName DisplayVersion EstimatedSize Publisher UninstallString
tr -d '\r' <"$TEST_DIR/out.txt" >"$TEST_DIR/uninstall.txt"
printf '%s\n' 'DisplayIcon=REG_SZ C:\Program Files\Tessaron\tsd.exe' 'DisplayName=REG_SZ Tessaron Word Processor' \
    'DisplayVersion=REG_SZ 4.4.3.8' "EstimatedSize=REG_DWORD $size" 'Publisher=REG_SZ The Tessaron Word Processor Team' \
    'UninstallString=REG_SZ "C:\Program Files\Tessaron\tsd.exe" -ui' | cmp -s - "$TEST_DIR/uninstall.txt" || {
    cat "$TEST_DIR/uninstall.txt" >&2
    fail "uninstall entry differs"
}
echo "ok: registry records"

# A silent reinstallation: same install log, one marker in the update log. The files that are as
# the first run left them are kept (the same file, not a new one of the same name); a file with
# another stamp or another byte is replaced and gets the payload's again.
cp "$main/Install.log" "$TEST_DIR/first-install.log"
restamped="$data/Public/$(grep -v '^#' "$SRC_DIR/resources/payload/listing.txt" | cut -f1 | grep '^Templates' | head -n 1 | tr '\\' /)"
rewritten="$data/Public/$(grep -v '^#' "$SRC_DIR/resources/payload/listing.txt" | cut -f1 | grep '^Clip Library' | head -n 1 | tr '\\' /)"
cp -p "$restamped" "$TEST_DIR/restamped"
cp -p "$rewritten" "$TEST_DIR/rewritten"
touch -d '2024-01-02 03:04:06' "$restamped"
printf '\001' | dd of="$rewritten" bs=1 seek=0 conv=notrunc 2>/dev/null
touch -r "$TEST_DIR/rewritten" "$rewritten"
inodes() { stat -c %i "$main/tsd.exe" "$main/License.txt" "$restamped" "$rewritten" | tr '\n' ' '; }
read -r exe_before licence_before restamped_before rewritten_before <<<"$(inodes)"
sleep 2
run_wine_headless 120 "$setup" /S
expect_code 0 "silent reinstallation"
cmp -s "$TEST_DIR/first-install.log" "$main/Install.log" || fail "Install.log changed on reinstalling"
[ "$(grep -c '^\*' "$data/Update.log")" -eq 1 ] || fail "Update.log holds more than one marker"
[ "$(wc -l <"$data/Update.log")" -eq 259 ] || fail "Update.log does not hold the full list once"
read -r exe_after licence_after restamped_after rewritten_after <<<"$(inodes)"
[ "$exe_before $licence_before" = "$exe_after $licence_after" ] || fail "unchanged files were written again"
[ "$restamped_before" != "$restamped_after" ] || fail "a file with another stamp was kept"
[ "$rewritten_before" != "$rewritten_after" ] || fail "a file with another byte was kept"
for changed in restamped rewritten; do
    cmp -s "$TEST_DIR/$changed" "${!changed}" || fail "$changed: not the payload's bytes again"
    [ "$(stat -c %Y "$TEST_DIR/$changed")" = "$(stat -c %Y "${!changed}")" ] || fail "$changed: not the payload's stamp again"
done
[ -z "$(find "$main" "$data" -name '*.~*')" ] || fail "temporary files left"
echo "ok: reinstallation, unchanged files kept and changed ones replaced"
