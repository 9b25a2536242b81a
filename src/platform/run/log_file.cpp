#include "platform/run/log_file.h"

#include <string_view>
#include <utility>

namespace cx {
namespace {

// Append-only, so that every write lands at the end, also with other runs writing the same file;
// attributes for the checks below.
constexpr DWORD kAccess = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES;
constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A reparse point (symbolic link, junction) is opened itself, not followed; a named pipe's server may
// identify the tool but never act as it.
constexpr DWORD kFlags =
    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;
// Another run may create or delete the file between the two ways of opening it; a dangling link is
// neither there to open nor free to create, and must not keep the tool trying.
constexpr int kOpenAttempts = 3;

struct Opened {
    UniqueFile file;
    bool created = false;
};

// The existing file, or a new one. Not OPEN_ALWAYS: a new file is opened with DELETE as well, so that
// it can be removed again when refused, while an existing log must still open beside readers that do
// not share deletion.
Opened OpenOrCreate(const std::wstring& path) {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        UniqueFile existing(
            ::CreateFileW(path.c_str(), kAccess, kShare, nullptr, OPEN_EXISTING, kFlags, nullptr));
        if (existing) return {std::move(existing), false};
        if (::GetLastError() != ERROR_FILE_NOT_FOUND) return {};
        UniqueFile created(
            ::CreateFileW(path.c_str(), kAccess | DELETE, kShare, nullptr, CREATE_NEW, kFlags, nullptr));
        if (created) return {std::move(created), true};
        if (::GetLastError() != ERROR_FILE_EXISTS) return {};
    }
    return {};
}

// A path from one of the three calls below, which all give the length without the NUL on success and
// the size needed with it when the buffer is too small; empty on failure.
template <typename Query>
std::wstring QueryPath(Query query) {
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = query(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) return {};
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length);
    }
    return {};
}

// The path without the prefix that turns parsing off, "\\?\C:\x" as "C:\x" and "\\?\UNC\server\x" as
// "\\server\x": the final path always has it, the path asked for only when the caller wrote it.
std::wstring WithoutPrefix(std::wstring path) {
    constexpr std::wstring_view kUnc = L"\\\\?\\UNC\\";
    constexpr std::wstring_view kLocal = L"\\\\?\\";
    if (path.compare(0, kUnc.size(), kUnc) == 0) return L"\\\\" + path.substr(kUnc.size());
    if (path.compare(0, kLocal.size(), kLocal) == 0) return path.substr(kLocal.size());
    return path;
}

// Whether the file the handle reaches lies at `path`. Both sides in long names (an installer's $TEMP
// often holds an 8.3 name such as ADMINI~1; GetLongPathNameW reads each name from its folder without
// following links, so a link on the way still shows), and compared as the file system compares names,
// every letter folded (the drive letter and the names as the caller wrote them against the names as
// stored). A volume without a drive letter, a mapped or SUBST drive give another final path and are
// refused: they cannot be checked.
bool IsAtPath(HANDLE file, const std::wstring& path) {
    const std::wstring full = QueryPath(
        [&](wchar_t* buffer, DWORD size) { return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr); });
    if (full.empty()) return false;
    std::wstring asked = QueryPath(
        [&](wchar_t* buffer, DWORD size) { return ::GetLongPathNameW(full.c_str(), buffer, size); });
    if (asked.empty()) asked = full;
    const std::wstring reached = QueryPath([&](wchar_t* buffer, DWORD size) {
        return ::GetFinalPathNameByHandleW(file, buffer, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    if (reached.empty()) return false;
    asked = WithoutPrefix(std::move(asked));
    const std::wstring final = WithoutPrefix(reached);
    return ::CompareStringOrdinal(asked.c_str(), static_cast<int>(asked.size()), final.c_str(),
                                  static_cast<int>(final.size()), TRUE) == CSTR_EQUAL;
}

// Whether the open file is a plain file of its own at `path` (see OpenLogFile).
bool IsOwnFile(HANDLE file, const std::wstring& path) {
    if (::GetFileType(file) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file, &info)) return false;
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) return false;
    if (info.nNumberOfLinks != 1) return false;
    return IsAtPath(file, path);
}

}  // namespace

LogFile OpenLogFile(const std::wstring& path) {
    Opened opened = OpenOrCreate(path);
    if (!opened.file) return {};
    if (IsOwnFile(opened.file.get(), path)) return {std::move(opened.file), LogFileOpening::Opened};
    if (opened.created) {
        // Made where a link led: take it back (deleted when the handle closes).
        FILE_DISPOSITION_INFO disposition{TRUE};
        ::SetFileInformationByHandle(opened.file.get(), FileDispositionInfo, &disposition,
                                     sizeof disposition);
    }
    return {UniqueFile(), LogFileOpening::Refused};
}

}  // namespace cx
