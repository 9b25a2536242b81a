// Where catalogue bytes come from: files in the locale folder, or catalogues that a post-build step
// appended to the executable. One object per file (and offset) is shared by every domain using it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "i18n/mo_file.h"
#include "platform/srw_lock.h"

namespace cx {

struct EmbeddedFileInfo {
    std::uint64_t offset;
    std::uint64_t size;
};

// Orders paths as the file system compares them: ordinal, ignoring case.
struct PathLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

class FileLocator {
public:
    FileLocator() = default;
    FileLocator(const FileLocator&) = delete;
    FileLocator& operator=(const FileLocator&) = delete;
    // Every catalogue must have been released before: the objects still cached are destroyed here.
    ~FileLocator() = default;

    // Reads the chain offset stored after the marker in this program's image and, when it is not
    // zero, lists the catalogues of that chain in `exePath`, the running executable. Any error ends
    // the scan silently, keeping what was found.
    void ScanEmbeddedCatalogues(const std::wstring& exePath);
    // The same for the chain at `chainOffset` in the file `exePath`; paths of embedded
    // catalogues are then taken relative to that executable's directory.
    void ScanEmbeddedCatalogues(const std::wstring& exePath, std::uint64_t chainOffset);

    // Whether `path` names an embedded catalogue: its executable's directory (compared exactly) plus
    // a relative path on the embedded list (compared without regard to case).
    bool IsEmbeddedCatalogue(const std::wstring& path) const;

    // The shared object for `path` (an embedded catalogue, or the file at `path`), created on the
    // first request; its use count goes up by one. Raises EGGIOError as MoFile does.
    MoFile& AcquireCatalogue(const std::wstring& path);
    // One use less; the object is destroyed (view unmapped, file closed) when none is left.
    void ReleaseCatalogue(MoFile& catalogue);

    // Catalogue objects alive now.
    std::size_t OpenCount() const;

private:
    using CacheKey = std::pair<std::wstring, std::uint64_t>;  // real file, offset
    struct CacheLess {
        bool operator()(const CacheKey& a, const CacheKey& b) const;
    };

    const EmbeddedFileInfo* FindEmbedded(const std::wstring& path) const;

    std::wstring exeFile_;  // set only when catalogues are embedded
    std::wstring exeDir_;
    std::map<std::wstring, EmbeddedFileInfo, PathLess> embedded_;
    mutable SrwLock lock_;
    std::map<CacheKey, std::unique_ptr<MoFile>, CacheLess> cache_;
};

}  // namespace cx
