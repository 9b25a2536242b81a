#!/usr/bin/env bash
# The tests' Wine prefix under WINEDIR, one per architecture (CX_WINE_ARCH, see prefix.sh): one build
# runs its Windows tests in a 32-bit prefix and again in a 64-bit one without being rebuilt, since only
# the prefix differs. The prefix comes from WINEDIR and the architecture, never from WINEPREFIX, so
# nothing touches the user's own ~/.wine.
#   run.sh WINEDIR program.exe args...   run a Windows program there (CMAKE_CROSSCOMPILING_EMULATOR)
#   run.sh WINEDIR --fresh               replace the prefix by a clone of its template (ctest fixture)
#   run.sh WINEDIR --stop                stop its wineserver (ctest fixture)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
arch=${CX_WINE_ARCH:-win32}
dir=$(realpath -m "$1")/$arch
shift
template=$dir/template prefix=$dir/prefix
case ${1-} in
    --fresh) exec "$here/prefix.sh" fresh "$template" "$prefix" ;;
    --stop) exec "$here/prefix.sh" stop "$prefix" ;;
esac
"$here/prefix.sh" ensure "$template" "$prefix"
export WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$prefix DISPLAY=
exec wine "$@"
