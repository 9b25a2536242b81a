// libFuzzer target: PATH list editing. The input is a PATH and a directory, separated by the first
// zero byte, as little-endian UTF-16 units. Beyond "no crash": adding then removing gives the list
// back unchanged; adding to a list that holds the entry does nothing; a removal takes exactly one
// entry equal to the directory and at most one separator, and leaves every other character in place.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "hosts/writer/path_list.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::wstring_view WithoutBackslash(std::wstring_view text) {
    if (!text.empty() && text.back() == L'\\') text.remove_suffix(1);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring input;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        input.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    const std::size_t split = input.find(L'\0');
    const std::wstring list = input.substr(0, split);
    const std::wstring dir = split == std::wstring::npos ? std::wstring(L"C:\\App") : input.substr(split + 1);
    const auto equals = &cx::EqualIgnoringAsciiCase;

    const auto found = cx::FindPathEntry(list, dir, equals);
    if (found) {
        Check(found->begin + found->length <= list.size());
        const std::wstring_view entry(list.data() + found->begin, found->length);
        Check(entry.find(L';') == std::wstring_view::npos);
        Check(equals(WithoutBackslash(entry), WithoutBackslash(dir)));
        Check(!cx::WithPathEntry(list, dir, equals).has_value());

        const auto removed = cx::WithoutPathEntry(list, dir, equals);
        Check(removed.has_value());
        const std::size_t cut = list.size() - removed->size();
        Check(cut == found->length || cut == found->length + 1);
        // Everything before the entry (bar one separator) and after it (bar one separator) is intact.
        const std::size_t before =
            found->begin > 0 && cut > found->length && list[found->begin + found->length] != L';'
                ? found->begin - 1
                : found->begin;
        Check(removed->compare(0, before, list, 0, before) == 0);
        Check(removed->compare(before, std::wstring::npos, list, before + cut, std::wstring::npos) == 0);
    } else {
        Check(!cx::WithoutPathEntry(list, dir, equals).has_value());
        const auto added = cx::WithPathEntry(list, dir, equals);
        if (WithoutBackslash(dir).empty()) {
            Check(!added.has_value());
        } else {
            Check(added.has_value() && *added == list + L";" + dir);
            // A directory holding a separator can never be one entry; any other is removed again.
            if (dir.find(L';') == std::wstring::npos)
                Check(cx::WithoutPathEntry(*added, dir, equals) == list);
        }
    }
    return 0;
}
