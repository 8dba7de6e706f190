#!/usr/bin/env bash
# The release copies that "make release" signs (tools/release.sh), with a throw-away self-signed
# code-signing certificate made here: osslsigncode verifies both against that certificate as the
# trusted root, a copy changed after signing fails, tsdpack still reads the signed payload, the
# signed setup program installs silently, and a signed damaged program still stops with code 3.
source "$(dirname "$0")/lib.sh"
packer="$(dirname "$WINE_WORK")/tsdpack"   # the host build's, beside the Wine work folder
new_prefix
keys="$TEST_DIR/keys"
release="$TEST_DIR/release"
mkdir -p "$keys"

openssl req -x509 -newkey rsa:2048 -nodes -keyout "$keys/key.pem" -out "$keys/cert.pem" -days 2 \
    -subj "/CN=Tessaron Test Signing" -addext "extendedKeyUsage=codeSigning" \
    -addext "keyUsage=digitalSignature" >"$keys/openssl.txt" 2>&1 || fail "openssl cannot make a certificate"
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -out "$keys/sign.pfx" \
    -passout pass:'throw away' >>"$keys/openssl.txt" 2>&1 || fail "openssl cannot make a PKCS#12 file"

programs=("$SRC_DIR/dist/tessaron-setup.exe" "$SRC_DIR/dist/tsd.exe" "$WIN_BUILD_DIR/tessaron-setup-damaged.exe")
SIGN_PFX="$keys/sign.pfx" SIGN_PASS='throw away' bash "$SRC_DIR/tools/release.sh" "$release" \
    "${programs[@]}" >"$TEST_DIR/release.txt" 2>&1 || { cat "$TEST_DIR/release.txt" >&2; fail "signing failed"; }
for program in "${programs[@]}"; do
    signed="$release/$(basename "$program")"
    [ -f "$signed" ] || fail "no signed $signed"
    cmp -s "$program" "$signed" && fail "$signed is not changed by signing"
    osslsigncode verify -CAfile "$keys/cert.pem" -in "$signed" >"$TEST_DIR/verify.txt" 2>&1 || {
        cat "$TEST_DIR/verify.txt" >&2
        fail "osslsigncode does not verify $signed"
    }
    grep -q 'Signature verification: ok' "$TEST_DIR/verify.txt" || fail "no verified signature in $signed"
done
echo "ok: three programs signed and verified against the test certificate"

# The signature covers the file: one byte changed after signing is caught.
cp "$release/tsd.exe" "$TEST_DIR/tampered.exe"
printf 'X' | dd of="$TEST_DIR/tampered.exe" bs=1 seek=4096 conv=notrunc status=none
if osslsigncode verify -CAfile "$keys/cert.pem" -in "$TEST_DIR/tampered.exe" >"$TEST_DIR/verify.txt" 2>&1; then
    fail "a changed signed program still verifies"
fi
echo "ok: a program changed after signing fails verification"

# Without a certificate the copies stay as built, and the script says so.
SIGN_PFX='' bash "$SRC_DIR/tools/release.sh" "$TEST_DIR/unsigned" "$SRC_DIR/dist/tsd.exe" >"$TEST_DIR/release.txt"
grep -q 'NOT SIGNED' "$TEST_DIR/release.txt" || fail "unsigned copies are not announced"
cmp -s "$SRC_DIR/dist/tsd.exe" "$TEST_DIR/unsigned/tsd.exe" || fail "the unsigned copy differs"
# A wrong password signs nothing.
if SIGN_PFX="$keys/sign.pfx" SIGN_PASS=wrong bash "$SRC_DIR/tools/release.sh" "$TEST_DIR/wrong" \
    "$SRC_DIR/dist/tsd.exe" >"$TEST_DIR/release.txt" 2>&1; then
    fail "signing with a wrong password succeeded"
fi
[ ! -e "$TEST_DIR/wrong/tsd.exe" ] || fail "a wrong password left a copy behind"
echo "ok: unsigned copies and a wrong password"

# The signed setup program's payload is untouched by the signature.
"$packer" list "$release/tessaron-setup.exe" >"$TEST_DIR/list.txt" || fail "tsdpack cannot list the signed program"
[ "$(wc -l <"$TEST_DIR/list.txt")" -eq 261 ] || fail "tsdpack lists $(wc -l <"$TEST_DIR/list.txt") lines"
"$packer" verify "$release/tessaron-setup.exe" --listing "$SRC_DIR/resources/payload/listing.txt" \
    --set "tsd.exe=$WIN_BUILD_DIR/tsd.exe" >"$TEST_DIR/verify.txt" || fail "tsdpack verify: $(cat "$TEST_DIR/verify.txt")"
echo "ok: tsdpack lists and verifies the signed payload"

run_wine_headless 120 "$release/tessaron-setup.exe" /S
expect_code 0 "signed setup program, silent installation"
cmp -s "$WIN_BUILD_DIR/tsd.exe" "$(c_drive 'Program Files/Tessaron/tsd.exe')" || fail "tsd.exe not installed"
run_wine_headless 60 "$release/tessaron-setup-damaged.exe" /S
expect_code 3 "signed damaged program, silent run"
