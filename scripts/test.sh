#!/usr/bin/env bash
# Every test: installs what is missing, then the native unit tests (ASan + UBSan), a short fuzzing
# run, and the Windows build with its unit and end-to-end tests under Wine, in a 32-bit and then in a
# 64-bit prefix.
#   scripts/test.sh            FUZZ_SECONDS=N scripts/test.sh  (seconds per fuzzer, default 10; 0 skips)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/setup.sh"

echo "== Native: portable code under AddressSanitizer and UBSan"
cmake --preset native >/dev/null
cmake --build --preset native -j2
ctest --preset native

fuzz_seconds=${FUZZ_SECONDS:-10}
if [ "$fuzz_seconds" -gt 0 ] && [ -x "$root/scripts/fuzz.sh" ]; then
    echo "== Fuzzing, $fuzz_seconds s per target"
    "$root/scripts/fuzz.sh" "$fuzz_seconds"
fi

echo "== Windows: CXAddinReg.exe, unit and end-to-end tests under Wine, 32-bit prefix"
cmake --preset windows >/dev/null
cmake --build --preset windows -j2
ctest --preset windows
# The same 32-bit programs in a 64-bit (WoW64) prefix, as most users run the tool: only the prefix
# differs (the test preset sets CX_WINE_ARCH), so nothing is built again.
echo "== Windows: the same tests in a 64-bit prefix"
ctest --preset windows-win64
