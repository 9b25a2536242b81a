// The driver over switch tables of the test's own: order, outcomes, and the error box.
#include "driver/run_command_line.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

#include "driver/message_boxes.h"
#include "platform/errors.h"
#include "support/message_box_driver.h"

namespace cx {
namespace {

std::vector<std::wstring> calls;

std::int32_t Record(const std::wstring& name, std::int32_t result) {
    calls.push_back(name);
    return result;
}

constexpr SwitchEntry kTable[] = {
    // A Boolean handler returns 1 for true, which ends the run with 0.
    {L"aa", SwitchOutcome::EndWithFlag, [](const std::wstring&) { return Record(L"aa", 1); }},
    {L"bb", SwitchOutcome::GoOn, [](const std::wstring&) { return Record(L"bb", 0); }},
    {L"cc", SwitchOutcome::GoOn, [](const std::wstring&) { return Record(L"cc", 0); }, false, true},
    {L"dd", SwitchOutcome::EndWithCode, [](const std::wstring&) { return Record(L"dd", 7); }, false, false,
     [](const std::wstring&) { return Record(L"dd for all users", 8); }},
    {L"ee", SwitchOutcome::EndWithFlag, [](const std::wstring&) { return Record(L"ee", 0); }},
    {L"vv", SwitchOutcome::EndWithFlag, [](const std::wstring& v) { return Record(L"vv=" + v, 0); }, true},
    {L"xx", SwitchOutcome::EndWithCode,
     [](const std::wstring&) -> std::int32_t { throw Exception(L"Unable to open key \"\\X\" for write"); }},
    {L"ab", SwitchOutcome::EndWithCode, [](const std::wstring&) -> std::int32_t { throw EAbort(); }},
    {L"zz", SwitchOutcome::EndWithCode, [](const std::wstring&) { return Record(L"zz", 3); }},
};

struct Outcome {
    std::int32_t code;
    std::vector<cxtest::BoxInfo> boxes;
};

// Runs the driver on a worker thread and answers its boxes from this one, so that boxes of this
// process can be read completely (icons included).
Outcome RunDriver(const Parameters& params, int answer = IDOK) {
    calls.clear();
    const CommandSet commands{kTable, InteractiveActions{}};
    auto result = std::async(std::launch::async, [&] { return RunCommandLine(params, commands); });
    Outcome outcome{};
    while (result.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        if (auto box = cxtest::FindBox(::GetCurrentProcessId())) {
            ::Sleep(50);
            box = cxtest::FindBox(::GetCurrentProcessId());
            if (!box) continue;
            outcome.boxes.push_back(*box);
            cxtest::PressButton(*box, answer);
            while (::IsWindow(box->hwnd)) ::Sleep(10);
        }
    }
    outcome.code = result.get();
    return outcome;
}

TEST(Driver, TestsSwitchesInTableOrderNotCommandLineOrder) {
    EXPECT_EQ(RunDriver({L"/dd", L"/aa"}).code, 0);
    EXPECT_EQ(calls, std::vector<std::wstring>{L"aa"});
    EXPECT_EQ(RunDriver({L"/ee", L"-BB", L"/dd"}).code, 7);
    EXPECT_EQ(calls, (std::vector<std::wstring>{L"bb", L"dd"}));
}

TEST(Driver, FlagsBecomeZeroOrOneAndGoOnEntriesDoNotEndTheRun) {
    EXPECT_EQ(RunDriver({L"/ee"}).code, 1);
    EXPECT_EQ(RunDriver({L"/bb"}).code, -2);
    EXPECT_EQ(calls, std::vector<std::wstring>{L"bb"});
}

TEST(Driver, AnElseEntryActsOnlyWithoutThePreviousOne) {
    RunDriver({L"/cc", L"/bb"});
    EXPECT_EQ(calls, std::vector<std::wstring>{L"bb"});
    RunDriver({L"/cc"});
    EXPECT_EQ(calls, std::vector<std::wstring>{L"cc"});
}

TEST(Driver, AllUsersRunsTheAllUsersHandlerWhereThereIsOneAndIsNoActionOfItsOwn) {
    EXPECT_EQ(RunDriver({L"/dd", L"-AM"}).code, 8);
    EXPECT_EQ(calls, std::vector<std::wstring>{L"dd for all users"});
    EXPECT_EQ(RunDriver({L"/am", L"/ee"}).code, 1);
    EXPECT_EQ(calls, std::vector<std::wstring>{L"ee"});
    EXPECT_EQ(RunDriver({L"/am"}).code, -2);
    EXPECT_TRUE(calls.empty());
}

TEST(Driver, AValueSwitchNeedsANonEmptyValueAndKeepsItUnchanged) {
    EXPECT_EQ(RunDriver({L"/VVde_DE.UTF-8"}).code, 1);
    EXPECT_EQ(calls, std::vector<std::wstring>{L"vv=de_DE.UTF-8"});
    EXPECT_EQ(RunDriver({L"/vv=de"}).code, 1);
    EXPECT_EQ(calls, std::vector<std::wstring>{L"vv==de"});
    // The first match stops the search even when its value is empty.
    EXPECT_EQ(RunDriver({L"/vv", L"/vvzh"}).code, -2);
    EXPECT_TRUE(calls.empty());
}

TEST(Driver, AnErrorShowsOneErrorBoxAndGivesMinusTwo) {
    const Outcome outcome = RunDriver({L"/zz", L"/xx"});
    EXPECT_EQ(outcome.code, -2);
    ASSERT_EQ(outcome.boxes.size(), 1u);
    const cxtest::BoxInfo& box = outcome.boxes[0];
    EXPECT_EQ(box.caption, L"Corvane2");
    EXPECT_EQ(box.text, L"Unable to open key \"\\X\" for write");
    EXPECT_EQ(box.ButtonIds(), std::vector<int>{IDOK});
    EXPECT_STREQ(cxtest::ToString(box.icon), "error");
    // The remaining switches are not tested.
    EXPECT_TRUE(calls.empty());
}

TEST(Driver, ASilentAbortShowsNothing) {
    const Outcome outcome = RunDriver({L"/ab"});
    EXPECT_EQ(outcome.code, -2);
    EXPECT_TRUE(outcome.boxes.empty());
}

TEST(ResultMessages, TextAndIconPerCode) {
    struct Case {
        std::int32_t code;
        bool installing;
        const wchar_t* text;
        const char* icon;
    };
    const Case cases[] = {
        {0, true, L"MS Word Addin has been successfully installed", "information"},
        {1, true, L"MS Word Addin installation failed, please check that your MS Word version is Office2000 or higher",
         "warning"},
        {2, true, L"MS Word Addin installation succeed, you need to restart MS Word to activate addin", "information"},
        {0, false, L"MS Word Addin has been removed", "information"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        auto shown = std::async(std::launch::async, [&] { ShowWordAddinResult(c.code, c.installing); });
        const auto box = cxtest::WaitForBox(::GetCurrentProcessId(), 10000);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->caption, L"Corvane2");
        EXPECT_EQ(box->text, c.text);
        EXPECT_STREQ(cxtest::ToString(box->icon), c.icon);
        EXPECT_EQ(box->ButtonIds(), std::vector<int>{IDOK});
        cxtest::PressButton(*box, IDOK);
        shown.get();
    }
    // Codes without a message show nothing.
    for (auto [code, installing] : {std::pair{1, false}, std::pair{2, false}, std::pair{-2, true}}) {
        auto shown = std::async(std::launch::async, [&] { ShowWordAddinResult(code, installing); });
        EXPECT_EQ(shown.wait_for(std::chrono::seconds(5)), std::future_status::ready);
        EXPECT_FALSE(cxtest::FindBox(::GetCurrentProcessId()));
    }
}

}  // namespace
}  // namespace cx
