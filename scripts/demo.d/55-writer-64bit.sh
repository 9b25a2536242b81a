# In a 64-bit prefix (CX_WINE_ARCH=win64): a 64-bit office suite registers its class in the 64-bit
# view only, which the 32-bit tool reads after its own.
if [ "$arch" = win64 ]; then
    say "A 64-bit suite, registered in the 64-bit view only (/ov, /oi, /ou: 0 each)"
    /usr/lib/wine/wine64 reg add "$suite_key" /ve /d "$win_suite_dir\\soffice.exe -nodefault" /f \
        </dev/null >/dev/null 2>&1
    echo "64-bit view:"
    /usr/lib/wine/wine64 reg query "$suite_key" 2>/dev/null | tr -d '\r' | sed '/^$/d; s/^/  /'
    echo "32-bit view:"
    show_key "$suite_key"
    tool /ov
    tool /oi
    suite_journal unopkg.com
    tool /ou
    suite_journal unopkg.com
    /usr/lib/wine/wine64 reg delete 'HKCR\CLSID\{82154420-0FBF-11d4-8313-005004526AB4}' /f \
        </dev/null >/dev/null 2>&1
fi
