#include "platform/system/pe_image.h"

#include <gtest/gtest.h>

#include <vector>

namespace cx {
namespace {

// A minimal image head: "MZ", e_lfanew, "PE\0\0", a COFF header with `machine` and an optional header
// of `optionalSize` bytes starting with `magic`.
std::vector<std::uint8_t> Head(std::uint16_t machine, std::uint16_t magic,
                               std::uint16_t optionalSize = 0xE0) {
    constexpr std::size_t peOffset = 0x80;
    std::vector<std::uint8_t> bytes(peOffset + 24 + optionalSize, 0);
    const auto put16 = [&](std::size_t at, std::uint16_t v) {
        bytes[at] = static_cast<std::uint8_t>(v);
        bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    put16(0, 0x5A4D);
    put16(0x3C, peOffset);
    put16(peOffset, 0x4550);
    put16(peOffset + 4, machine);
    put16(peOffset + 20, optionalSize);
    if (optionalSize >= 2) put16(peOffset + 24, magic);
    return bytes;
}

TEST(PeImage, TheMachineAndTheOptionalHeaderTogetherGiveTheBitness) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> head;
        Bitness bitness;
    };
    const auto cut = [](std::vector<std::uint8_t> bytes, std::size_t size) {
        bytes.resize(size);
        return bytes;
    };
    // e_lfanew pointing past the end, where offset arithmetic must not wrap around.
    std::vector<std::uint8_t> far = Head(0x014C, 0x010B);
    far[0x3C] = far[0x3D] = far[0x3E] = far[0x3F] = 0xFF;
    const Case cases[] = {
        {"x86", Head(0x014C, 0x010B), Bitness::Bits32},
        {"x64", Head(0x8664, 0x020B), Bitness::Bits64},
        {"x86 machine, PE32+ header", Head(0x014C, 0x020B), Bitness::Unknown},
        {"x64 machine, PE32 header", Head(0x8664, 0x010B), Bitness::Unknown},
        {"ARM64", Head(0xAA64, 0x020B), Bitness::Unknown},
        {"no optional header", Head(0x014C, 0, 0), Bitness::Unknown},
        {"cut inside the magic", cut(Head(0x8664, 0x020B), 0x80 + 25), Bitness::Unknown},
        {"cut before the signature", cut(Head(0x014C, 0x010B), 0x82), Bitness::Unknown},
        {"PE header beyond the span", far, Bitness::Unknown},
        {"no MZ", cut(Head(0x014C, 0x010B), 1), Bitness::Unknown},
        {"empty", {}, Bitness::Unknown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PeImageBitness(c.head), c.bitness);
    }
    std::vector<std::uint8_t> text(512, 'a');
    EXPECT_EQ(PeImageBitness(text), Bitness::Unknown);
}

}  // namespace
}  // namespace cx
