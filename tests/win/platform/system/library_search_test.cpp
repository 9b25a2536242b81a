// The start-up restriction of the library search, alone: afterwards a library loaded by bare name
// comes neither from the current directory nor from a folder on PATH. It changes the whole process for
// good, so it is applied in a process of its own.
#include "platform/system/library_search.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/install_folder.h"

namespace cx {
namespace {

// The child's exit code: a bit for each planted library a bare-name load found, or that the planting
// itself did not work.
constexpr UINT kLoadedFromCurrentDir = 1;
constexpr UINT kLoadedFromPath = 2;
constexpr UINT kNotPlanted = 4;

[[noreturn]] void RestrictAndLoadPlanted(const std::wstring& currentDir, const std::wstring& pathDir) {
    std::wstring path(32767, L'\0');
    path.resize(::GetEnvironmentVariableW(L"PATH", path.data(), static_cast<DWORD>(path.size())));
    ::SetEnvironmentVariableW(L"PATH", (pathDir + L";" + path).c_str());
    ::SetCurrentDirectoryW(currentDir.c_str());
    // A search by bare name finds both before the restriction.
    wchar_t found[MAX_PATH];
    for (const wchar_t* name : {L"CVPlantedHere.dll", L"CVPlantedOnPath.dll"}) {
        if (::SearchPathW(nullptr, name, nullptr, MAX_PATH, found, nullptr) == 0) ::ExitProcess(kNotPlanted);
    }
    RestrictLibrarySearch();
    UINT loaded = 0;
    if (::LoadLibraryW(L"CVPlantedHere.dll")) loaded |= kLoadedFromCurrentDir;
    if (::LoadLibraryW(L"CVPlantedOnPath.dll")) loaded |= kLoadedFromPath;
    ::ExitProcess(loaded);
}

TEST(RestrictLibrarySearchDeathTest, NeitherTheCurrentDirectoryNorPathIsSearched) {
    // Any library, not only the add-in: the stand-in add-in library under other names.
    const cxtest::InstallFolder here(L"planted here");
    const cxtest::InstallFolder onPath(L"planted on path");
    here.AddStandin(L"CVWordAddin2.dll", L"CVPlantedHere.dll");
    onPath.AddStandin(L"CVWordAddin2.dll", L"CVPlantedOnPath.dll");
    EXPECT_EXIT(RestrictAndLoadPlanted(here.Dir(), onPath.Dir()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace cx
