#!/usr/bin/env bash
# A reinstallation onto a nearly full drive: the new tsd.exe does not fit beside the older,
# smaller one. The setup program must end with exit code 2 and leave the older tsd.exe byte for
# byte, with no temporary file beside it. The drive is a small tmpfs mounted for the test (root
# only; without the rights to mount, the test says so and tells CTest it was skipped, exit 77).
source "$(dirname "$0")/lib.sh"
new_prefix
mnt="$TEST_DIR/small-drive"
mkdir -p "$mnt"
# Sized from the new tsd.exe: an older one of half its size, and about three quarters of its size
# left free beside it.
new_size=$(stat -c %s "$WIN_BUILD_DIR/tsd.exe")
old_size=$((new_size / 2))
drive_kb=$(( (old_size + new_size * 3 / 4) / 1024 + 8 ))
if [ "$(id -u)" -ne 0 ] || ! mount -t tmpfs -o size=${drive_kb}k tmpfs "$mnt" 2>"$TEST_DIR/mount.txt"; then
    echo "SKIP: cannot mount a small file system here (needs root and tmpfs): $(cat "$TEST_DIR/mount.txt" 2>/dev/null)"
    exit 77
fi
# The wineserver keeps files of the drive open: stop it before unmounting.
trap 'cleanup $?; umount "$mnt" 2>/dev/null || umount -l "$mnt" 2>/dev/null || true' EXIT

mkdir -p "$mnt/Tessaron"
head -c "$old_size" /dev/urandom >"$mnt/Tessaron/tsd.exe"
touch -d '2024-01-02 03:04:06' "$mnt/Tessaron/tsd.exe"
cp -p "$mnt/Tessaron/tsd.exe" "$TEST_DIR/older-tsd.exe"
free=$(( $(stat -f -c '%a * %S' "$mnt") ))
[ "$free" -lt "$new_size" ] || fail "the drive has $free bytes free, room for the new tsd.exe ($new_size)"
echo "ok: drive D: with $free bytes free for a tsd.exe of $new_size bytes"

ln -s "$mnt" "$WINEPREFIX/dosdevices/d:"
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true

run_wine_headless 120 "$SETUP" -S '-DD:\Tessaron'
expect_code 2 "reinstallation onto a full drive"
cmp -s "$TEST_DIR/older-tsd.exe" "$mnt/Tessaron/tsd.exe" || fail "the older tsd.exe was changed or lost"
[ "$(stat -c %Y "$mnt/Tessaron/tsd.exe")" = "$(stat -c %Y "$TEST_DIR/older-tsd.exe")" ] ||
    fail "the older tsd.exe has a new time stamp"
echo "ok: the older tsd.exe is there byte for byte"
leftover=$(find "$mnt" -name '*.~*' | head -5)
[ -z "$leftover" ] || fail "temporary files left: $leftover"
echo "ok: no temporary file left"
