#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine; quiet and quick when all is there.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
          wine wine32:i386 wine64 googletest libgtest-dev libgmock-dev libbenchmark-dev gettext file util-linux python3
          nsis osslsigncode openssl)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "Installing: ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
