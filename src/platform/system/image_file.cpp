#include "platform/system/image_file.h"

#include <windows.h>

#include <cstdint>

#include "platform/handles.h"

namespace cx {
namespace {

// Linkers put the PE header within the first few hundred bytes; a header further away is not looked
// for, and the file then counts as unknown.
constexpr DWORD kHeadSize = 4096;

UniqueFile OpenForQuery(const std::wstring& path, DWORD access) {
    // Shared every way: a file that another program has open (an installer, Word itself) is read too.
    return UniqueFile(::CreateFileW(path.c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

Bitness ReadImageBitness(const std::wstring& path) {
    const UniqueFile file = OpenForQuery(path, GENERIC_READ);
    if (!file) return Bitness::Unknown;
    std::uint8_t head[kHeadSize];
    DWORD got = 0;
    if (!::ReadFile(file.get(), head, kHeadSize, &got, nullptr)) return Bitness::Unknown;
    return PeImageBitness(std::span<const std::uint8_t>(head, got));
}

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
    const UniqueFile first = OpenForQuery(a, FILE_READ_ATTRIBUTES);
    const UniqueFile second = OpenForQuery(b, FILE_READ_ATTRIBUTES);
    BY_HANDLE_FILE_INFORMATION one{};
    BY_HANDLE_FILE_INFORMATION other{};
    if (!first || !second || !::GetFileInformationByHandle(first.get(), &one) ||
        !::GetFileInformationByHandle(second.get(), &other))
        return false;
    return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
}

}  // namespace cx
