# How installers run it: quiet with a time limit and a log, and for every user of the machine ("am").
say "A quiet run with a log, as an installer starts it (/qu30 /pi \"/lo...\"): no box, every step logged"
log_dir="$install_dir/Logs"
mkdir -p "$log_dir"
tool /qu30 /pi "/lo$win_install_dir\\Logs\\CXAddinReg.log"
sed 's/^/  log: /' "$log_dir/CXAddinReg.log"
tool /pu

say "For every user at once (/am /eien): an Active Setup component that adds the entries at each logon"
tool /am /eien
show_key 'HKLM\Software\Microsoft\Active Setup\Installed Components\{0F585D00-D935-4E5F-B38C-32E0B8B0C908}'
show_subkeys "$menu_key"
say "Removed for every user (/am /eu): the component stays and deletes the entries at the next logon"
tool /am /eu
show_key 'HKLM\Software\Microsoft\Active Setup\Installed Components\{0F585D00-D935-4E5F-B38C-32E0B8B0C908}'
say "The modifier alone is no action (-2)"
tool /am
