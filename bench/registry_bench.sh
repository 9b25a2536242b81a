#!/usr/bin/env bash
# Registry benchmarks under Wine: the context-menu removal ("/eu", in process and as a run of the tool)
# with 10, 100 and 1,000 unrelated MenuExt entries, and DeleteRegKeyTree on trees of 100, 1,000 and
# 10,000 keys. Runs in its own throwaway prefix with a warm wineserver.
#   bench/registry_bench.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/windows

cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target CXAddinReg cx_registry_bench >/dev/null

# CX_WINE_ARCH=win64 runs it in a 64-bit prefix (see tests/wine/prefix.sh).
arch=${CX_WINE_ARCH:-win32}
export WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$build/registry-bench-prefix-$arch DISPLAY=
"$root/tests/wine/prefix.sh" fresh "$build/wine/$arch/template" "$WINEPREFIX"
trap '"$root/tests/wine/prefix.sh" stop "$WINEPREFIX"' EXIT

tool=$(winepath -w "$build/bin/CXAddinReg.exe" 2>/dev/null)
wine "$build/bench/cx_registry_bench.exe" "$tool" </dev/null 2>/dev/null | tr -d '\r'
