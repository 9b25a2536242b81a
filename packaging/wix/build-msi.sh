#!/usr/bin/env bash
# Builds the example packages with wixl (Debian: packages wixl and msitools):
#   build-msi.sh LAYOUT PRODUCT_DIR VERSION OUT_DIR
# LAYOUT is the release layout that `cmake --install` makes (CXAddinReg.exe, locale\,
# wix\CXAddinRegMsi.dll); PRODUCT_DIR holds Corvane.exe, CVWordAddin2.dll, x64\CVWordAddin2.dll (the
# add-in library for a 64-bit Word), CVOOAddin.oxt and BrowserExt\. Writes OUT_DIR/Corvane2.msi and
# OUT_DIR/Corvane2User.msi.
set -euo pipefail
layout=$1 product=$2 version=$3 out=$4
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
# wixl finds sources relative to the current folder only: give it both folders there.
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
ln -s "$(cd "$layout" && pwd)" "$stage/layout"
ln -s "$(cd "$product" && pwd)" "$stage/product"
cd "$stage"

for name in Corvane2 Corvane2User; do
    msi="$out/$name.msi"
    wixl -a x86 -D ToolDir=layout -D ProductDir=product -D Version="$version" \
        -D CxActionsDll=layout/wix/CXAddinRegMsi.dll -o "$msi" "$here/$name.wxs"
    # Two mends of wixl 0.101's CustomAction types. It writes Execute="rollback" actions without
    # msidbCustomActionTypeInScript (0x400) and msidbCustomActionTypeRollback (0x100), which makes
    # them immediate actions that run at once: ours are named CxUndo*, and get both bits. And it sets
    # msidbCustomActionTypeNoImpersonate (0x800) on immediate actions too, where it means nothing.
    table=$stage/table
    mkdir -p "$table"
    msiinfo export "$msi" CustomAction >"$table/CustomAction.idt"
    awk -F '\t' 'function has(type, bit) { return int(type / bit) % 2 == 1 }
        BEGIN { OFS = "\t" }
        NR > 3 {
            type = $2 + 0
            if ($1 ~ /^CxUndo[A-Za-z]*$/) {
                if (!has(type, 1024)) type += 1024
                if (!has(type, 256)) type += 256
            }
            if (!has(type, 1024) && has(type, 2048)) type -= 2048
            $2 = type
        }
        { print }' "$table/CustomAction.idt" >"$table/fixed.idt"
    mv "$table/fixed.idt" "$table/CustomAction.idt"
    msibuild "$msi" -i "$table/CustomAction.idt"
done
