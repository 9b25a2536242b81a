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

}  // namespace cx
