#include "platform/system/windows_version.h"

#include <gtest/gtest.h>

namespace cx {
namespace {

constexpr bool kNt = true;
constexpr bool k9x = false;

TEST(WindowsVersion, EachVersionGetsItsWayOfListingProcesses) {
    struct Case {
        WindowsVersion version;
        VersionGroup group;
    };
    const Case cases[] = {
        {{kNt, 3, 1}, VersionGroup::ProcessIds},  {{kNt, 3, 5}, VersionGroup::ProcessIds},
        {{kNt, 3, 51}, VersionGroup::ProcessIds}, {{kNt, 4, 0}, VersionGroup::ProcessIds},
        {{kNt, 3, 0}, VersionGroup::FileNames},   {{kNt, 3, 10}, VersionGroup::FileNames},
        {{kNt, 5, 0}, VersionGroup::ModuleNames}, {{kNt, 5, 1}, VersionGroup::ModuleNames},
        {{kNt, 5, 2}, VersionGroup::ModuleNames}, {{kNt, 6, 0}, VersionGroup::ModuleNames},
        {{kNt, 5, 3}, VersionGroup::FileNames},   {{kNt, 6, 1}, VersionGroup::FileNames},
        {{kNt, 6, 2}, VersionGroup::FileNames},   {{kNt, 10, 0}, VersionGroup::FileNames},
        {{k9x, 4, 0}, VersionGroup::FileNames},   {{k9x, 4, 10}, VersionGroup::FileNames},
        {{k9x, 4, 90}, VersionGroup::FileNames},  {{k9x, 5, 0}, VersionGroup::FileNames},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << (c.version.isNt ? "NT " : "9x ") << c.version.major << "." << c.version.minor);
        EXPECT_EQ(ClassifyWindowsVersion(c.version), c.group);
    }
}

TEST(WindowsVersion, OnlyNt4HasTheSystemProcessAtIdentifier2) {
    EXPECT_TRUE(IsNt4({kNt, 4, 0}));
    EXPECT_FALSE(IsNt4({k9x, 4, 0}));
    EXPECT_FALSE(IsNt4({kNt, 3, 51}));
    EXPECT_FALSE(IsNt4({kNt, 5, 0}));
}

}  // namespace
}  // namespace cx
