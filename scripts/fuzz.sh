#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each for a bounded time.
#   scripts/fuzz.sh [seconds per fuzzer, default 30]
# A longer run is the same command with a bigger number. Corpora are kept in build/fuzz/corpus/<fuzzer>,
# so every run continues from the last; a crashing input is saved in build/fuzz/findings/<fuzzer>/.
# Needs clang with libFuzzer and msgfmt (Debian: clang, libclang-rt-dev, gettext).
set -euo pipefail

seconds=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
cd "$root"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2

seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds/mo_catalogue_fuzz" "$seeds/command_line_fuzz" "$seeds/path_list_fuzz" "$seeds/pe_image_fuzz" \
    "$seeds/active_setup_text_fuzz"

# Catalogue seeds from msgfmt, in both byte orders: a header, contexts, plurals, non-ASCII keys.
po=$seeds/catalogue.po
cat >"$po" <<'EOF'
msgid ""
msgstr ""
"Project-Id-Version: fuzz\n"
"Content-Type: text/plain; charset=UTF-8\n"
"Plural-Forms: nplurals=2; plural=(n != 1);\n"

msgid "Open"
msgstr "Öffnen"

msgid "Open file"
msgstr "Datei öffnen"

msgctxt "menu"
msgid "Open"
msgstr "Öffnen…"

msgid "%d file"
msgid_plural "%d files"
msgstr[0] "%d Datei"
msgstr[1] "%d Dateien"

msgid "注册表"
msgstr "Registry"

msgid "Line\n"
msgstr "Zeile\n"
EOF
header_only=$seeds/header.po
printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=ISO-8859-1\\n"\n' >"$header_only"
for order in little big; do
    msgfmt --endianness=$order -o "$seeds/mo_catalogue_fuzz/catalogue-$order.mo" "$po"
    msgfmt --endianness=$order --no-hash -o "$seeds/mo_catalogue_fuzz/catalogue-nohash-$order.mo" "$po"
    msgfmt --endianness=$order -o "$seeds/mo_catalogue_fuzz/header-$order.mo" "$header_only"
done
printf 'Content-Type: text/plain; charset=UTF-8\r\nX-Other:value\n' >"$seeds/mo_catalogue_fuzz/header.txt"
cat >"$seeds/mo_catalogue.dict" <<'EOF'
"\xde\x12\x04\x95"
"\x95\x04\x12\xde"
"Content-Type: "
"charset=UTF-8"
"\x00\x00\x00\x00"
"\xff\xff\xff\xff"
EOF

# Command lines as UTF-16LE, the way Windows hands them over.
i=0
for line in 'tool.exe -wi' '"C:\Program Files\tool.exe" /ei de_DE' 'a "" "" -x "b c"d' '"unterminated quote' \
    'tool	-pv  /ou ""' 'x "中文" ü'; do
    printf '%s' "$line" | iconv -f UTF-8 -t UTF-16LE >"$seeds/command_line_fuzz/$i"
    i=$((i + 1))
done

# PATH lists and a directory, separated by a zero unit, as UTF-16LE.
i=0
for pair in 'C:\A;C:\Apps\bin;D:\|C:\App' ';C:\App|C:\App' '%USERPROFILE%\bin;c:\app\|C:\App' '|C:\' 'C:\中文;x|C:\中文'; do
    printf '%s' "${pair%%|*}" | iconv -f UTF-8 -t UTF-16LE >"$seeds/path_list_fuzz/$i"
    printf '\0\0' >>"$seeds/path_list_fuzz/$i"
    printf '%s' "${pair#*|}" | iconv -f UTF-8 -t UTF-16LE >>"$seeds/path_list_fuzz/$i"
    i=$((i + 1))
done

# Image heads: the Windows build's own 32-bit and 64-bit stand-in libraries when they were built, and a
# bare "MZ".
printf 'MZ' >"$seeds/pe_image_fuzz/mz"
for bits in "" x64/; do
    library=$root/build/windows/standins/${bits}CVWordAddin2.dll
    [ -f "$library" ] && head -c 4096 "$library" >"$seeds/pe_image_fuzz/library-${bits%/}"
done

# Active Setup texts: a version, captions to delete, an empty field, then caption and page pairs; as
# UTF-16LE with zero units between the fields.
i=0
for fields in '1,0,0,7|Old Caption\||将内容添加为 Corvane2 笔记|C:\Program Files\Corvane2\BrowserExt\a.htm' \
    '65535.65535|||A & B|C:\x.htm|Trailing\|C:\y.htm' '3,65535,65535,65535|100%|'; do
    : >"$seeds/active_setup_text_fuzz/$i"
    IFS='|' read -r -a parts <<<"$fields"
    for part in "${parts[@]}"; do
        printf '%s' "$part" | iconv -f UTF-8 -t UTF-16LE >>"$seeds/active_setup_text_fuzz/$i"
        printf '\0\0' >>"$seeds/active_setup_text_fuzz/$i"
    done
    i=$((i + 1))
done

status=0
for fuzzer in mo_catalogue_fuzz command_line_fuzz path_list_fuzz pe_image_fuzz active_setup_text_fuzz; do
    corpus=$build/corpus/$fuzzer
    findings=$build/findings/$fuzzer
    mkdir -p "$corpus" "$findings"
    dict=()
    [ "$fuzzer" = mo_catalogue_fuzz ] && dict=(-dict="$seeds/mo_catalogue.dict")
    echo "== $fuzzer for $seconds s"
    log=$build/$fuzzer.log
    if "$build/tests/fuzz/$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "${dict[@]}" "$corpus" "$seeds/$fuzzer" >"$log" 2>&1; then
        result=ok
    else
        result=FAILED
        status=1
        tail -n 40 "$log"
    fi
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "$fuzzer: $result, ${executions:-?} executions, corpus $(ls "$corpus" | wc -l) inputs," \
        "findings $(ls "$findings" | wc -l) (log: $log)"
done
exit $status
