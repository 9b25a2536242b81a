// Reader of one GNU MO catalogue over bytes someone else owns (a mapped file, or a stretch of the
// executable). Portable: the Windows side maps the file and hands the bytes over.
#pragma once

#include <cstdint>
#include <string_view>

namespace cx {

class MoCatalogue {
  public:
    struct LookupResult {
        std::string_view text;  // the translation, or the key itself when not found
        bool found;
    };

    // Reads and checks the header and both string tables of the `size` bytes at `data`, which must stay
    // valid and unchanged for the object's lifetime. Raises EGGIOError "This file is not a valid GNU
    // gettext mo file: " + `path` for a bad magic number or when anything the tables name lies outside
    // the bytes; `path` is used for that message only. Unsorted source strings are not detected: they
    // only make lookups miss.
    MoCatalogue(const void* data, std::uint64_t size, std::wstring_view path);

    // Binary search of the source strings, compared as unsigned bytes. Allocates nothing; the views
    // point into the catalogue's bytes (or at `key`).
    LookupResult Lookup(std::string_view key) const;

    // The translation of the empty key: the "Name: value" lines; empty when the catalogue has none.
    std::string_view Header() const { return Lookup(std::string_view()).text; }

    std::uint32_t Count() const { return count_; }
    // Entries by 0-based position in the tables, index < Count(); for checks and diagnostics.
    std::string_view SourceAt(std::uint32_t index) const { return StringAt(sources_, index); }
    std::string_view TranslationAt(std::uint32_t index) const { return StringAt(translations_, index); }

  private:
    std::uint32_t Read32(const unsigned char* at) const;
    std::string_view StringAt(const unsigned char* table, std::uint32_t index) const;
    bool TableFits(std::uint64_t offset) const;
    bool StringsFit(const unsigned char* table) const;

    const unsigned char* data_;
    std::uint64_t size_;
    bool swap_ = false;
    std::uint32_t count_ = 0;
    const unsigned char* sources_ = nullptr;
    const unsigned char* translations_ = nullptr;
    std::uint32_t startIndex_ = 0;  // 1-based
    std::uint32_t startStep_ = 0;
};

}  // namespace cx
