#include "platform/text/path_text.h"

namespace cx {

std::wstring ExtractPathDir(std::wstring_view fileName) {
    const std::size_t pos = fileName.find_last_of(L"\\:");
    return pos == std::wstring_view::npos ? std::wstring() : std::wstring(fileName.substr(0, pos + 1));
}

std::wstring ExtractPathName(std::wstring_view fileName) {
    const std::size_t pos = fileName.find_last_of(L"\\:");
    return std::wstring(pos == std::wstring_view::npos ? fileName : fileName.substr(pos + 1));
}

std::wstring ReplacePathExt(std::wstring_view fileName, std::wstring_view extension) {
    const std::size_t pos = fileName.find_last_of(L".\\:");
    const bool hasExtension = pos != std::wstring_view::npos && fileName[pos] == L'.';
    std::wstring result(hasExtension ? fileName.substr(0, pos) : fileName);
    result += extension;
    return result;
}

std::wstring CommandProgramName(std::wstring_view commandLine) {
    const std::size_t start = commandLine.find_first_not_of(L' ');
    if (start == std::wstring_view::npos) return std::wstring();
    std::wstring_view text = commandLine.substr(start);
    if (text.front() == L'"') {
        text.remove_prefix(1);
        return ExtractPathName(text.substr(0, text.find(L'"')));
    }
    for (std::size_t at = 0; at + 4 <= text.size(); ++at) {
        const std::wstring_view ext = text.substr(at, 4);
        const bool isExe =
            ext[0] == L'.' && (ext[1] | 0x20) == L'e' && (ext[2] | 0x20) == L'x' && (ext[3] | 0x20) == L'e';
        if (isExe && (at + 4 == text.size() || text[at + 4] == L' '))
            return ExtractPathName(text.substr(0, at + 4));
    }
    return ExtractPathName(text.substr(0, text.find(L' ')));
}

}  // namespace cx
