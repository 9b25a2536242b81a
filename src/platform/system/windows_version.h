// Which way of listing running processes suits a Windows version. The rule is portable so that it can
// be checked against every version; the running system's version is read on the Windows side.
#pragma once

#include <cstdint>

namespace cx {

struct WindowsVersion {
    bool isNt = true;  // the NT platform (VER_PLATFORM_WIN32_NT), not 95/98/ME
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

enum class VersionGroup {
    ProcessIds,   // NT 3.1 to 4.0: PSAPI process identifiers, named by their main module
    ModuleNames,  // 2000 to Vista/Server 2008: the snapshot, named by the main module where it can be read
    FileNames,    // 95/98/ME and 7 or later: the snapshot's executable file names
};

VersionGroup ClassifyWindowsVersion(const WindowsVersion& version);

// NT 4.0 reports its system process under identifier 2 without a module.
bool IsNt4(const WindowsVersion& version);

}  // namespace cx
