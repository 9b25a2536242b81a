// The log's file opens only where its name leads: a new or existing file of its own, however its path
// is written; never through a link (the two kinds Wine can make), nor to a device or a pipe.
#include "platform/run/log_file.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/install_folder.h"
#include "support/text_file.h"

namespace cx {
namespace {

TEST(LogFile, OpensOnlyAFileOfItsOwnWhereItsNameLeads) {
    const cxtest::InstallFolder folder(L"log file");
    const cxtest::InstallFolder elsewhere(L"log file elsewhere");
    const std::wstring target = elsewhere.Path(L"administrators only.txt");
    cxtest::WriteTextFile(target, L"kept");
    ASSERT_TRUE(::CreateHardLinkW(folder.Path(L"hard.log").c_str(), target.c_str(), nullptr));
    const cxtest::UnixSymlink symbolic(folder.Path(L"symbolic.log"), target);
    const cxtest::UnixSymlink linkedFolder(folder.Path(L"linked folder"), elsewhere.Dir());
    ASSERT_TRUE(symbolic.Made() && linkedFolder.Made());
    const UniqueFile pipe(
        ::CreateNamedPipeW(L"\\\\.\\pipe\\cx log", PIPE_ACCESS_INBOUND, 0, 1, 0, 0, 0, nullptr));
    // The folder by its 8.3 name in capitals (the file system's letter case is not the caller's).
    wchar_t shortDir[MAX_PATH];
    ASSERT_GT(::GetShortPathNameW(folder.Dir().c_str(), shortDir, MAX_PATH), 0u);
    ::CharUpperW(shortDir);

    const std::wstring log = folder.Path(L"a long log name.log");
    const std::pair<std::wstring, LogFileOpening> cases[] = {
        {log, LogFileOpening::Opened},  // new
        {log, LogFileOpening::Opened},  // existing
        {shortDir + std::wstring(L"a long log name.log"), LogFileOpening::Opened},
        {L"\\\\?\\" + log, LogFileOpening::Opened},
        {folder.Path(L"no such folder\\x.log"), LogFileOpening::Failed},
        {folder.Path(L"hard.log"), LogFileOpening::Refused},
        {folder.Path(L"symbolic.log"), LogFileOpening::Refused},
        {folder.Path(L"linked folder\\new.log"), LogFileOpening::Refused},
        {L"NUL", LogFileOpening::Refused},
        {L"\\\\.\\pipe\\cx log", LogFileOpening::Refused},
    };
    for (const auto& [path, opening] : cases) {
        SCOPED_TRACE(::testing::PrintToString(path));
        const LogFile opened = OpenLogFile(path);
        EXPECT_EQ(opened.opening, opening);
        EXPECT_EQ(static_cast<bool>(opened.file), opening == LogFileOpening::Opened);
    }
    EXPECT_EQ(cxtest::ReadLines(target), std::vector<std::wstring>{L"kept"});
    EXPECT_FALSE(cxtest::FileExists(elsewhere.Path(L"new.log"))) << "made through the link and left there";
}

}  // namespace
}  // namespace cx
