# The Writer extension: the suite's package tool found through the suite's registered server, the
# extension package installed and removed with it, and the application directory on the user's PATH.
suite_dir="$WINEPREFIX/drive_c/Program Files/Office Standin/program"
win_suite_dir='C:\Program Files\Office Standin\program'
suite_key='HKCR\CLSID\{82154420-0FBF-11d4-8313-005004526AB4}\LocalServer32'
mkdir -p "$suite_dir"
cp "$build/standins/unopkg.com" "$build/standins/soffice.bin" "$build/standins/OfficeStandin.exe" "$suite_dir/"
printf 'PK' >"$install_dir/CVOOAddin.oxt"

# The user's PATH as the registry holds it, with its type.
show_path() {
    wine reg query 'HKCU\Environment' /v PATH 2>/dev/null | tr -d '\r' | grep -i 'PATH' | sed 's/^ */  /' ||
        echo "  (no PATH value)"
}
suite_journal() {
    local file="$suite_dir/$1.journal"
    if [ -f "$file" ]; then sed 's/^/  journal: /' "$file"; rm -f "$file"; else echo "  journal: (nothing)"; fi
}

say "Is the suite's package tool there? (/ov: 1 before the suite is registered, 0 after)"
tool /ov
wine reg add "$suite_key" /ve /d "$win_suite_dir\\soffice.exe -nodefault" /f >/dev/null 2>&1
show_key "$suite_key"
tool /ov

say "Install the extension (/oi): the PATH gains the application directory, keeping its type"
wine reg add 'HKCU\Environment' /v PATH /t REG_EXPAND_SZ /d '%USERPROFILE%\bin;C:\Tools' /f >/dev/null 2>&1
echo "PATH before:"
show_path
tool /oi
echo "PATH after:"
show_path
suite_journal unopkg.com

say "Install again while Writer runs with a text document (2: restart Writer); the PATH stays as it is"
(cd "$suite_dir" && wine OfficeStandin.exe /regserver </dev/null >/dev/null 2>&1)
rm -f "$suite_dir/soffice.bin.stop"
(cd "$suite_dir" && wine soffice.bin </dev/null >/dev/null 2>&1 &)
for _ in $(seq 100); do [ -f "$suite_dir/soffice.bin.journal" ] && break; sleep 0.1; done
tool /oi
show_path
suite_journal unopkg.com
touch "$suite_dir/soffice.bin.stop"

say "A package tool that complains is a failure (1)"
printf 'text=ERROR: cannot install the extension\n' >"$suite_dir/unopkg.com.output"
tool /oi
rm -f "$suite_dir/unopkg.com.output"
suite_journal unopkg.com

say "Remove the extension (/ou): the PATH entry goes, the rest stays as it was"
tool /ou
show_path
suite_journal unopkg.com

(cd "$suite_dir" && wine OfficeStandin.exe /unregserver </dev/null >/dev/null 2>&1)
wine reg delete 'HKCR\CLSID\{82154420-0FBF-11d4-8313-005004526AB4}' /f >/dev/null 2>&1
