#!/usr/bin/env bash
# "make release" as a release engineer runs it, with a throw-away code-signing certificate and a
# time-stamping server started here on 127.0.0.1: both programs are signed and time-stamped, the
# setup program's payload carries the signed tsd.exe byte for byte and installs it, SHA256SUMS
# checks, and the package manifests describe the release that was made (its hash, its version
# resource, its switches, its uninstall entry). A server that does not answer, or answers
# nothing, and a wrong password fail the release and leave nothing; without a certificate the
# release is the tested build.
source "$(dirname "$0")/lib.sh"
source "$SRC_DIR/tools/product-facts.sh"
packer="$(dirname "$WINE_WORK")/tsdpack"   # the host build's, beside the Wine work folder
inspect="$WIN_BUILD_DIR/read_back.exe"
new_prefix
keys="$TEST_DIR/keys"
dist="$TEST_DIR/dist"
release="$dist/release"
mkdir -p "$keys"

SERVER_PIDS=()
stop_servers() {
    local pid
    for pid in "${SERVER_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
}
trap 'code=$?; stop_servers; cleanup "$code"' EXIT

# start_server NAME ARGS...: a timestamp_server.py that ends by itself within 240 s; sets PORT.
start_server() {
    local name="$1"
    shift
    timeout --kill-after=5 250 python3 "$SRC_DIR/tests/wine/timestamp_server.py" "$@" \
        "$keys/$name.port" 240 2>"$TEST_DIR/$name.txt" &
    SERVER_PIDS+=($!)
    for _ in $(seq 100); do
        [ -s "$keys/$name.port" ] && break
        sleep 0.1
    done
    [ -s "$keys/$name.port" ] || fail "the $name server did not start: $(cat "$TEST_DIR/$name.txt")"
    PORT="$(cat "$keys/$name.port")"
}

# ---- A signing certificate and a time-stamping authority of its own ----
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$keys/key.pem" -out "$keys/cert.pem" -days 2 \
    -subj "/CN=Tessaron Test Signing" -addext "extendedKeyUsage=codeSigning" \
    -addext "keyUsage=digitalSignature" >"$keys/openssl.txt" 2>&1 || fail "openssl cannot make a certificate"
openssl pkcs12 -export -inkey "$keys/key.pem" -in "$keys/cert.pem" -out "$keys/sign.pfx" \
    -passout pass:'throw away' >>"$keys/openssl.txt" 2>&1 || fail "openssl cannot make a PKCS#12 file"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$keys/tsa-key.pem" -out "$keys/tsa.pem" -days 2 \
    -subj "/CN=Tessaron Test Time Stamps" -addext "extendedKeyUsage=critical,timeStamping" \
    -addext "keyUsage=critical,digitalSignature" >>"$keys/openssl.txt" 2>&1 ||
    fail "openssl cannot make the time-stamping certificate"
echo 01 >"$keys/tsa-serial"
cat >"$keys/tsa.cnf" <<EOF
[ tsa ]
default_tsa = test_tsa
[ test_tsa ]
serial = $keys/tsa-serial
signer_cert = $keys/tsa.pem
signer_key = $keys/tsa-key.pem
signer_digest = sha256
default_policy = 1.3.6.1.4.1.99999.1
digests = sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
EOF
start_server tsa "$keys/tsa.cnf"
tsa_url="http://127.0.0.1:$PORT"

# verify_signed PROGRAM: a signature by the test certificate with a time stamp of the test server.
verify_signed() {
    osslsigncode verify -CAfile "$keys/cert.pem" -TSA-CAfile "$keys/tsa.pem" -in "$1" \
        >"$TEST_DIR/verify.txt" 2>&1 || { cat "$TEST_DIR/verify.txt" >&2; fail "osslsigncode does not verify $1"; }
    grep -q '^Signature verification: ok' "$TEST_DIR/verify.txt" || fail "no verified signature in $1"
    grep -q '^Timestamp Server Signature verification: ok' "$TEST_DIR/verify.txt" ||
        fail "no verified time stamp in $1"
    grep -q 'Issuer: /CN=Tessaron Test Time Stamps' "$TEST_DIR/verify.txt" || fail "$1: another time stamp"
}

# ---- The release ----
version="$(product_fact VERSION)"
url="https://downloads.example.com/tessaron/$version/tessaron-setup.exe"
started=$SECONDS
# A make of its own: not a part of the jobs of the make that may have started the tests.
# The release of the build under test: the product, or the 64-bit build where only it runs.
if [ "$WIN_ARCH" = x64 ]; then build=(RELEASE_ARCH=x64 WIN64="$WIN_BUILD_DIR"); else build=(WIN="$WIN_BUILD_DIR"); fi
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -C "$SRC_DIR" --no-print-directory release \
    "${build[@]}" DIST="$dist" SIGN_PFX="$keys/sign.pfx" SIGN_PASS='throw away' \
    SIGN_TS="$tsa_url" RELEASE_URL="$url" >"$TEST_DIR/release.txt" 2>&1 || {
    cat "$TEST_DIR/release.txt" >&2
    fail "make release failed"
}
echo "ok: make release took $((SECONDS - started)) s"
id=Tessaron.WordProcessor
(cd "$release" && find . -type f | sort) >"$TEST_DIR/files.txt"
printf '%s\n' ./SHA256SUMS ./tessaron-setup.exe ./tsd.exe "./winget/$id.installer.yaml" \
    "./winget/$id.locale.en-US.yaml" "./winget/$id.yaml" | cmp -s - "$TEST_DIR/files.txt" || {
    cat "$TEST_DIR/files.txt" >&2
    fail "the release does not hold exactly its files"
}
[ ! -e "$release.partial" ] || fail "the release's work folder is left"

for program in tessaron-setup.exe tsd.exe; do
    verify_signed "$release/$program"
done
[ "$(grep -c '"POST ' "$TEST_DIR/tsa.txt")" -eq 2 ] || fail "the time-stamping server was not asked twice"
echo "ok: both programs signed and time-stamped"

# The signature covers the file: one byte changed after signing is caught.
cp "$release/tsd.exe" "$TEST_DIR/tampered.exe"
printf 'X' | dd of="$TEST_DIR/tampered.exe" bs=1 seek=4096 conv=notrunc status=none
if osslsigncode verify -CAfile "$keys/cert.pem" -TSA-CAfile "$keys/tsa.pem" -in "$TEST_DIR/tampered.exe" \
    >"$TEST_DIR/verify.txt" 2>&1; then
    fail "a changed signed program still verifies"
fi
echo "ok: a program changed after signing fails verification"

# ---- The payload carries the signed application ----
cmp -s "$WIN_BUILD_DIR/tsd.exe" "$release/tsd.exe" && fail "the released tsd.exe is the unsigned one"
"$packer" extract "$release/tessaron-setup.exe" "$TEST_DIR/extracted" >"$TEST_DIR/extract.txt" ||
    fail "tsdpack cannot extract the signed setup program"
cmp -s "$TEST_DIR/extracted/tsd.exe" "$release/tsd.exe" || fail "the payload's tsd.exe is not the released one"
verify_signed "$TEST_DIR/extracted/tsd.exe"
"$packer" list "$release/tessaron-setup.exe" >"$TEST_DIR/list.txt" || fail "tsdpack cannot list the signed program"
[ "$(wc -l <"$TEST_DIR/list.txt")" -eq 261 ] || fail "tsdpack lists $(wc -l <"$TEST_DIR/list.txt") lines"
# Everything else is packed as in the tested build.
"$packer" verify "$release/tessaron-setup.exe" --listing "$SRC_DIR/resources/payload/listing.txt" \
    --set "tsd.exe=$release/tsd.exe" >"$TEST_DIR/verify.txt" || fail "tsdpack verify: $(cat "$TEST_DIR/verify.txt")"
echo "ok: the payload carries the signed tsd.exe, the rest as built"

# ---- Checksums ----
(cd "$release" && sha256sum --quiet -c SHA256SUMS) >"$TEST_DIR/sums.txt" 2>&1 || {
    cat "$TEST_DIR/sums.txt" >&2
    fail "sha256sum -c fails"
}
sed 's/^[0-9a-f]*  /.\//' "$release/SHA256SUMS" | sort | cmp -s - <(grep -v '^./SHA256SUMS$' "$TEST_DIR/files.txt") ||
    fail "SHA256SUMS does not list every file of the release"
echo "ok: sha256sum -c"

# ---- The manifests against the release ----
# value FILE KEY: the value of the first line "KEY: value" (indented or after "- "), unquoted.
value() {
    local line
    line="$(grep -m1 -E "^(  |- )?$2: " "$1")" || fail "$1 has no $2"
    line="${line#*"$2: "}"
    case "$line" in "'"*"'") line="${line:1:-1}"; line="${line//\'\'/\'}" ;; esac
    printf '%s' "$line"
}
# expect FILE KEY VALUE
expect() {
    local found
    found="$(value "$1" "$2")"
    [ "$found" = "$3" ] || fail "$(basename "$1"): $2 is '$found', expected '$3'"
}
w="$release/winget"
run_wine 60 "$inspect" version "$(winepath -w "$release/tessaron-setup.exe" 2>/dev/null)"
expect_code 0 "version resource of the released setup program"
tr -d '\r' <"$TEST_DIR/out.txt" >"$TEST_DIR/version.txt"
resource() { sed -n "s/^$1=//p" "$TEST_DIR/version.txt"; }
for file in "$id.yaml" "$id.locale.en-US.yaml" "$id.installer.yaml"; do
    expect "$w/$file" PackageIdentifier "$id"
    expect "$w/$file" PackageVersion 4.4.3.8
    expect "$w/$file" ManifestVersion 1.10.0
done
expect "$w/$id.yaml" ManifestType version
expect "$w/$id.yaml" DefaultLocale en-US
locale="$w/$id.locale.en-US.yaml"
expect "$locale" ManifestType defaultLocale
expect "$locale" PackageLocale en-US
# Written out here: taken from the facts that the manifests are made from, a slip in those would
# pass unseen.
expect "$locale" PackageName 'Tessaron Word Processor'
expect "$locale" Publisher 'The Tessaron Word Processor Team'
expect "$locale" Copyright 'Copyright (c) 2009-2026 Tessaron Software. All rights reserved.'
expect "$locale" License Proprietary
expect "$locale" ShortDescription 'A word processor with document templates and a clip library.'
# The manifests and the released program's version resource tell the same.
[ "$(resource ProductVersion)" = 4.4.3.8 ] && [ "$(resource ProductName)" = 'Tessaron Word Processor' ] &&
    [ "$(resource CompanyName)" = 'The Tessaron Word Processor Team' ] ||
    fail "the released program's version resource: $(cat "$TEST_DIR/version.txt")"
installer="$w/$id.installer.yaml"
expect "$installer" ManifestType installer
expect "$installer" InstallerType exe
expect "$installer" Architecture "$WIN_ARCH"
expect "$installer" Scope machine
expect "$installer" InstallerUrl "$url"
expect "$installer" InstallerSha256 "$(sha256sum "$release/tessaron-setup.exe" | cut -d' ' -f1 | tr a-f A-F)"
expect "$installer" Silent -S
expect "$installer" SilentWithProgress -S
expect "$installer" InstallLocation '-D<INSTALLPATH>'
expect "$installer" UpgradeBehavior install
grep -q 'level="highestAvailable"' "$SRC_DIR/resources/setup.manifest" || fail "the setup asks for another level"
expect "$installer" ElevationRequirement elevatesSelf
# One response for each exit code other than 0, as the README gives them.
responses="$(awk '/^ExpectedReturnCodes:/ { on = 1; next } /^[A-Z]/ { on = 0 }
    on && /^- InstallerReturnCode: / { code = $3 } on && /^  ReturnResponse: / { print code, $2 }' "$installer")"
[ "$responses" = $'1 packageInUseByApplication\n2 fileInUse\n3 contactSupport' ] ||
    fail "exit codes and their responses: $responses"
echo "ok: the manifests' texts, hash and exit codes match the release"

# The manifest's own switches install the released application where they say.
silent="$(value "$installer" Silent)"
location="$(value "$installer" InstallLocation)"
run_wine_headless 120 "$release/tessaron-setup.exe" "$silent" "${location/<INSTALLPATH>/C:\\Packages\\Tessaron}"
expect_code 0 "signed setup program with the manifest's silent and location switches"
cmp -s "$release/tsd.exe" "$(c_drive Packages/Tessaron/tsd.exe)" || fail "the released tsd.exe is not installed"
key="Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(value "$installer" ProductCode)"
run_wine 60 "$inspect" reg HKLM "$key" DisplayName Publisher DisplayVersion
expect_code 0 "the uninstall entry"
printf '%s\n' "DisplayName=REG_SZ $(value "$installer" DisplayName)" \
    "Publisher=REG_SZ $(value "$installer" Publisher)" \
    "DisplayVersion=REG_SZ $(value "$installer" DisplayVersion)" |
    cmp -s - <(tr -d '\r' <"$TEST_DIR/out.txt") || {
    cat "$TEST_DIR/out.txt" >&2
    fail "the uninstall entry is not the manifest's"
}
echo "ok: installed with the manifest's switches, the uninstall entry is the manifest's"

# ---- Failures leave nothing ----
# A closed port: nothing answers at all.
port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
if SIGN_PFX="$keys/sign.pfx" SIGN_PASS='throw away' SIGN_TS="http://127.0.0.1:$port" \
    bash "$SRC_DIR/tools/release.sh" "$release" "$WIN_BUILD_DIR" "$packer" >"$TEST_DIR/failed.txt" 2>&1; then
    fail "a release with a closed time-stamping port succeeded"
fi
grep -q "the time-stamping server http://127.0.0.1:$port did not answer" "$TEST_DIR/failed.txt" || {
    cat "$TEST_DIR/failed.txt" >&2
    fail "no clear message for a closed time-stamping port"
}
[ ! -e "$release" ] && [ ! -e "$release.partial" ] || fail "a failed release left files"
# A server that takes the connection and never answers: the limit ends the wait.
start_server mute --mute
started=$SECONDS
if SIGN_PFX="$keys/sign.pfx" SIGN_PASS='throw away' SIGN_TS="http://127.0.0.1:$PORT" SIGN_TS_SECONDS=3 \
    bash "$SRC_DIR/tools/release.sh" "$release" "$WIN_BUILD_DIR" "$packer" >"$TEST_DIR/failed.txt" 2>&1; then
    fail "a release with a silent time-stamping server succeeded"
fi
[ $((SECONDS - started)) -lt 30 ] || fail "the release waited $((SECONDS - started)) s for a silent server"
grep -q "did not answer within 3 s" "$TEST_DIR/failed.txt" || {
    cat "$TEST_DIR/failed.txt" >&2
    fail "no clear message for a silent time-stamping server"
}
[ ! -e "$release" ] && [ ! -e "$release.partial" ] || fail "a silent server's release left files"
# A wrong password signs nothing.
if SIGN_PFX="$keys/sign.pfx" SIGN_PASS=wrong bash "$SRC_DIR/tools/release.sh" "$TEST_DIR/wrong" \
    "$WIN_BUILD_DIR" "$packer" >"$TEST_DIR/failed.txt" 2>&1; then
    fail "signing with a wrong password succeeded"
fi
[ ! -e "$TEST_DIR/wrong" ] && [ ! -e "$TEST_DIR/wrong.partial" ] || fail "a wrong password left files"
echo "ok: a closed port, a silent server and a wrong password fail the release and leave nothing"

# ---- Without a certificate: the tested programs themselves, and said so ----
SIGN_PFX='' bash "$SRC_DIR/tools/release.sh" "$TEST_DIR/unsigned" "$WIN_BUILD_DIR" "$packer" \
    >"$TEST_DIR/unsigned.txt" 2>&1 || { cat "$TEST_DIR/unsigned.txt" >&2; fail "an unsigned release failed"; }
[ "$(grep -c 'NOT SIGNED' "$TEST_DIR/unsigned.txt")" -eq 2 ] || fail "unsigned copies are not announced"
cmp -s "$WIN_BUILD_DIR/tsd.exe" "$TEST_DIR/unsigned/tsd.exe" || fail "the unsigned tsd.exe differs"
cmp -s "$WIN_BUILD_DIR/tessaron-setup.exe" "$TEST_DIR/unsigned/tessaron-setup.exe" ||
    fail "the unsigned release's setup program is not the tested one"
[ ! -e "$TEST_DIR/unsigned/winget" ] || fail "manifests without RELEASE_URL"
echo "ok: an unsigned release is the tested build"

# ---- A damaged program, signed without a time stamp, still stops with code 3 ----
SIGN_PFX="$keys/sign.pfx" SIGN_PASS='throw away' bash "$SRC_DIR/tools/sign.sh" \
    "$WIN_BUILD_DIR/tessaron-setup-damaged.exe" "$TEST_DIR/damaged.exe" >"$TEST_DIR/sign.txt" 2>&1 ||
    { cat "$TEST_DIR/sign.txt" >&2; fail "the damaged program is not signed"; }
grep -q 'NOT TIME-STAMPED: the signature expires with the certificate' "$TEST_DIR/sign.txt" ||
    fail "a signature without a time stamp is not announced"
osslsigncode verify -CAfile "$keys/cert.pem" -in "$TEST_DIR/damaged.exe" >"$TEST_DIR/verify.txt" 2>&1 ||
    fail "the signed damaged program does not verify"
run_wine_headless 60 "$TEST_DIR/damaged.exe" /S
expect_code 3 "signed damaged program, silent run"
