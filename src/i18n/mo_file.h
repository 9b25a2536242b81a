// One catalogue file, mapped read-only and never copied; its lookups run over the mapped bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "i18n/mo_catalogue.h"
#include "platform/handles.h"

namespace cx {

class MoFile {
public:
    // Opens `path` (wide API: any characters), maps the whole file and reads the catalogue that
    // starts `offset` bytes in and runs for `size` bytes, or to the end of the file when `size` is
    // not given. Raises EGGIOError with the path: "Cannot open file", "Cannot create memory map on
    // file" (also for an empty file), "Cannot map file ... into memory. Reason: ..." and "This file is
    // not a valid GNU gettext mo file: " for a bad header or tables, or a stretch outside the file.
    MoFile(const std::wstring& path, std::uint64_t offset, std::optional<std::uint64_t> size);
    MoFile(const MoFile&) = delete;
    MoFile& operator=(const MoFile&) = delete;

    MoCatalogue::LookupResult Lookup(std::string_view key) const { return catalogue_->Lookup(key); }
    std::string_view Header() const { return catalogue_->Header(); }
    const MoCatalogue& Catalogue() const { return *catalogue_; }

    const std::wstring& Path() const { return path_; }
    std::uint64_t Offset() const { return offset_; }

    // How many domains hold this object; kept by the file locator, under its lock.
    int UseCount() const { return useCount_; }

private:
    friend class FileLocator;

    std::wstring path_;
    std::uint64_t offset_;
    // Members go in reverse order: the view is unmapped first, then the mapping and the file closed.
    UniqueFile file_;
    UniqueHandle mapping_;
    UniqueView view_;
    std::optional<MoCatalogue> catalogue_;
    int useCount_ = 0;
};

}  // namespace cx
