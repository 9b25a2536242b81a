#include "platform/system/windows_version.h"

namespace cx {

VersionGroup ClassifyWindowsVersion(const WindowsVersion& version) {
    if (!version.isNt) return VersionGroup::FileNames;
    const std::uint32_t major = version.major;
    const std::uint32_t minor = version.minor;
    if ((major == 3 && (minor == 1 || minor == 5 || minor == 51)) || major == 4)
        return VersionGroup::ProcessIds;
    if ((major == 5 && minor <= 2) || (major == 6 && minor == 0)) return VersionGroup::ModuleNames;
    return VersionGroup::FileNames;
}

bool IsNt4(const WindowsVersion& version) {
    return version.isNt && version.major == 4;
}

}  // namespace cx
