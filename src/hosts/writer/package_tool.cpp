#include "hosts/writer/package_tool.h"

#include <windows.h>

#include "hosts/writer/package_tool_path.h"
#include "platform/process/own_process.h"
#include "platform/system/file_system.h"

namespace cx {
namespace {

// The suite's own class, registered with the path of its soffice.exe.
constexpr wchar_t kSuiteServerKey[] = L"CLSID\\{82154420-0FBF-11d4-8313-005004526AB4}\\LocalServer32";

}  // namespace

std::optional<std::wstring> FindPackageTool(SuiteLookup lookup) {
    for (const REGSAM view : ClassesViews(lookup)) {
        const auto candidate = PackageToolCandidate(ReadClassesDefault(lookup, kSuiteServerKey, view));
        if (candidate && IsExistingFile(*candidate)) return candidate;
    }
    return std::nullopt;
}

std::optional<std::wstring> FindPackageTool() {
    return FindPackageTool(OwnClassesLookup());
}

}  // namespace cx
