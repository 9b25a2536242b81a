#!/usr/bin/env bash
# Start-up cost of the tool under Wine: CXAddinReg.exe with a switch that does nothing (exit -2)
# against a static empty Win32 GUI program, interleaved, with a warm wineserver; prints the median
# of each and their ratio. Then the same switch with a log ("/lo", which writes the run's header and
# its exit code) against the empty program appending one line to a file: the price of the log next
# to the price of one file append.
#   bench/startup.sh [pairs]     (default 30)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
pairs=${1:-30}
"$root/scripts/setup.sh"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2 --target CXAddinReg bench_empty_gui >/dev/null
build=$root/build/windows
# CX_WINE_ARCH=win64 runs it in a 64-bit prefix (see tests/wine/prefix.sh).
arch=${CX_WINE_ARCH:-win32}
prefix=$build/bench-prefix-$arch
export WINEARCH=$arch WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$prefix DISPLAY=
"$root/tests/wine/prefix.sh" fresh "$build/wine/$arch/template" "$prefix"
trap '"$root/tests/wine/prefix.sh" stop "$prefix"' EXIT

time_ms() {
    local start end
    start=$(date +%s%N)
    wine "$@" </dev/null >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000))
}
tool=() empty=() logged=() appended=()
log='C:\cx-startup-bench.log'
for _ in 1 2 3; do time_ms "$build/bin/CXAddinReg.exe" /zz >/dev/null; time_ms "$build/bench/bench_empty_gui.exe" >/dev/null; done
for ((i = 0; i < pairs; i++)); do
    tool+=("$(time_ms "$build/bin/CXAddinReg.exe" /zz)")
    empty+=("$(time_ms "$build/bench/bench_empty_gui.exe")")
    logged+=("$(time_ms "$build/bin/CXAddinReg.exe" /zz "/lo$log")")
    appended+=("$(time_ms "$build/bench/bench_empty_gui.exe" "$log")")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
mt=$(median "${tool[@]}")
me=$(median "${empty[@]}")
ml=$(median "${logged[@]}")
ma=$(median "${appended[@]}")
echo "pairs: $pairs"
echo "CXAddinReg.exe /zz          median: $mt us"
echo "empty GUI program           median: $me us"
echo "CXAddinReg.exe /zz /lo...   median: $ml us"
echo "empty GUI program + append  median: $ma us"
awk -v t="$mt" -v e="$me" 'BEGIN { printf "ratio (tool / empty): %.2f\n", t / e }'
awk -v t="$mt" -v l="$ml" -v e="$me" -v a="$ma" \
    'BEGIN { printf "cost of /lo: %+d us; cost of one file append: %+d us\n", l - t, a - e }'
