#include "hosts/writer/path_list.h"

#include <algorithm>

namespace cx {
namespace {

constexpr wchar_t kSeparator = L';';

std::wstring_view WithoutTrailingBackslash(std::wstring_view text) {
    if (!text.empty() && text.back() == L'\\') text.remove_suffix(1);
    return text;
}

wchar_t AsciiLower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

}  // namespace

bool EqualIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

std::wstring PathEntryFor(std::wstring_view directory) {
    const std::wstring_view bare = WithoutTrailingBackslash(directory);
    const bool driveRoot = bare.size() == 2 && bare[1] == L':' && bare.size() < directory.size();
    return std::wstring(driveRoot ? directory : bare);
}

bool CanBeOnePathEntry(std::wstring_view entry) {
    return !WithoutTrailingBackslash(entry).empty() && entry.find(kSeparator) == std::wstring_view::npos;
}

std::optional<PathEntrySpan> FindPathEntry(std::wstring_view list, std::wstring_view entry,
                                           PathEntryEquals equals) {
    const std::wstring_view wanted = WithoutTrailingBackslash(entry);
    if (wanted.empty()) return std::nullopt;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = std::min(list.find(kSeparator, begin), list.size());
        const std::wstring_view candidate = WithoutTrailingBackslash(list.substr(begin, end - begin));
        if (!candidate.empty() && equals(candidate, wanted)) return PathEntrySpan{begin, end - begin};
        if (end == list.size()) return std::nullopt;
        begin = end + 1;
    }
}

std::optional<std::wstring> WithPathEntry(std::wstring_view list, std::wstring_view entry,
                                          PathEntryEquals equals) {
    if (WithoutTrailingBackslash(entry).empty() || FindPathEntry(list, entry, equals)) return std::nullopt;
    std::wstring result;
    result.reserve(list.size() + 1 + entry.size());
    result.append(list);
    result.push_back(kSeparator);
    result.append(entry);
    return result;
}

std::optional<std::wstring> WithoutPathEntry(std::wstring_view list, std::wstring_view entry,
                                             PathEntryEquals equals) {
    const auto found = FindPathEntry(list, entry, equals);
    if (!found) return std::nullopt;
    std::wstring result(list);
    const std::size_t at = found->begin;
    result.erase(at, found->length);
    if (at < result.size() && result[at] == kSeparator) {
        result.erase(at, 1);
    } else if (at > 0 && result[at - 1] == kSeparator) {
        result.erase(at - 1, 1);
    }
    return result;
}

}  // namespace cx
