// The add-in library's registration as far as it can be seen from inside a process: the error for a
// library that is not there, the error mode, which must be the caller's again afterwards, and that
// only the tool's own folder is tried even where the process searches everywhere.
#include "hosts/word/addin_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/errors.h"
#include "platform/system/app_paths.h"
#include "support/install_folder.h"
#include "support/text_file.h"

namespace cx {
namespace {

TEST(RegisterAddinLibrary, AMissingLibraryIsNamedAndTheErrorModeRestored) {
    const UINT callers = SEM_FAILCRITICALERRORS;
    const UINT before = ::SetErrorMode(callers);
    try {
        RegisterAddinLibrary(L"no such add-in.dll", true);
        ADD_FAILURE() << "no exception";
    } catch (const EOSError&) {
        ADD_FAILURE() << "not an operating-system error";
    } catch (const Exception& error) {
        const std::wstring suffix = L": no such add-in.dll";
        ASSERT_GT(error.Message().size(), suffix.size());
        EXPECT_EQ(error.Message().substr(error.Message().size() - suffix.size()), suffix);
    }
    EXPECT_EQ(::SetErrorMode(before), callers);
}

// The process's current directory and PATH, put back at the end of the scope.
class SavedSearchPlaces {
public:
    SavedSearchPlaces() : dir_(MAX_PATH, L'\0'), path_(32767, L'\0') {
        dir_.resize(::GetCurrentDirectoryW(static_cast<DWORD>(dir_.size()), dir_.data()));
        path_.resize(::GetEnvironmentVariableW(L"PATH", path_.data(), static_cast<DWORD>(path_.size())));
    }
    ~SavedSearchPlaces() {
        ::SetCurrentDirectoryW(dir_.c_str());
        ::SetEnvironmentVariableW(L"PATH", path_.c_str());
    }
    SavedSearchPlaces(const SavedSearchPlaces&) = delete;
    SavedSearchPlaces& operator=(const SavedSearchPlaces&) = delete;

    const std::wstring& Dir() const { return dir_; }
    const std::wstring& Path() const { return path_; }

private:
    std::wstring dir_;
    std::wstring path_;
};

// This process never restricts its library search, as on a Windows 7 without the update that brings
// SetDefaultDllDirectories: loading the library by its full path is then the only guard.
TEST(RegisterAddinLibrary, ALibraryInTheCurrentDirectoryOrOnPathIsNeverLoaded) {
    ASSERT_FALSE(cxtest::FileExists(GetAppDir() + L"CVWordAddin2.dll"));
    const cxtest::InstallFolder planted(L"planted add-in");
    planted.AddStandin(L"CVWordAddin2.dll");
    const SavedSearchPlaces saved;
    for (const bool onPath : {false, true}) {
        SCOPED_TRACE(onPath ? "on PATH" : "in the current directory");
        ::SetCurrentDirectoryW(onPath ? saved.Dir().c_str() : planted.Dir().c_str());
        ::SetEnvironmentVariableW(L"PATH", ((onPath ? planted.Dir() + L";" : L"") + saved.Path()).c_str());
        wchar_t found[MAX_PATH];
        ASSERT_GT(::SearchPathW(nullptr, L"CVWordAddin2.dll", nullptr, MAX_PATH, found, nullptr), 0u)
            << "a search by bare name finds the planted library";
        EXPECT_THROW(RegisterAddinLibrary(L"CVWordAddin2.dll", true), Exception);
    }
    EXPECT_FALSE(cxtest::FileExists(planted.Path(L"CVWordAddin2.dll.journal")));
}

}  // namespace
}  // namespace cx
