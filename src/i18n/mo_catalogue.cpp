#include "i18n/mo_catalogue.h"

#include <bit>
#include <string>

#include "platform/errors.h"

namespace cx {
namespace {

constexpr std::uint32_t kMagic = 0x950412DE;
constexpr std::uint32_t kSwappedMagic = 0xDE120495;
// magic, revision, N, O, T; the hash table's two fields that follow are never read.
constexpr std::uint64_t kHeaderSize = 20;
constexpr std::uint64_t kEntrySize = 8;  // length, then offset

std::uint32_t ReadLittleEndian(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::uint32_t ByteSwap(std::uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0x0000FF00u) | ((v << 8) & 0x00FF0000u) | (v << 24);
}

}  // namespace

MoCatalogue::MoCatalogue(const void* data, std::uint64_t size, std::wstring_view path)
    : data_(static_cast<const unsigned char*>(data)), size_(size) {
    const auto invalid = [path] {
        return EGGIOError(L"This file is not a valid GNU gettext mo file: " + std::wstring(path));
    };
    if (size_ < kHeaderSize) throw invalid();
    const std::uint32_t magic = ReadLittleEndian(data_);
    if (magic != kMagic && magic != kSwappedMagic) throw invalid();
    swap_ = magic == kSwappedMagic;

    count_ = Read32(data_ + 8);
    const std::uint32_t sourcesOffset = Read32(data_ + 12);
    const std::uint32_t translationsOffset = Read32(data_ + 16);
    if (!TableFits(sourcesOffset) || !TableFits(translationsOffset)) throw invalid();
    sources_ = data_ + sourcesOffset;
    translations_ = data_ + translationsOffset;
    // Checking every extent now is one pass over the two tables (not the strings), and it lets
    // Lookup run without a single bounds check.
    if (!StringsFit(sources_) || !StringsFit(translations_)) throw invalid();

    startIndex_ = std::bit_floor(count_);
    startStep_ = startIndex_ / 2;
}

std::uint32_t MoCatalogue::Read32(const unsigned char* at) const {
    const std::uint32_t v = ReadLittleEndian(at);
    return swap_ ? ByteSwap(v) : v;
}

// All arithmetic in 64 bits: N * 8 and offset + length overflow 32 bits for hostile headers, and
// size_t is 32 bits on the target.
bool MoCatalogue::TableFits(std::uint64_t offset) const {
    return offset <= size_ && count_ * kEntrySize <= size_ - offset;
}

// Each string is followed by a terminating zero in the format; we never read it (lengths are
// explicit), but requiring room for it makes a file cut short by even one byte invalid. Its value is
// not checked, because that would touch every page of the strings at open.
bool MoCatalogue::StringsFit(const unsigned char* table) const {
    for (std::uint64_t i = 0; i < count_; ++i) {
        const unsigned char* entry = table + i * kEntrySize;
        const std::uint64_t length = Read32(entry);
        const std::uint64_t offset = Read32(entry + 4);
        if (offset + length + 1 > size_) return false;
    }
    return true;
}

std::string_view MoCatalogue::StringAt(const unsigned char* table, std::uint32_t index) const {
    const unsigned char* entry = table + static_cast<std::size_t>(std::uint64_t{index} * kEntrySize);
    const std::uint32_t length = Read32(entry);
    const std::uint32_t offset = Read32(entry + 4);
    return {reinterpret_cast<const char*>(data_) + offset, length};
}

// The search probes a power of two first and halves the step, clamping to the table; string_view's
// compare orders bytes as unsigned char, with a proper prefix before the longer string.
MoCatalogue::LookupResult MoCatalogue::Lookup(std::string_view key) const {
    if (count_ == 0) return {key, false};
    std::uint32_t i = startIndex_;
    std::uint32_t step = startStep_;
    for (;;) {
        const int order = key.compare(SourceAt(i - 1));
        if (order == 0) return {TranslationAt(i - 1), true};
        if (step == 0) return {key, false};
        if (order < 0) {
            i = i > step ? i - step : 1;
        } else {
            i = count_ - i > step ? i + step : count_;
        }
        step /= 2;
    }
}

}  // namespace cx
