// The application directory on the user's PATH: whole entries only, the value's type and every other
// character kept, the change announced and handed to the package tool, and a registry failure stopping
// the run before the package tool.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cwctype>

#include "e2e/writer_suite.h"

namespace {

using writertest::TextOf;
using writertest::WriterScene;

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

std::wstring Expanded(const std::wstring& text) {
    std::wstring out(32768, L'\0');
    out.resize(::ExpandEnvironmentStringsW(text.c_str(), out.data(), 32768) - 1);
    return out;
}

class WriterPath : public ::testing::Test {
protected:
    // Replaces each D in the pattern by the directory entry.
    std::wstring WithDir(std::wstring_view pattern) const {
        std::wstring out;
        for (const wchar_t c : pattern) out += c == L'D' ? scene_.DirEntry() : std::wstring(1, c);
        return out;
    }
    WriterScene scene_;
};

TEST_F(WriterPath, RemovalTakesTheEntryWithOneSeparator) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"A;D;B", L"A;B"}, {L"D;B", L"B"}, {L"A;D", L"A"}, {L"A;D\\;B", L"A;B"}, {L"D;A;D", L"A;D"}};
    for (const auto& [before, after] : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(before)));
        WriterScene::SetUserPath(WithDir(before));
        const writertest::BroadcastCounter broadcasts;
        EXPECT_EQ(scene_.Run(L"/ou").exitCode, 1) << "no package tool";
        EXPECT_EQ(TextOf(WriterScene::UserPath()), WithDir(after));
        EXPECT_EQ(broadcasts.Count(), 1);
    }
    // Emptied: the value goes.
    for (const wchar_t* before : {L";D", L"D"}) {
        WriterScene::SetUserPath(WithDir(before));
        EXPECT_EQ(scene_.Run(L"/ou").exitCode, 1);
        EXPECT_FALSE(WriterScene::UserPath().has_value());
    }
}

TEST_F(WriterPath, InstallWithoutPackageToolStillAddsTheEntry) {
    WriterScene::DeleteUserPath();
    const writertest::BroadcastCounter broadcasts;
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 1);
    const auto value = WriterScene::UserPath();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->Text(), L";" + scene_.DirEntry());
    EXPECT_EQ(broadcasts.Count(), 1);
    // Installed twice: still one entry.
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 1);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), L";" + scene_.DirEntry());
}

TEST_F(WriterPath, AnEntryPresentInOtherCaseIsLeftAloneAndNothingIsAnnounced) {
    scene_.InstallSuite();
    const std::wstring path = L"C:\\A;" + Upper(scene_.DirEntry()) + L"\\;C:\\B";
    WriterScene::SetUserPath(path, REG_EXPAND_SZ);
    const writertest::BroadcastCounter broadcasts;
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 0);
    const auto value = WriterScene::UserPath();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(value->Text(), path);
    EXPECT_EQ(broadcasts.Count(), 0);
    // Nothing written: the package tool got this process's own PATH, not the user's.
    wchar_t own[32768];
    ::GetEnvironmentVariableW(L"PATH", own, 32768);
    EXPECT_EQ(WriterScene::ToolPath(), std::wstring(own));

    WriterScene::SetUserPath(L"C:\\A;C:\\B");
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 0);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), L"C:\\A;C:\\B");
    EXPECT_EQ(broadcasts.Count(), 0);
}

TEST_F(WriterPath, LookAlikeEntriesAreNeitherMatchedNorDamaged) {
    const std::wstring dir = scene_.DirEntry();
    const std::wstring lookAlikes = dir + L"2;" + dir + L"\\bin;X:\\" + dir.substr(3) + L";\"" + dir +
                                    L"\";C:;" + dir.substr(0, dir.size() - 1);
    WriterScene::SetUserPath(lookAlikes);
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 1);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), lookAlikes);
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 1);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), lookAlikes + L";" + dir);
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 1);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), lookAlikes);
}

TEST_F(WriterPath, AnInstallInADriveRootLeavesTheDrivesOtherEntriesAlone) {
    const std::wstring rootTool = L"C:\\CXAddinReg.exe";
    ASSERT_TRUE(::CopyFileW(scene_.Folder().Tool().c_str(), rootTool.c_str(), FALSE));
    const std::wstring path = L"C:\\windows;C:\\windows\\system32;D:\\C:;c:";
    WriterScene::SetUserPath(path);
    EXPECT_EQ(cxtest::RunProgram(rootTool, L"/oi").exitCode, 1);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), path) << "\"c:\" names the drive root already";
    WriterScene::SetUserPath(L"C:\\windows;D:\\C:");
    EXPECT_EQ(cxtest::RunProgram(rootTool, L"/oi").exitCode, 1);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), L"C:\\windows;D:\\C:;C:\\");
    EXPECT_EQ(cxtest::RunProgram(rootTool, L"/ou").exitCode, 1);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), L"C:\\windows;D:\\C:");
    ::DeleteFileW(rootTool.c_str());
}

TEST_F(WriterPath, AnExpandableValueStaysExpandableAndChildrenGetItExpanded) {
    scene_.InstallSuite();
    const std::wstring path = L"%USERPROFILE%\\bin;%SystemRoot%\\system32";
    WriterScene::SetUserPath(path, REG_EXPAND_SZ);
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 0);
    auto value = WriterScene::UserPath();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(value->Text(), path + L";" + scene_.DirEntry());
    EXPECT_EQ(WriterScene::ToolPath(), Expanded(path) + L";" + scene_.DirEntry());
    EXPECT_NE(Expanded(path), path);

    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 0);
    value = WriterScene::UserPath();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(value->Text(), path);
}

TEST_F(WriterPath, ALongPathComesBackByteForByte) {
    std::wstring path;
    for (int i = 0; path.size() < 32767; ++i) path += L"C:\\\u5de5\u5177\\dir" + std::to_wstring(i) + L";";
    path.resize(32767);
    if (path.back() == L';') path.back() = L'x';
    WriterScene::SetUserPath(path);
    const auto before = WriterScene::UserPath();
    ASSERT_TRUE(before);
    ASSERT_EQ(before->data.size(), (32767u + 1) * sizeof(wchar_t));
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 1);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), path + L";" + scene_.DirEntry());
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 1);
    const auto after = WriterScene::UserPath();
    ASSERT_TRUE(after);
    EXPECT_EQ(after->type, before->type);
    EXPECT_TRUE(after->data == before->data);
}

// A PATH that is there but cannot be read as text is never written over: "oi" and "ou" leave it byte
// for byte, still run the package tool, and end with 1, saying why in the log.
TEST_F(WriterPath, APathThatCannotBeReadAsTextIsLeftAsItIs) {
    scene_.InstallSuite();
    const std::wstring log = scene_.Folder().Path(L"run.log");
    const auto runBoth = [&] {
        WriterScene::ClearToolJournal();
        cxtest::DeleteFileIfPresent(log);
        EXPECT_EQ(scene_.Run(L"/oi \"/lo" + log + L"\"").exitCode, 1);
        EXPECT_EQ(scene_.Run(L"/ou \"/lo" + log + L"\"").exitCode, 1);
        EXPECT_EQ(WriterScene::ToolCommandLines().size(), 2u);
        EXPECT_EQ(cxtest::CountLinesWith(log, L"user PATH entry not changed: it cannot be read as text"), 2);
    };
    const auto expectStill = [](const cxtest::RegValue& before) {
        const auto after = WriterScene::UserPath();
        ASSERT_TRUE(after);
        EXPECT_EQ(after->type, before.type);
        EXPECT_TRUE(after->data == before.data);
    };
    const wchar_t text[] = L"C:\\Tools\0D:\\Bin\0";
    for (const DWORD type : {REG_DWORD, REG_BINARY, REG_MULTI_SZ, REG_NONE}) {
        SCOPED_TRACE(type);
        cxtest::WriteRaw(HKEY_CURRENT_USER, writertest::kEnvironmentKey, L"PATH", type, text,
                         type == REG_DWORD ? 4 : sizeof text);
        const cxtest::RegValue before = *WriterScene::UserPath();
        runBoth();
        expectStill(before);
    }
    // A key that denies reading but allows writing.
    WriterScene::SetUserPath(L"C:\\Tools;D:\\Bin");
    const cxtest::RegValue before = *WriterScene::UserPath();
    cxtest::SetKeyDacl(HKEY_CURRENT_USER, writertest::kEnvironmentKey, L"D:(D;;KR;;;WD)(A;;KA;;;WD)");
    const bool enforced = !WriterScene::UserPath();
    runBoth();
    cxtest::SetKeyDacl(HKEY_CURRENT_USER, writertest::kEnvironmentKey, L"D:(A;;KA;;;WD)");
    EXPECT_TRUE(enforced) << "the registry does not enforce the DACL";
    expectStill(before);
}

// A folder whose name holds ";" cannot be one PATH entry: it would never match itself, so "oi" would
// add it again and again and "ou" leave it behind. The PATH stays as it is, and the log says why.
TEST(WriterPathSeparator, AFolderNameWithASemicolonLeavesThePathAlone) {
    WriterScene scene(L"a;b");
    scene.InstallSuite();
    const std::wstring log = scene.Folder().Path(L"run.log");
    for (const std::wstring& path : {std::wstring(L"C:\\A"), L"C:\\A;" + scene.DirEntry()}) {
        WriterScene::SetUserPath(path);
        EXPECT_EQ(scene.Run(L"/oi \"/lo" + log + L"\"").exitCode, 1);
        EXPECT_EQ(scene.Run(L"/ou").exitCode, 1);
        EXPECT_EQ(TextOf(WriterScene::UserPath()), path);
    }
    EXPECT_EQ(cxtest::CountLinesWith(log, L"user PATH entry not changed: the folder \"" + scene.DirEntry() +
                                              L"\" cannot be one PATH entry"),
              2);
}

TEST(WriterPathUnicode, AFolderNameOutsideTheAnsiCodePageRoundTrips) {
    WriterScene scene(L"\u5199\u4f5c \u0436");
    scene.InstallSuite();
    WriterScene::SetUserPath(L"C:\\A");
    EXPECT_EQ(scene.Run(L"/oi").exitCode, 0);
    EXPECT_EQ(TextOf(WriterScene::UserPath()),
              L"C:\\A;C:\\Program Files\\Corvane Tests\\\u5199\u4f5c \u0436");
    EXPECT_EQ(scene.Run(L"/ou").exitCode, 0);
    EXPECT_EQ(TextOf(WriterScene::UserPath()), L"C:\\A");
    EXPECT_THAT(WriterScene::ToolCommandLines(),
                ::testing::ElementsAre(
                    L"\"" + WriterScene::SuitePath(L"unopkg.com") +
                        L"\" add -f \"C:\\Program Files\\Corvane Tests\\\u5199\u4f5c \u0436\\"
                        L"CVOOAddin.oxt\"",
                    L"\"" + WriterScene::SuitePath(L"unopkg.com") + L"\" remove \"CVOOAddin.oxt\""));
}

TEST_F(WriterPath, ARegistryFailureShowsTheErrorBeforeThePackageToolRuns) {
    scene_.InstallSuite();
    cxtest::DeleteTree(HKEY_CURRENT_USER, writertest::kEnvironmentKey);
    const auto run = scene_.Run(L"/oi");
    EXPECT_EQ(run.exitCode, writertest::kNothingDone);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, L"Corvane2");
    EXPECT_EQ(run.boxes[0].text, L"Unable to open key \"Environment\" for write");
    EXPECT_TRUE(WriterScene::ToolJournal().empty());
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CURRENT_USER, writertest::kEnvironmentKey)) << "nothing is created";
}

}  // namespace
