#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian machine; quiet and quick when all is there.
#
# A package mirror caught mid-sync can fail one index in `apt-get update`. The install then decides:
# when it fails (typically i386 twins of amd64 libraries from the security suite are missing, and
# Multi-Arch: same needs matching versions), it is tried once more with the release's base suite
# preferred, which holds a consistent set for both architectures.
set -euo pipefail

packages=(cmake ninja-build g++ clang libclang-rt-14-dev
          g++-mingw-w64-i686 gcc-mingw-w64-i686 binutils-mingw-w64-i686
          g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 googletest libgtest-dev libgmock-dev libbenchmark-dev gettext file util-linux python3
          nsis msitools wixl osslsigncode openssl)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "setup: installing ${missing[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
if ! $sudo apt-get update -qq; then
    echo "setup: apt-get update failed for some index (a mirror mid-sync?); going on with the indexes it has" >&2
fi

install() {
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$@" "${missing[@]}" >/dev/null
}
install && exit 0

codename=$( . /etc/os-release && echo "${VERSION_CODENAME:-}" )
if [ -z "$codename" ]; then
    echo "setup: the install failed, and /etc/os-release names no release codename to retry with" >&2
    exit 1
fi
echo "setup: the install failed; retrying once with the base suite '$codename' preferred (apt-get install -t $codename)" >&2
if ! install -t "$codename"; then
    echo "setup: the install failed again, also with '$codename' preferred; install these by hand: ${missing[*]}" >&2
    exit 1
fi
