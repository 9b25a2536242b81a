# Word and WPS version probes, the WPS add-in key, and Internet Explorer's context menu.
# The sandbox has Word 16 and WPS 8 registered the way their installers leave them.
wine reg add 'HKCR\Word.Application\CurVer' /ve /d Word.Application.16 /f >/dev/null 2>&1
wine reg add 'HKCR\WPS.Application\CurVer' /ve /d WPS.Application.8 /f >/dev/null 2>&1

# show_key, or a note when the key is gone (wine's reg reports a missing key on stdout).
show_key_or_gone() {
    if wine reg query "$1" >/dev/null 2>&1; then show_key "$1"; else echo "  (no key $1)"; fi
}
# The direct sub-keys of a key, one a line, or a note that there are none.
show_subkeys() {
    local below=${1#*\\} names
    # reg names the root in full (HKEY_CURRENT_USER), so match on the path below it.
    names=$(wine reg query "$1" 2>/dev/null | tr -d '\r' | grep -F "$below\\" | sed 's|^.*\\||') || true
    if [ -n "$names" ]; then printf '%s\n' "$names" | sed 's/^/  /'; else echo "  (no sub-keys under $1)"; fi
}

say "Which Word and WPS are registered (/wv, /pv: 0 means new enough)"
show_key 'HKCR\Word.Application\CurVer'
show_key 'HKCR\WPS.Application\CurVer'
tool /wv
tool /pv

wps_key='HKLM\SOFTWARE\Kingsoft\Office\WPS\Addins\CVWPSAddin2.TCVWPSAddin2'
say "Register the WPS add-in (/pi)"
tool /pi
show_key "$wps_key"
say "Remove it (/pu), then again: nothing left to remove (1)"
tool /pu
show_key_or_gone "$wps_key"
tool /pu

menu_key='HKCU\Software\Microsoft\Internet Explorer\MenuExt'
say "Add the browser's context-menu entries with English captions (/eien)"
tool /eien
show_key "$menu_key"
say "Remove them (/eu): the entries go, the MenuExt key stays"
tool /eu
show_subkeys "$menu_key"
