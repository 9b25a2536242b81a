#include "hosts/writer/package_tool.h"

#include <windows.h>

#include <vector>

#include "hosts/writer/package_tool_path.h"
#include "platform/process/own_process.h"
#include "platform/registry/registry_view.h"
#include "platform/system/file_system.h"

namespace cx {
namespace {

// The suite's own class, registered with the path of its soffice.exe.
constexpr wchar_t kSuiteServerKey[] = L"\\CLSID\\{82154420-0FBF-11d4-8313-005004526AB4}\\LocalServer32";
constexpr wchar_t kMachineSuiteServerKey[] =
    L"Software\\Classes\\CLSID\\{82154420-0FBF-11d4-8313-005004526AB4}\\LocalServer32";

}  // namespace

std::optional<std::wstring> FindPackageTool(SuiteLookup lookup) {
    // HKEY_CLASSES_ROOT lays the user's own classes over the machine's, and any program of the user
    // writes those without elevation: an elevated tool would run whatever they name with administrator
    // rights. COM ignores per-user classes for elevated callers; so does the tool.
    const HKEY root = lookup.elevated ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT;
    const std::wstring path = lookup.elevated ? kMachineSuiteServerKey : kSuiteServerKey;
    // The process's own view first, so that a 32-bit suite is found as on 32-bit Windows.
    std::vector<REGSAM> views{0};
    if (lookup.wow64) views.push_back(KEY_WOW64_64KEY);
    for (const REGSAM view : views) {
        const auto candidate = PackageToolCandidate(ReadRegStringInView(root, path, L"", L"", view));
        if (candidate && IsExistingFile(*candidate)) return candidate;
    }
    return std::nullopt;
}

std::optional<std::wstring> FindPackageTool() {
    return FindPackageTool({IsElevated(), RunsUnderWow64()});
}

}  // namespace cx
