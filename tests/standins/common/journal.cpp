#include "common/journal.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "platform/text/utf8.h"

namespace standin {
namespace {

HMODULE OwnModule() {
    HMODULE module = nullptr;
    ::GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&OwnModule), &module);
    return module;
}

}  // namespace

std::wstring OwnModulePath() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = ::GetModuleFileNameW(OwnModule(), buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), length);
}

void Journal(const std::wstring& line) {
    const std::wstring path = OwnModulePath() + L".journal";
    const std::string bytes = cx::EncodeUtf8(line) + "\n";
    for (int attempt = 0; attempt < 50; ++attempt) {
        // Shared for deletion too: a test that clears the journal between runs must not fail because a
        // server of the previous run is writing its last lines at that moment.
        HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            ::CloseHandle(file);
            return;
        }
        ::Sleep(20);  // another writer holds it
    }
}

std::optional<std::string> ReadSetting(const std::wstring& suffix) {
    const std::wstring path = OwnModulePath() + L"." + suffix;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) text.append(chunk, got);
    ::CloseHandle(file);
    return text;
}

long SettingNumber(const std::wstring& suffix, long fallback) {
    const auto text = ReadSetting(suffix);
    // Unsigned parsing, so that 0xFFFFFFFE reads as the exit code -2 rather than clamping.
    return text ? static_cast<long>(std::strtoul(text->c_str(), nullptr, 0)) : fallback;
}

}  // namespace standin
