#!/usr/bin/env bash
# Runs a Windows program in the tests' prefix (CMAKE_CROSSCOMPILING_EMULATOR). The prefix comes from the
# arguments, never from the caller's environment, so nothing touches the user's own ~/.wine.
#   run.sh TEMPLATE PREFIX program.exe args...
set -euo pipefail
template=$(realpath -m "$1") prefix=$(realpath -m "$2"); shift 2
here=$(cd "$(dirname "$0")" && pwd)
"$here/prefix.sh" ensure "$template" "$prefix"
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$prefix DISPLAY=
exec wine "$@"
