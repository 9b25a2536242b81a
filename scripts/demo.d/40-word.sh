# The Word add-in: installed (/wi) and removed (/wu) with Word not running and with Word running.
# Word is the stand-in automation server; what the tool makes it do is its call journal.
cp "$build/standins/WordStandin.exe" "$build/standins/CVWordAddin2.dll" "$install_dir/"
wine "$win_install_dir\\WordStandin.exe" /regserver </dev/null >/dev/null 2>&1
word_journal="$install_dir/WordStandin.exe.journal"
rm -f "$word_journal" "$install_dir/CVWordAddin2.dll.journal"
# What the user's Word holds: our add-in among others, and the toolbar older releases left behind.
printf '%s\n' 'addin=Other.AddIn' 'addin=CVWordAddin2.WordAddIn2' 'bar=Corvane2 Toolbar:3' 'timeout=30' \
    >"$install_dir/WordStandin.exe.scenario"
addin_key='HKCU\Software\Microsoft\Office\Word\Addins\CVWordAddin2.WordAddIn2'

# Waits until the Word stand-in's journal has a line starting with $1 (at most 10 s).
wait_for_word() {
    local i
    for i in $(seq 100); do
        grep -q "^$1" "$word_journal" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "  (Word stand-in: no '$1' line)"
}
# A Word the user started, hidden: published in the running object table.
start_running_word() {
    rm -f "$word_journal"
    wine "$win_install_dir\\WordStandin.exe" /running </dev/null >/dev/null 2>&1 &
    wait_for_word ready
}
stop_running_word() {
    touch "$install_dir/WordStandin.exe.stop"
    wait_for_word 'exit reason='
    rm -f "$install_dir/WordStandin.exe.stop"
}

say "Install the Word add-in while Word is not running (/wi)"
echo "  The library registers itself; a hidden Word is started, the old toolbar goes (its controls last"
echo "  to first), the Normal template is saved, the add-in is connected (Word loads it in-process: the"
echo "  library's journal shows OnConnection), and that Word quits unsaved."
tool /wi
wait_for_word 'exit reason='
journal CVWordAddin2.dll
journal WordStandin.exe

say "Install while the user's Word runs hidden (/wi)"
echo "  Word is made visible and keeps running; exit code 2 asks the caller to have Word restarted."
start_running_word
tool /wi
stop_running_word
journal CVWordAddin2.dll
journal WordStandin.exe

say "Remove the add-in (/wu) while Word is not running; Word had marked it active"
wine reg add "$addin_key" /v Active /t REG_DWORD /d 1 /f >/dev/null 2>&1
tool /wu
wait_for_word 'exit reason='
show_key "$addin_key"
journal CVWordAddin2.dll
journal WordStandin.exe

say "Remove it while Word runs: disconnected in that Word, which keeps running"
wine reg add "$addin_key" /v Active /t REG_DWORD /d 1 /f >/dev/null 2>&1
start_running_word
tool /wu
stop_running_word
show_key "$addin_key"
journal CVWordAddin2.dll
journal WordStandin.exe

say "Remove it again: the add-in is inactive, so Word is not contacted; the library unregisters"
tool /wu
journal CVWordAddin2.dll
journal WordStandin.exe

say "With only Word 8 registered both switches give 1 and touch nothing"
wine reg add 'HKCR\Word.Application\CurVer' /ve /d Word.Application.8 /f >/dev/null 2>&1
tool /wi
tool /wu
journal CVWordAddin2.dll
# Leave the sandbox's Word registration as it was before this part.
wine "$win_install_dir\\WordStandin.exe" /unregserver </dev/null >/dev/null 2>&1
wine reg add 'HKCR\Word.Application\CurVer' /ve /d Word.Application.16 /f >/dev/null 2>&1
rm -f "$word_journal"
