#!/usr/bin/env bash
# Signs one program for the release:
#   tools/sign.sh PROGRAM OUT
# OUT becomes PROGRAM signed by osslsigncode (SHA-256) with the PKCS#12 file SIGN_PFX, whose
# password SIGN_PASS is handed over on a pipe, never on a command line. With SIGN_TS the
# signature is time-stamped by that RFC 3161 server, so that it stays valid after the
# certificate expires; a server that does not answer within SIGN_TS_SECONDS (default 60) fails
# the signing. Without SIGN_PFX, OUT is a plain copy, and said so.
# OUT appears only when everything succeeded: osslsigncode writes its output even when the time
# stamp then fails, so it writes to a temporary name that is removed on any failure.
set -euo pipefail
source "$(dirname "$0")/product-facts.sh"
program="$1"
out="$2"
if [ -z "${SIGN_PFX:-}" ]; then
    cp "$program" "$out"
    echo "$out: NOT SIGNED (no SIGN_PFX given)"
    exit 0
fi
[ -f "$SIGN_PFX" ] || { echo "release: no certificate file $SIGN_PFX" >&2; exit 1; }
name="$(product_fact PRODUCT_NAME)"

partial="$out.signing"
log="$out.signing.txt"
rm -f "$partial" "$log"
stamp=()
[ -n "${SIGN_TS:-}" ] && stamp=(-ts "$SIGN_TS")
set +e
timeout --kill-after=5 "${SIGN_TS_SECONDS:-60}" osslsigncode sign -pkcs12 "$SIGN_PFX" \
    -readpass <(printf '%s' "${SIGN_PASS:-}") -h sha256 -n "$name" "${stamp[@]}" \
    -in "$program" -out "$partial" >"$log" 2>&1
code=$?
set -e
if [ "$code" -ne 0 ]; then
    rm -f "$partial"
    if [ -n "${SIGN_TS:-}" ] && { [ "$code" -eq 124 ] || [ "$code" -eq 137 ]; }; then
        echo "release: the time-stamping server $SIGN_TS did not answer within" \
            "${SIGN_TS_SECONDS:-60} s; $program is not signed" >&2
    elif [ -n "${SIGN_TS:-}" ] && grep -q -i 'timestamping failed\|HTTP failure' "$log"; then
        echo "release: the time-stamping server $SIGN_TS did not answer with a time stamp;" \
            "$program is not signed" >&2
    else
        echo "release: signing $program failed:" >&2
        cat "$log" >&2
    fi
    rm -f "$log"
    exit 1
fi
rm -f "$log"
mv "$partial" "$out"
if [ -n "${SIGN_TS:-}" ]; then
    echo "$out: signed with $SIGN_PFX, time-stamped by $SIGN_TS"
else
    echo "$out: signed with $SIGN_PFX, NOT TIME-STAMPED: the signature expires with the certificate"
fi
