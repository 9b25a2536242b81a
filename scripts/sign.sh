#!/usr/bin/env bash
# Signs Windows programs with Authenticode (osslsigncode, SHA-256), each file in place. The
# certificate comes from the environment, so that no key lands in a build tree or a command history:
#   CX_SIGN_CERT and CX_SIGN_KEY   certificate (chain) and private key, PEM or DER; or
#   CX_SIGN_PKCS12                 one PKCS#12 file holding both;
#   CX_SIGN_PASS_FILE              optional: a file whose first line is the key's password;
#   CX_SIGN_TIMESTAMP              optional: URL of an RFC 3161 time-stamp server.
#   scripts/sign.sh FILE...        exits 2 when no certificate is given, 1 when a signing fails.
# `cmake --install` and `cpack` run it on the installed exe when CX_SIGN_CERT or CX_SIGN_PKCS12 is set.
# Sign last: anything appended to a signed file afterwards (such as catalogues) breaks the signature.
set -euo pipefail

if [ $# -eq 0 ]; then
    sed -n '2,10p' "$0" >&2
    exit 2
fi
if [ -n "${CX_SIGN_PKCS12:-}" ]; then
    credentials=(-pkcs12 "$CX_SIGN_PKCS12")
elif [ -n "${CX_SIGN_CERT:-}" ] && [ -n "${CX_SIGN_KEY:-}" ]; then
    credentials=(-certs "$CX_SIGN_CERT" -key "$CX_SIGN_KEY")
else
    echo "sign.sh: set CX_SIGN_CERT and CX_SIGN_KEY, or CX_SIGN_PKCS12" >&2
    exit 2
fi
[ -n "${CX_SIGN_PASS_FILE:-}" ] && credentials+=(-readpass "$CX_SIGN_PASS_FILE")
[ -n "${CX_SIGN_TIMESTAMP:-}" ] && credentials+=(-ts "$CX_SIGN_TIMESTAMP")

for file in "$@"; do
    signed="$file.signing"
    rm -f "$signed"
    if ! osslsigncode sign "${credentials[@]}" -h sha256 -n "Corvane2 add-in registration" \
            -in "$file" -out "$signed" >/dev/null; then
        rm -f "$signed"
        echo "sign.sh: signing $file failed" >&2
        exit 1
    fi
    chmod --reference="$file" "$signed"
    mv -f "$signed" "$file"
    echo "signed $file"
done
