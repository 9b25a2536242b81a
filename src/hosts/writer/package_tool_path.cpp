#include "hosts/writer/package_tool_path.h"

namespace cx {

std::optional<std::wstring> PackageToolCandidate(std::wstring_view serverCommand) {
    const std::size_t at = serverCommand.find(L"\\soffice.exe");
    if (at == std::wstring_view::npos || at == 0) return std::nullopt;
    std::wstring candidate(serverCommand.substr(0, at + 1));
    candidate += L"unopkg.com";
    return candidate;
}

}  // namespace cx
