#include "i18n/file_locator.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "platform/handles.h"
#include "platform/text/path_text.h"
#include "platform/text/utf8.h"

namespace cx {
namespace {

// The marker text followed by eight zero bytes, one 44-byte object. The post-build step that appends
// catalogues finds the text in the file (it must occur exactly once, so it exists nowhere else: one
// definition, never copied into another literal) and writes the chain's file offset, little-endian,
// over the zeros. Volatile, so that the compiler cannot fold the zeros it sees into the code.
constexpr std::size_t kMarkerLength = 36;
const volatile char kEmbeddedMarker[kMarkerLength + 8] = "6637DB2E-62E1-4A60-AC19-C23867046A89\0\0\0\0\0\0\0";

std::uint64_t EmbeddedChainOffset() {
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        offset |= static_cast<std::uint64_t>(static_cast<unsigned char>(kEmbeddedMarker[kMarkerLength + i]))
                  << (8 * i);
    }
    return offset;
}

// A chain record: next record (0 ends the chain), catalogue offset, catalogue size, all 64-bit
// little-endian, then the catalogue's path relative to the executable's directory, padded with blanks
// up to the next record; a zero byte ends the path early. The last record has no next one: without a
// zero byte its path runs to the end of the file, so anything appended later (signing appends a
// signature) would join it. The chain writer therefore ends every path with a zero byte.
constexpr std::uint64_t kRecordHeaderSize = 24;
// A longer name is taken as a damaged chain rather than read into memory.
constexpr std::uint64_t kMaxNameLength = 4096;

std::uint64_t ReadLittleEndian64(const unsigned char* at) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | at[i];
    return value;
}

bool ReadAt(HANDLE file, std::uint64_t offset, void* buffer, DWORD length) {
    OVERLAPPED position{};
    position.Offset = static_cast<DWORD>(offset);
    position.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ::ReadFile(file, buffer, length, &read, &position) && read == length;
}

// The path in a record's name bytes: blanks and control characters trimmed at both ends, and nothing
// from the first zero byte on.
std::string_view RecordPath(std::string_view bytes) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!bytes.empty() && blank(bytes.front())) bytes.remove_prefix(1);
    bytes = bytes.substr(0, bytes.find('\0'));
    while (!bytes.empty() && blank(bytes.back())) bytes.remove_suffix(1);
    return bytes;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return !prefix.empty() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

bool PathLess::operator()(const std::wstring& a, const std::wstring& b) const {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_LESS_THAN;
}

bool FileLocator::CacheLess::operator()(const CacheKey& a, const CacheKey& b) const {
    if (PathLess{}(a.first, b.first)) return true;
    if (PathLess{}(b.first, a.first)) return false;
    return a.second < b.second;
}

void FileLocator::ScanEmbeddedCatalogues(const std::wstring& exePath) {
    const std::uint64_t chain = EmbeddedChainOffset();
    if (chain == 0 || exePath.empty()) return;
    ScanEmbeddedCatalogues(exePath, chain);
}

void FileLocator::ScanEmbeddedCatalogues(const std::wstring& exePath, std::uint64_t chainOffset) {
    exeFile_ = exePath;
    exeDir_ = ExtractPathDir(exePath);
    const UniqueFile file(::CreateFileW(exePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size)) return;
    const auto fileSize = static_cast<std::uint64_t>(size.QuadPart);

    // Records only ever point forward, so a damaged chain cannot loop.
    for (std::uint64_t record = chainOffset; record != 0;) {
        if (record > fileSize || fileSize - record < kRecordHeaderSize) return;
        std::array<unsigned char, kRecordHeaderSize> header{};
        if (!ReadAt(file.get(), record, header.data(), kRecordHeaderSize)) return;
        const std::uint64_t next = ReadLittleEndian64(header.data());
        const EmbeddedFileInfo info{ReadLittleEndian64(header.data() + 8),
                                    ReadLittleEndian64(header.data() + 16)};
        const std::uint64_t nameStart = record + kRecordHeaderSize;
        if (next != 0 && (next < nameStart || next > fileSize || next - nameStart > kMaxNameLength)) return;
        if (info.offset > fileSize || info.size > fileSize - info.offset) return;
        // The last name is read no further than a name may be long; what follows its zero byte is
        // not part of it.
        const std::uint64_t nameEnd =
            next != 0 ? next : nameStart + std::min(fileSize - nameStart, kMaxNameLength + 1);

        std::string name(static_cast<std::size_t>(nameEnd - nameStart), '\0');
        if (!name.empty() && !ReadAt(file.get(), nameStart, name.data(), static_cast<DWORD>(name.size())))
            return;
        if (next == 0 && name.size() > kMaxNameLength && name.find('\0') == std::string::npos) return;
        const std::wstring relative = DecodeUtf8(RecordPath(name));
        if (relative.empty() || !embedded_.emplace(relative, info).second) return;  // duplicates are errors
        record = next;
    }
}

const EmbeddedFileInfo* FileLocator::FindEmbedded(const std::wstring& path) const {
    if (embedded_.empty()) return nullptr;
    const std::wstring relative = StartsWith(path, exeDir_) ? path.substr(exeDir_.size()) : path;
    const auto found = embedded_.find(relative);
    return found == embedded_.end() ? nullptr : &found->second;
}

bool FileLocator::IsEmbeddedCatalogue(const std::wstring& path) const {
    return FindEmbedded(path) != nullptr;
}

MoFile& FileLocator::AcquireCatalogue(const std::wstring& path) {
    CacheKey key{path, 0};
    std::optional<std::uint64_t> size;
    if (const EmbeddedFileInfo* embedded = FindEmbedded(path)) {
        key = {exeFile_, embedded->offset};
        size = embedded->size;
    }
    {
        const SrwLock::Exclusive hold(lock_);
        const auto cached = cache_.find(key);
        if (cached != cache_.end()) {
            ++cached->second->useCount_;
            return *cached->second;
        }
    }
    // Created outside the lock: its error messages are translated, which may acquire another catalogue.
    auto created = std::make_unique<MoFile>(key.first, key.second, size);
    const SrwLock::Exclusive hold(lock_);
    MoFile& catalogue = *cache_.try_emplace(key, std::move(created)).first->second;
    ++catalogue.useCount_;
    return catalogue;
}

void FileLocator::ReleaseCatalogue(MoFile& catalogue) {
    const SrwLock::Exclusive hold(lock_);
    if (--catalogue.useCount_ > 0) return;
    cache_.erase(CacheKey{catalogue.Path(), catalogue.Offset()});
}

std::size_t FileLocator::OpenCount() const {
    const SrwLock::Exclusive hold(lock_);
    return cache_.size();
}

}  // namespace cx
