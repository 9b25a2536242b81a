// The tool runs with administrator rights: an add-in library that is missing beside it must not be
// looked for anywhere else, neither in the current directory nor on PATH.
#include "e2e/word_fixture.h"

namespace {

using namespace wordtest;

class WordLibrarySearch : public WordTest {
protected:
    WordLibrarySearch()
        : WordTest(L"word library search"),
          onPath_(L"word planted on path"),
          current_(L"word planted here") {}

    cxtest::InstallFolder onPath_;
    cxtest::InstallFolder current_;
};

TEST_F(WordLibrarySearch, ALibraryOnPathOrInTheCurrentDirectoryIsNeverLoaded) {
    ASSERT_TRUE(::DeleteFileW(Path(L"CVWordAddin2.dll").c_str()));
    onPath_.AddStandin(L"CVWordAddin2.dll");
    current_.AddStandin(L"CVWordAddin2.dll");

    std::wstring path(32767, L'\0');
    path.resize(::GetEnvironmentVariableW(L"PATH", path.data(), static_cast<DWORD>(path.size())));
    const std::wstring plantedPath = onPath_.Dir() + L";" + path;
    // A search by bare name would find the planted library.
    wchar_t found[MAX_PATH] = {};
    ASSERT_GT(::SearchPathW(plantedPath.c_str(), L"CVWordAddin2.dll", nullptr, MAX_PATH, found, nullptr), 0u);

    cxtest::RunOptions options;
    options.env = {{L"PATH", plantedPath}};
    options.currentDir = current_.Dir();
    cxtest::WriteDword(HKEY_CURRENT_USER, kAddinKey, L"Active", 1);
    for (const wchar_t* args : {L"/wi", L"/wu"}) {
        SCOPED_TRACE(Text(args));
        const auto run = Run(args, options);
        EXPECT_EQ(run.exitCode, kNothingDone);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].text, NeedsLibraryText(32, Path(L"CVWordAddin2.dll")));
    }
    EXPECT_FALSE(cxtest::FileExists(onPath_.Path(L"CVWordAddin2.dll.journal")));
    EXPECT_FALSE(cxtest::FileExists(current_.Path(L"CVWordAddin2.dll.journal")));
}

}  // namespace
