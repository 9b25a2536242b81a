// libFuzzer target: the PE header reader over any bytes, as a planted or damaged file gives them.
// Beyond "no crash": only a head that starts with "MZ" and holds "PE\0\0" where its e_lfanew points is
// ever given a bitness.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/system/pe_image.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (cx::PeImageBitness(std::span<const std::uint8_t>(data, size)) == cx::Bitness::Unknown) return 0;
    Check(size >= 0x40 && data[0] == 'M' && data[1] == 'Z');
    const std::uint64_t pe =
        data[0x3C] | data[0x3D] << 8 | data[0x3E] << 16 | std::uint64_t{data[0x3F]} << 24;
    Check(pe + 4 <= size && data[pe] == 'P' && data[pe + 1] == 'E' && data[pe + 2] == 0 && data[pe + 3] == 0);
    return 0;
}
