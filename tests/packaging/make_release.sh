#!/usr/bin/env bash
# Makes the release the way it ships, signed with a throwaway certificate made here, checks it, and
# builds the example installers from it (NSIS, and the two MSI packages with wixl); the Windows-side
# packaging tests then run what this made.
#   make_release.sh BUILD_DIR SOURCE_DIR OUT_DIR VERSION OBJDUMP STANDIN_DIR
# OUT_DIR receives: release/ (the `cmake --install` layout), package/ (the CPack ZIP and its .sha256),
# embedded/CXAddinReg.exe (the variant with appended catalogues, signed afterwards), product/ (the
# product files the installers carry: stand-ins for the programs), Corvane2Setup.exe, Corvane2.msi and
# Corvane2User.msi.
set -euo pipefail
build=$1 source=$2 out=$3 version=$4 objdump=$5 standins=$6

fail() { echo "FAILED: $*" >&2; exit 1; }

rm -rf "$out"
mkdir -p "$out/embedded" "$out/product/BrowserExt" "$out/product/x64"

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Corvane2 throwaway test signing" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
export CX_SIGN_CERT="$out/cert.pem" CX_SIGN_KEY="$out/key.pem"

verify() {
    osslsigncode verify -CAfile "$out/cert.pem" -in "$1" >"$1.verify" 2>&1 ||
        fail "$1 does not verify: $(tail -3 "$1.verify")"
    grep -q '^Signature verification: ok' "$1.verify" || fail "$1: no good signature"
    rm -f "$1.verify"
}

echo "== cmake --install, signed"
cmake --install "$build" --prefix "$out/release" >/dev/null
exe="$out/release/CXAddinReg.exe"
verify "$exe"
verify "$out/release/wix/CXAddinRegMsi.dll"
if "$objdump" -h "$exe" | grep '\.debug' >/dev/null; then fail "$exe still has debug sections"; fi
(cd "$out/release" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the layout"
listed=$(cut -c67- "$out/release/SHA256SUMS")
laid_out=$(cd "$out/release" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort)
[ "$listed" = "$laid_out" ] || fail "SHA256SUMS lists <$listed>, the layout holds <$laid_out>"
for language in de zh_CN; do
    [ -f "$out/release/locale/$language/LC_MESSAGES/CXAddinReg.mo" ] || fail "no $language catalogue"
done
echo "$(stat -c %s "$exe") bytes, stripped and signed; built: $(stat -c %s "$build/bin/CXAddinReg.exe") bytes"

echo "== cpack: the ZIP"
name="CXAddinReg-$version-win32"
cpack --config "$build/CPackConfig.cmake" -B "$out/package" >/dev/null
(cd "$out/package" && sha256sum --quiet -c "$name.zip.sha256") || fail "the ZIP's .sha256 does not match"
zipped=$(python3 -m zipfile -l "$out/package/$name.zip" | awk 'NR > 1 && $1 !~ /\/$/ { print $1 }' | LC_ALL=C sort)
expected=$(cd "$out/release" && find . -type f | sed "s|^\./|$name/|" | LC_ALL=C sort)
[ "$zipped" = "$expected" ] || fail "the ZIP holds <$zipped>, expected <$expected>"
python3 -m zipfile -l "$out/package/$name.zip"

echo "== the variant with appended catalogues, signed afterwards"
cp "$build/embedded/CXAddinReg.exe" "$out/embedded/CXAddinReg.exe"
"$source/scripts/sign.sh" "$out/embedded/CXAddinReg.exe" >/dev/null
verify "$out/embedded/CXAddinReg.exe"

echo "== the example installer"
cp "$standins/Corvane.exe" "$standins/CVWordAddin2.dll" "$out/product/"
cp "$standins/x64/CVWordAddin2.dll" "$out/product/x64/"
printf 'PK' >"$out/product/CVOOAddin.oxt"
for page in IEContext_Content_Note IEContext_Content_Ref IEContext_Url_Ref; do
    printf '<html></html>' >"$out/product/BrowserExt/$page.htm"
done
makensis -V2 -DTOOL_DIR="$out/release" -DPRODUCT_DIR="$out/product" -DVERSION="$version" \
    -DOUTFILE="$out/Corvane2Setup.exe" "$source/packaging/nsis/Corvane2Setup.nsi"

echo "== the example MSI packages"
"$source/packaging/wix/build-msi.sh" "$out/release" "$out/product" "$version" "$out"
echo "release made in $out"
