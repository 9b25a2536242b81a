#!/usr/bin/env bash
# The tool's main job in a sandbox: a fresh Wine prefix set up as a user's machine would be, with the
# stand-in hosts installed, then each switch run with its exit code and what it changed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target CXAddinReg cx_standins >/dev/null

build=$root/build/windows
demo=$build/demo
# CX_WINE_ARCH=win64 runs it in a 64-bit prefix (see tests/wine/prefix.sh).
arch=${CX_WINE_ARCH:-win32}
export WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$demo/prefix-$arch DISPLAY=
"$root/tests/wine/prefix.sh" fresh "$build/wine/$arch/template" "$WINEPREFIX"
trap '"$root/tests/wine/prefix.sh" stop "$WINEPREFIX"' EXIT

# The product as installed: the tool and, beside it, the stand-ins for the programs it drives.
install_dir="$WINEPREFIX/drive_c/Program Files/Corvane"
win_install_dir='C:\Program Files\Corvane'
mkdir -p "$install_dir"
cp "$build/bin/CXAddinReg.exe" "$install_dir/"
cp "$build/standins/Corvane.exe" "$install_dir/"

say() { printf '\n== %s\n' "$*"; }
# Runs the tool with the given arguments and prints the command and its exit code (signed).
tool() {
    printf '$ CXAddinReg.exe %s\n' "$*"
    local code
    # wine hands Linux only the low byte of an exit code; cx_run prints the whole signed value.
    code=$(cd "$install_dir" && wine "$build/standins/cx_run.exe" "$win_install_dir\CXAddinReg.exe" "$@" \
           </dev/null 2>/dev/null | tr -d '\r')
    printf '  exit code: %s\n' "$code"
}
# Prints a registry key and its values as the Windows registry holds them.
show_key() {
    wine reg query "$1" /s 2>/dev/null | tr -d '\r' | sed '/^$/d; s/^/  /' || echo "  (no key $1)"
}
journal() {
    local file="$install_dir/$1.journal"
    if [ -f "$file" ]; then sed 's/^/  journal: /' "$file"; rm -f "$file"; else echo "  journal: (nothing)"; fi
}

for part in "$root"/scripts/demo.d/*.sh; do
    # shellcheck source=/dev/null
    . "$part"
done
