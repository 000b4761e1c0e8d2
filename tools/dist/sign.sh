#!/bin/bash
# sign.sh FILE...: signs executables and Windows Installer packages in place with osslsigncode
# (Authenticode, SHA-256), with the certificate SIGN_CERT (PEM or DER; the chain up to the root,
# when there is one, in the same file) and its private key SIGN_KEY (PEM or DER). SIGN_PASS, when
# set, names a file holding the key's password; SIGN_TIMESTAMP, when set, the URL of a time-stamp
# server (RFC 3161), so that the signatures outlive the certificate. Keep the key and its password
# outside the checkout: nothing here ever copies them.
set -euo pipefail

: "${SIGN_CERT:?sign.sh: SIGN_CERT names no certificate}"
: "${SIGN_KEY:?sign.sh: SIGN_KEY names no key}"
options=(-certs "$SIGN_CERT" -key "$SIGN_KEY" -h sha256 -n Yieldora)
[ -n "${SIGN_PASS:-}" ] && options+=(-readpass "$SIGN_PASS")
[ -n "${SIGN_TIMESTAMP:-}" ] && options+=(-ts "$SIGN_TIMESTAMP")

for file in "$@"; do
    signed=$file.signed
    if ! osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >"$file.sign.log" 2>&1; then
        cat "$file.sign.log" >&2
        rm -f "$signed" "$file.sign.log"
        echo "sign.sh: could not sign $file" >&2
        exit 1
    fi
    rm -f "$file.sign.log"
    mv "$signed" "$file"
done
