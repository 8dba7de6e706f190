#!/usr/bin/env bash
# make release: release copies of the programs in OUT_DIR, signed with osslsigncode when SIGN_PFX
# names a PKCS#12 file (its password in SIGN_PASS, handed over on a pipe, never on a command
# line), else copied unsigned, and said so.
#   tools/release.sh OUT_DIR PROGRAM...
# No time-stamping server is asked: a signature made without one is only valid while the
# certificate is, and the signing time makes signed copies differ from build to build.
set -euo pipefail
out="$1"
shift
mkdir -p "$out"
for program in "$@"; do
    name="$(basename "$program")"
    if [ -z "${SIGN_PFX:-}" ]; then
        cp "$program" "$out/$name"
        echo "$out/$name: NOT SIGNED (no SIGN_PFX given)"
        continue
    fi
    [ -f "$SIGN_PFX" ] || { echo "release: no certificate file $SIGN_PFX" >&2; exit 1; }
    rm -f "$out/$name.signing"
    osslsigncode sign -pkcs12 "$SIGN_PFX" -readpass <(printf '%s' "${SIGN_PASS:-}") -h sha256 \
        -n "Tessaron Word Processor" -in "$program" -out "$out/$name.signing" >/dev/null ||
        { rm -f "$out/$name.signing"; echo "release: signing $program failed" >&2; exit 1; }
    mv "$out/$name.signing" "$out/$name"
    echo "$out/$name: signed with $SIGN_PFX"
done
