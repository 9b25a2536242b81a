// The step description CXAddinRegMsi.dll reads from its CustomActionData.
#include "actions/tool_step.h"

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace {

using namespace cx::msi;

constexpr wchar_t kTool[] = L"tool=C:\\Program Files\\Corvane2\\CXAddinReg.exe";

TEST(ToolStep, AFullDescriptionGivesTheCommandLinesAndTheAcceptedCodes) {
    const ToolStep step = ParseToolStep(std::wstring(kTool) +
                                        L"|log=C:\\Program Files\\Corvane2\\Logs\\CXAddinReg.log|limit=120"
                                        L"|probe=/wv|run=/wi|accept=0,2");
    EXPECT_EQ(ToolCommandLine(step, step.probe),
              L"\"C:\\Program Files\\Corvane2\\CXAddinReg.exe\" /qu120 "
              L"\"/loC:\\Program Files\\Corvane2\\Logs\\CXAddinReg.log\" /wv");
    EXPECT_EQ(step.run, L"/wi");
    for (const auto& [code, accepted] :
         {std::pair{0, true}, std::pair{2, true}, std::pair{1, false}, std::pair{-2, false}}) {
        EXPECT_EQ(IsAccepted(step, code), accepted) << code;
    }
    EXPECT_EQ(AcceptedText(step), L"0,2");
}

TEST(ToolStep, OptionalFieldsDefaultAndAnyAcceptsEveryCode) {
    const ToolStep step = ParseToolStep(std::wstring(L"accept=any|run=/ni /pi|") + kTool);
    EXPECT_EQ(ToolCommandLine(step, step.run),
              L"\"C:\\Program Files\\Corvane2\\CXAddinReg.exe\" /qu300 /ni /pi");
    EXPECT_TRUE(step.probe.empty());
    for (const int code : {0, 1, 2, -2, 259}) EXPECT_TRUE(IsAccepted(step, code)) << code;
    EXPECT_EQ(AcceptedText(step), L"any");
    EXPECT_TRUE(IsAccepted(ParseToolStep(std::wstring(kTool) + L"|run=/ni|accept=-2|limit=86400"), -2));
}

TEST(ToolStep, AProbeThatGivesNeitherZeroNorOneFailsAnInstallStepAndLetsARemovalRun) {
    const ToolStep install = ParseToolStep(std::wstring(kTool) + L"|probe=/pv|run=/pi|accept=0");
    const ToolStep removal = ParseToolStep(std::wstring(kTool) + L"|probe=/pv|run=/pu|accept=any");
    const struct {
        std::optional<std::int32_t> code;
        AfterProbe install, removal;
    } cases[] = {{0, AfterProbe::kRun, AfterProbe::kRun},
                 {1, AfterProbe::kSkip, AfterProbe::kSkip},
                 {-2, AfterProbe::kFail, AfterProbe::kRun},
                 {2, AfterProbe::kFail, AfterProbe::kRun},
                 {std::nullopt, AfterProbe::kFail, AfterProbe::kRun}};
    for (const auto& [code, forInstall, forRemoval] : cases) {
        EXPECT_EQ(DecideAfterProbe(install, code), forInstall) << code.value_or(999);
        EXPECT_EQ(DecideAfterProbe(removal, code), forRemoval) << code.value_or(999);
    }
}

TEST(ToolStep, AMalformedDescriptionIsRefusedWithItsReason) {
    const std::wstring run = L"|run=/pi|accept=0";
    const struct {
        std::wstring data;
        const wchar_t* reason;
    } cases[] = {
        {L"", L"empty (is the action deferred?)"},
        {std::wstring(kTool) + run + L"|", L"unknown field \"\""},
        {std::wstring(kTool) + run + L"|Run=/pu", L"unknown field \"Run=/pu\""},
        {std::wstring(kTool) + run + L"|run=/pu", L"field \"run\" given twice"},
        {L"tool=CXAddinReg.exe" + run, L"\"tool\" must be the tool's full path"},
        {L"tool=C:CXAddinReg.exe" + run, L"\"tool\" must be the tool's full path"},
        {std::wstring(kTool) + L"|run=|accept=0", L"\"run\" must name the step's switches"},
        {std::wstring(kTool) + L"|run=/pi", L"\"accept\" is missing"},
        {std::wstring(kTool) + L"|run=/pi|accept=0,", L"\"accept\" takes exit codes"},
        {std::wstring(kTool) + L"|run=/pi|accept=4294967294", L"\"accept\" takes exit codes"},
        {std::wstring(kTool) + L"|run=/pi|accept=all", L"\"accept\" takes exit codes"},
        {std::wstring(kTool) + run + L"|probe=", L"\"probe\" is empty"},
        {std::wstring(kTool) + run + L"|limit=0", L"\"limit\" takes seconds from 1 to 86400"},
        {std::wstring(kTool) + run + L"|limit=86401", L"\"limit\" takes seconds from 1 to 86400"},
        {std::wstring(kTool) + run + L"|limit=12s", L"\"limit\" takes seconds from 1 to 86400"},
    };
    for (const auto& [data, reason] : cases) {
        try {
            ParseToolStep(data);
            ADD_FAILURE() << "accepted: " << testing::PrintToString(data);
        } catch (const cx::Exception& error) {
            EXPECT_EQ(error.Message().rfind(L"Malformed step description: " + std::wstring(reason), 0), 0u)
                << testing::PrintToString(error.Message());
        }
    }
}

}  // namespace
