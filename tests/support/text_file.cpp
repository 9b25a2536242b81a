#include "support/text_file.h"

#include <windows.h>

#include <initializer_list>

#include "platform/system/system_function.h"
#include "platform/text/utf8.h"

namespace cxtest {

void WriteTextFile(const std::wstring& path, const std::wstring& text) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const std::string bytes = cx::EncodeUtf8(text);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

std::vector<std::wstring> ReadLines(const std::wstring& path) {
    std::vector<std::wstring> lines;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return lines;
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    ::CloseHandle(file);
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(cx::DecodeUtf8(line));
        start = end + 1;
    }
    return lines;
}

int CountLinesWith(const std::wstring& path, const std::wstring& text) {
    int count = 0;
    for (const std::wstring& line : ReadLines(path)) count += line.find(text) != std::wstring::npos;
    return count;
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void DeleteFileIfPresent(const std::wstring& path) { ::DeleteFileW(path.c_str()); }

namespace {

// Runs /bin/<command> on the Unix names of `paths` and waits until `done` holds (a few seconds at
// most): Wine gives a Unix program's handle no usable exit code, nor a reliable end.
template <typename Done>
void RunOnUnixNames(std::wstring commandLine, std::initializer_list<const std::wstring*> paths, Done done) {
    // Wine's own export; the name it returns is the caller's to free from the process heap.
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const auto unixName = cx::FindSystemFunction<UnixName>(cx::Kernel32(), "wine_get_unix_file_name");
    for (const std::wstring* path : paths) {
        char* name = unixName ? unixName(path->c_str()) : nullptr;
        if (!name) return;
        commandLine += L" \"" + cx::DecodeUtf8(name) + L"\"";
        ::HeapFree(::GetProcessHeap(), 0, name);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    for (int i = 0; i < 250 && !done(); ++i) ::Sleep(20);
}

}  // namespace

UnixSymlink::UnixSymlink(const std::wstring& link, const std::wstring& target) : link_(link) {
    RunOnUnixNames(L"/bin/ln -sfn", {&target, &link}, [&] { return Made(); });
}

UnixSymlink::~UnixSymlink() {
    RunOnUnixNames(L"/bin/rm -f", {&link_}, [&] { return !Made(); });
}

}  // namespace cxtest
