// Which parameters are the quiet switch with its time limit and the log switch with its path.
#include "driver/unattended.h"

#include <gtest/gtest.h>

#include <limits>

namespace cx {
namespace {

struct Case {
    Parameters params;
    bool quiet;
    std::uint32_t seconds;
    std::wstring log;
};

TEST(ParseUnattended, QuTakesOnlyDigitsAfterItAndLoTheRestAsAPath) {
    const std::uint32_t most = std::numeric_limits<std::uint32_t>::max();
    const Case cases[] = {
        {{}, false, kDefaultDeadlineSeconds, L""},
        {{L"/qu"}, true, kDefaultDeadlineSeconds, L""},
        {{L"-QU120", L"/wi"}, true, 120, L""},
        {{L"/qu0"}, true, 0, L""},
        {{L"/quiet", L"/qu5x", L"/qu-5", L"qu", L"/q u"}, false, kDefaultDeadlineSeconds, L""},
        {{L"/qux", L"/Qu7", L"/qu9"}, true, 7, L""},
        {{L"/qu99999999999999999999"}, true, most, L""},
        {{L"/loC:\\Logs\\cx add-in.log", L"/lo2.log"},
         false,
         kDefaultDeadlineSeconds,
         L"C:\\Logs\\cx add-in.log"},
        {{L"/lo", L"/loX.log"}, false, kDefaultDeadlineSeconds, L""},
        {{L"-LOg.txt", L"/qu3"}, true, 3, L"g.txt"},
    };
    for (const Case& c : cases) {
        const UnattendedOptions options = ParseUnattended(c.params);
        SCOPED_TRACE(::testing::PrintToString(c.params));
        EXPECT_EQ(options.quiet, c.quiet);
        EXPECT_EQ(options.deadlineSeconds, c.seconds);
        EXPECT_EQ(options.logPath, c.log);
    }
}

}  // namespace
}  // namespace cx
