// The part the stand-in servers' tests share: the server registered before each test, every instance
// the test started stopped through the stop file afterwards, then unregistered, with COM set up on the
// test's thread.
#pragma once

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "selftest/harness.h"

namespace selftest {

class ServerTest : public ::testing::Test {
protected:
    // `exeName` is the stand-in's file name (e.g. WordStandin.exe), copied into the folder `leaf`.
    ServerTest(const wchar_t* leaf, const wchar_t* exeName) : folder_(leaf), exeName_(exeName) {}

    void SetUp() override {
        folder_.Add(exeName_);
        ASSERT_EQ(RunToEnd(Exe() + L" /regserver"), 0);
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    }
    void TearDown() override {
        ::CoUninitialize();
        StopServers();
        EXPECT_EQ(RunToEnd(Exe() + L" /unregserver"), 0);
    }

    std::wstring Exe() const { return L"\"" + folder_.Path(exeName_) + L"\""; }
    std::wstring JournalName() const { return exeName_ + L".journal"; }
    void SetScenario(const std::wstring& text) const { folder_.Write(exeName_ + L".scenario", text); }
    std::vector<std::wstring> Journal() const { return folder_.Lines(JournalName()); }

    // An instance a user started, published once this returns.
    void StartRunning() {
        servers_.push_back(Process::Start(Exe() + L" /running"));
        ASSERT_TRUE(WaitForLine(folder_, JournalName(), L"ready", 10000));
    }
    // Stops every server of this test through the stop file, then clears the journal for the next one.
    void StopServers() {
        folder_.Write(exeName_ + L".stop", L"");
        for (const auto& server : servers_) EXPECT_TRUE(server.WaitExit(5000));
        servers_.clear();
        ::DeleteFileW(folder_.Path(exeName_ + L".stop").c_str());
        ::DeleteFileW(folder_.Path(JournalName()).c_str());
    }

    Folder folder_;
    std::wstring exeName_;
    std::vector<Process> servers_;
};

}  // namespace selftest
