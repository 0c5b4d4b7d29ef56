#!/usr/bin/env bash
# Signs one Windows executable in place (Authenticode, SHA-256) with the PKCS#12 certificate that
# INKWISP_SIGN_PFX names and INKWISP_SIGN_PASSWORD opens, time-stamped (RFC 3161) by
# INKWISP_SIGN_TIMESTAMP_URL when that is set. scripts/dist.sh and makensis call it.
set -euo pipefail
file=$1
[[ -n "${INKWISP_SIGN_PFX:-}" ]] || { echo "sign: INKWISP_SIGN_PFX is not set" >&2; exit 1; }
args=(sign -h sha256 -pkcs12 "$INKWISP_SIGN_PFX" -n Inkwisp)
# The password goes through a pipe, never on a command line that others could list.
args+=(-readpass -)
[[ -n "${INKWISP_SIGN_TIMESTAMP_URL:-}" ]] && args+=(-ts "$INKWISP_SIGN_TIMESTAMP_URL")
rm -f "$file.signed"
printf '%s' "${INKWISP_SIGN_PASSWORD:-}" |
    osslsigncode "${args[@]}" -in "$file" -out "$file.signed" >/dev/null
mv "$file.signed" "$file"
