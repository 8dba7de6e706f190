#!/usr/bin/env bash
# make release: the release in OUT_DIR, made from the Windows build WIN_DIR:
#   tools/release.sh OUT_DIR WIN_DIR PACKER
# 1. tsd.exe, exactly as the build's payload carries it, signed and time-stamped (tools/sign.sh:
#    SIGN_PFX, SIGN_PASS, SIGN_TS);
# 2. the setup program relinked over that signed file (WIN_DIR's target release_setup) and signed
#    last, so that the application it installs carries the signature too;
# 3. with RELEASE_URL, the package manifests in winget/ (tools/winget-manifests.sh);
# 4. SHA256SUMS over all of it, as sha256sum -c reads it.
# Everything is made in OUT_DIR.partial and becomes OUT_DIR only when all of it succeeded; any
# earlier OUT_DIR is removed first, so a failed release leaves nothing that could be shipped.
set -euo pipefail
out="$1"
win="$2"
packer="$3"
tools="$(cd "$(dirname "$0")" && pwd)"
work="$out.partial"

fail() {
    echo "release: $*; nothing is released" >&2
    exit 1
}

rm -rf "$out" "$work"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work"
if [ -n "${SIGN_PFX:-}" ] && [ -z "${SIGN_TS:-}" ]; then
    echo "release: no SIGN_TS given: the signatures are not time-stamped and stop validating" \
        "when the certificate expires"
fi

# The application as the payload carries it: the stand-in, or a PAYLOAD folder's own tsd.exe.
"$packer" extract "$win/tessaron-setup.exe" "$work/payload" >/dev/null ||
    fail "cannot read the payload of $win/tessaron-setup.exe"
bash "$tools/sign.sh" "$work/payload/tsd.exe" "$work/tsd.exe" || fail "tsd.exe is not signed"
rm -rf "$work/payload"

mkdir -p "$win/release"
cp "$work/tsd.exe" "$win/release/tsd.exe"
cmake --build "$win" --target release_setup -j"${JOBS:-2}" >"$work/build.txt" 2>&1 || {
    cat "$work/build.txt" >&2
    fail "the setup program over the signed tsd.exe does not build"
}
rm -f "$work/build.txt"
bash "$tools/sign.sh" "$win/release/tessaron-setup.exe" "$work/tessaron-setup.exe" ||
    fail "tessaron-setup.exe is not signed"

# The installed application is the released one, byte for byte.
"$packer" extract "$work/tessaron-setup.exe" "$work/check" >/dev/null ||
    fail "cannot read the payload of the signed setup program"
cmp -s "$work/check/tsd.exe" "$work/tsd.exe" || fail "the payload does not carry the released tsd.exe"
rm -rf "$work/check"

files=(tessaron-setup.exe tsd.exe)
if [ -n "${RELEASE_URL:-}" ]; then
    bash "$tools/winget-manifests.sh" "$work/winget" "$work/tessaron-setup.exe" "$RELEASE_URL" ||
        fail "the package manifests are not written"
    files+=($(cd "$work" && ls winget/*.yaml))
else
    echo "release: no RELEASE_URL given: no package manifests"
fi
(cd "$work" && sha256sum "${files[@]}" >SHA256SUMS)

mv "$work" "$out"
echo "$out/ is the release: ${files[*]} SHA256SUMS"
