# Translation: the catalogues shipped in the locale folder beside the tool, chosen by "ei" or LANG.
cmake --build --preset windows -j2 --target cx_catalogues cx_show_boxes >/dev/null
cp -r "$build/bin/locale" "$install_dir/"

menu_key='HKCU\Software\Microsoft\Internet Explorer\MenuExt'
# The entry names under MenuExt as UTF-8 (the console of "wine reg query" cannot show every script).
show_captions() {
    local file="$WINEPREFIX/drive_c/menuext.reg"
    if wine reg export "$menu_key" 'C:\menuext.reg' /y >/dev/null 2>&1; then
        iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' | sed -n 's/^\[.*\\MenuExt\\\(.*\)\]$/  \1/p'
        rm -f "$file"
    else
        echo "  (no key $menu_key)"
    fi
}
# Runs the tool with LANG set to $1 and the other arguments, printing and answering its boxes.
tool_boxes() {
    local lang=$1
    shift
    printf '$ LANG=%s CXAddinReg.exe %s\n' "$lang" "$*"
    (cd "$install_dir" && LANG=$lang wine "$build/tools/cx_show_boxes.exe" "$win_install_dir\CXAddinReg.exe" "$@" \
        </dev/null 2>/dev/null | tr -d '\r')
}

say "The locale folder as installed"
(cd "$install_dir" && find locale -type f | sort | sed 's/^/  /')

say "Browser captions in Chinese (/eizh_CN) and in German (/eide)"
LANG=C tool /eizh_CN
show_captions
LANG=C tool /eide
show_captions
say "An explicit code names a folder exactly: /eide_DE.UTF-8 falls back to locale\\de, /ei=de finds nothing"
LANG=C tool /eide_DE.UTF-8
show_captions
LANG=C tool /ei=de
show_captions

say "The interactive prompt follows LANG (answered Cancel): German, then English without a catalogue"
tool_boxes de_DE.UTF-8
tool_boxes fr_FR.UTF-8

say "An error box in German: a MenuExt entry whose default value is not text (/eu)"
wine reg add "$menu_key\\Odd entry" /ve /t REG_DWORD /d 1 /f >/dev/null 2>&1
tool_boxes de_DE.UTF-8 /eu
tool_boxes zh_CN.UTF-8 /eu
wine reg delete "$menu_key" /f >/dev/null 2>&1 || true

say "A catalogue in another character set is reported once, then the texts stay English"
latin1="$install_dir/locale/fr/LC_MESSAGES"
mkdir -p "$latin1"
printf 'msgid ""\nmsgstr "Content-Type: text/plain; charset=ISO-8859-1\\n"\n\nmsgid "Add URL as Corvane2 Reference"\nmsgstr "Ajouter l\x27URL comme r\xe9f\xe9rence Corvane2"\n' |
    msgfmt -o "$latin1/CXAddinReg.mo" -
tool_boxes fr_FR.UTF-8
rm -rf "$install_dir/locale/fr"
