#include "support/install_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace cxtest {

std::wstring ToolExePath() { return CX_TOOL_EXE; }
std::wstring StandinPath(const std::wstring& fileName) { return std::wstring(CX_STANDIN_DIR) + L"\\" + fileName; }

bool RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = dir + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(path.c_str());
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    ::RemoveDirectoryW(dir.c_str());
    return ::GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES;
}

void MakeDirs(const std::wstring& dir) {
    for (std::size_t pos = dir.find(L'\\', 3); pos != std::wstring::npos; pos = dir.find(L'\\', pos + 1)) {
        ::CreateDirectoryW(dir.substr(0, pos).c_str(), nullptr);
    }
    ::CreateDirectoryW(dir.c_str(), nullptr);
}

InstallFolder::InstallFolder(const std::wstring& leaf)
    : dir_(L"C:\\Program Files\\Corvane Tests\\" + leaf + L"\\") {
    const std::wstring bare = dir_.substr(0, dir_.size() - 1);
    RemoveTree(bare);
    MakeDirs(bare);
    CopyIn(ToolExePath(), L"CXAddinReg.exe");
}

InstallFolder::~InstallFolder() { RemoveTree(dir_.substr(0, dir_.size() - 1)); }

void InstallFolder::AddStandin(const std::wstring& standin, const std::wstring& asName) const {
    CopyIn(StandinPath(standin), asName.empty() ? standin : asName);
}

void InstallFolder::CopyIn(const std::wstring& source, const std::wstring& name) const {
    ASSERT_TRUE(::CopyFileW(source.c_str(), Path(name).c_str(), FALSE))
        << "copy " << ::testing::PrintToString(source) << " failed: " << ::GetLastError();
}

}  // namespace cxtest
