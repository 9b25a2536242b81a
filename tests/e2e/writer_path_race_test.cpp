// The user's PATH while others write it too: another program rewriting it in a loop, other copies of
// the tool installing at the same moment, a program squatting the copies' lock. None loses what
// another wrote.
#include <windows.h>
#include <sddl.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "e2e/writer_suite.h"

namespace {

using ::testing::Contains;
using ::testing::EndsWith;
using writertest::TextOf;
using writertest::WriterScene;

constexpr int kRounds = 20;

// Whether `entry` is one of the entries of `path`.
bool HasEntry(const std::wstring& path, const std::wstring& entry) {
    return (L";" + path + L";").find(L";" + entry + L";") != std::wstring::npos;
}

// While "oi" runs, another program writes the PATH again and again, alternately short and long, so
// that it also grows between the tool's size query and its read. It stops at the first value it did not
// write itself, so that the value the tool wrote is the one that stays.
TEST(WriterPathRace, AProgramRewritingThePathMeanwhileKeepsItsText) {
    WriterScene scene;
    const std::wstring other = L"C:\\Other\\bin";
    const std::wstring longer = other + L";D:\\" + std::wstring(4000, L'x');
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        WriterScene::SetUserPath(other);
        std::atomic<bool> done{false};
        std::thread writer([&] {
            HKEY key = nullptr;
            ::RegOpenKeyExW(HKEY_CURRENT_USER, writertest::kEnvironmentKey, 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
            std::vector<wchar_t> seen(65536);
            for (int i = 0; !done; ++i) {
                DWORD size = static_cast<DWORD>(seen.size() * sizeof(wchar_t));
                std::fill(seen.begin(), seen.end(), L'\0');
                if (::RegQueryValueExW(key, L"PATH", nullptr, nullptr, reinterpret_cast<BYTE*>(seen.data()),
                                       &size) != ERROR_SUCCESS ||
                    (seen.data() != other && seen.data() != longer)) {
                    break;
                }
                const std::wstring& text = i % 2 ? longer : other;
                ::RegSetValueExW(key, L"PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
            }
            ::RegCloseKey(key);
        });
        const auto run = scene.Run(L"/oi");
        done = true;
        writer.join();
        EXPECT_EQ(run.exitCode, 1) << "no package tool";
        EXPECT_TRUE(HasEntry(TextOf(WriterScene::UserPath()), other));
    }
}

// Four copies, created suspended and let go together, so that their edits overlap.
TEST(WriterPathRace, InstallsAtOnceKeepEveryEntry) {
    WriterScene scene;
    std::vector<std::unique_ptr<cxtest::InstallFolder>> copies;
    for (const wchar_t* leaf : {L"copy 1", L"copy 2", L"copy 3", L"copy 4"})
        copies.push_back(std::make_unique<cxtest::InstallFolder>(leaf));
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE(round);
        WriterScene::SetUserPath(L"C:\\A");
        std::vector<PROCESS_INFORMATION> runs;
        for (const auto& copy : copies) {
            std::wstring line = L"\"" + copy->Tool() + L"\" /oi";
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION info{};
            ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                                         nullptr, nullptr, &startup, &info));
            runs.push_back(info);
        }
        std::vector<HANDLE> processes;
        for (const PROCESS_INFORMATION& run : runs) {
            ::ResumeThread(run.hThread);
            ::CloseHandle(run.hThread);
            processes.push_back(run.hProcess);
        }
        EXPECT_EQ(
            ::WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), TRUE, 60000),
            WAIT_OBJECT_0);
        for (HANDLE process : processes) ::CloseHandle(process);
        const std::wstring path = TextOf(WriterScene::UserPath());
        for (const auto& copy : copies) {
            EXPECT_TRUE(HasEntry(path, copy->Dir().substr(0, copy->Dir().size() - 1)))
                << ::testing::PrintToString(path);
        }
    }
}

// The text form of the SID of the user this test runs as.
std::wstring UserSid() {
    HANDLE token = nullptr;
    BYTE user[256];
    DWORD size = 0;
    wchar_t* text = nullptr;
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
    ::GetTokenInformation(token, TokenUser, user, sizeof user, &size);
    ::CloseHandle(token);
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &text)) return {};
    const std::wstring sid = text;
    ::LocalFree(text);
    return sid;
}

// Another program takes the copies' lock name first: a mutex it holds, owned by the user (as a program
// of the user's can make it), one owned by another user, one that denies access, an object of another
// kind. "oi" goes on without the lock, within the lock's bound, says why, and puts its entry in place.
TEST(WriterPathRace, ALockSquattedByAnotherProgramCostsTheEditAtMostItsBound) {
    WriterScene scene;
    const std::wstring sid = UserSid(), otherUser = L"S-1-5-21-1-2-3-1001";
    const std::wstring name = L"Global\\Corvane2.UserPath." + sid;
    const std::wstring log = scene.Folder().Path(L"install log.txt");
    const struct {
        std::wstring security;  // without "D:": an event, not a mutex
        std::wstring why;
    } squatters[] = {
        {L"O:" + sid + L"D:(A;;GA;;;WD)", L"another program has held it for 3000 ms"},
        {L"O:" + otherUser + L"D:(A;;GA;;;WD)",
         L"the mutex of that name belongs to " + otherUser + L", neither this user nor the administrators"},
        {L"O:" + sid + L"D:P(D;;GA;;;WD)", L"the mutex " + name + L" denies this program access"},
        {L"O:" + sid, L"an object of another kind has the name " + name},
    };
    for (const auto& [security, why] : squatters) {
        SCOPED_TRACE(::testing::PrintToString(security));
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(security.c_str(), SDDL_REVISION_1,
                                                                           &descriptor, nullptr));
        SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
        const HANDLE squat = security.find(L"D:") != std::wstring::npos
                                 ? ::CreateMutexW(&attributes, TRUE, name.c_str())
                                 : ::CreateEventW(&attributes, TRUE, FALSE, name.c_str());
        ::LocalFree(descriptor);
        ASSERT_TRUE(squat);
        WriterScene::SetUserPath(L"C:\\A");
        const ULONGLONG start = ::GetTickCount64();
        const auto run = scene.Run(L"/oi \"/lo" + log + L"\"");
        const ULONGLONG took = ::GetTickCount64() - start;
        ::CloseHandle(squat);
        EXPECT_EQ(run.exitCode, 1) << "no package tool";
        EXPECT_EQ(TextOf(WriterScene::UserPath()), L"C:\\A;" + scene.DirEntry());
        EXPECT_THAT(cxtest::ReadLines(log), Contains(EndsWith(L" PATH lock not held: " + why)));
        // The bound with room for a loaded machine, far below waiting the squatter out.
        EXPECT_LT(took, 8000u);
    }
}

}  // namespace
