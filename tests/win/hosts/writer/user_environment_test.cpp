// The PATH edit against another program that writes between its steps, and against another copy of
// the tool that holds the user's lock.
#include "hosts/writer/user_environment.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "hosts/writer/path_list.h"
#include "platform/system/app_paths.h"
#include "platform/system/user_mutex.h"

namespace cx {
namespace {

// The PATH as the edit sees it: after each of the edit's first `overwrites` writes, another program
// stores `other` in its place.
struct RacedEnvironment : UserEnvironmentStore {
    RacedEnvironment(std::wstring path, std::wstring other, int overwrites)
        : value(std::move(path)), other(std::move(other)), overwrites(overwrites) {}
    RegStringRead Read(const std::wstring&) override {
        ++reads;
        return {RegStringRead::Outcome::Text, value, REG_SZ};
    }
    void Write(const std::wstring&, const std::wstring& text, DWORD) override {
        writes.push_back(text);
        value = static_cast<int>(writes.size()) <= overwrites ? other : text;
    }

    std::wstring value, other;
    int overwrites;
    std::atomic<int> reads{0};
    std::vector<std::wstring> writes;
};

TEST(UserPathEdit, WhatAnotherProgramWroteMeanwhileGetsTheChangeAgain) {
    const std::wstring entry = PathEntryFor(GetAppDir());
    const struct {
        bool add;
        std::wstring before, other;
        int overwrites;
        std::vector<std::wstring> writes;
        bool done;
    } cases[] = {
        {true, L"C:\\A", L"C:\\A;C:\\B", 1, {L"C:\\A;" + entry, L"C:\\A;C:\\B;" + entry}, true},
        {false, L"C:\\A;" + entry, L"C:\\A;" + entry + L";C:\\B", 1, {L"C:\\A", L"C:\\A;C:\\B"}, true},
        // Overwritten every time: the edit gives up after a few rounds.
        {true, L"C:\\B", L"C:\\B", 100, std::vector<std::wstring>(5, L"C:\\B;" + entry), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.before));
        RacedEnvironment store(c.before, c.other, c.overwrites);
        EXPECT_EQ(c.add ? AddAppDirToUserPath(store) : RemoveAppDirFromUserPath(store), c.done);
        EXPECT_EQ(store.writes, c.writes);
    }
}

TEST(UserPathEdit, WaitsWhileAnotherCopyHoldsTheLock) {
    RacedEnvironment store(L"C:\\A", L"", 0);
    std::thread edit;
    {
        const UserMutexLock otherCopy(kUserPathLockName, 0);
        ASSERT_TRUE(otherCopy.Held());
        edit = std::thread([&] { EXPECT_TRUE(AddAppDirToUserPath(store)); });
        ::Sleep(100);
        EXPECT_EQ(store.reads, 0);
    }
    edit.join();
    EXPECT_EQ(store.writes, std::vector<std::wstring>{L"C:\\A;" + PathEntryFor(GetAppDir())});
}

}  // namespace
}  // namespace cx
