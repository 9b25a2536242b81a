#include "platform/system/pe_image.h"

namespace cx {
namespace {

constexpr std::uint16_t kMachineI386 = 0x014C;
constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kMagicPe32 = 0x010B;
constexpr std::uint16_t kMagicPe32Plus = 0x020B;
// Where e_lfanew sits in the DOS header; the COFF header is 20 bytes after the 4-byte signature.
constexpr std::size_t kNewHeaderOffset = 0x3C;
constexpr std::size_t kCoffHeaderSize = 20;

// Little-endian fields, read only where the span holds them.
bool Read16(std::span<const std::uint8_t> bytes, std::size_t at, std::uint16_t& value) {
    if (at > bytes.size() || bytes.size() - at < 2) return false;
    value = static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
    return true;
}

bool Read32(std::span<const std::uint8_t> bytes, std::size_t at, std::uint32_t& value) {
    std::uint16_t low = 0;
    std::uint16_t high = 0;
    if (!Read16(bytes, at, low) || !Read16(bytes, at + 2, high)) return false;
    value = static_cast<std::uint32_t>(low) | static_cast<std::uint32_t>(high) << 16;
    return true;
}

}  // namespace

Bitness PeImageBitness(std::span<const std::uint8_t> head) {
    std::uint16_t dosMagic = 0;
    std::uint32_t peOffset = 0;
    std::uint32_t signature = 0;
    if (!Read16(head, 0, dosMagic) || dosMagic != 0x5A4D /* "MZ" */) return Bitness::Unknown;
    if (!Read32(head, kNewHeaderOffset, peOffset) || !Read32(head, peOffset, signature) ||
        signature != 0x00004550 /* "PE\0\0" */)
        return Bitness::Unknown;
    const std::size_t coff = static_cast<std::size_t>(peOffset) + 4;
    std::uint16_t machine = 0;
    std::uint16_t optionalSize = 0;
    std::uint16_t magic = 0;
    if (!Read16(head, coff, machine) || !Read16(head, coff + 16, optionalSize) || optionalSize < 2 ||
        !Read16(head, coff + kCoffHeaderSize, magic))
        return Bitness::Unknown;
    if (machine == kMachineI386 && magic == kMagicPe32) return Bitness::Bits32;
    if (machine == kMachineAmd64 && magic == kMagicPe32Plus) return Bitness::Bits64;
    return Bitness::Unknown;
}

}  // namespace cx
