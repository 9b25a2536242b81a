// libFuzzer target: the Active Setup texts. The input is little-endian UTF-16 units split at zero
// units: a version text, then captions to delete, and, after an empty field, caption and page path
// pairs to add. Beyond "no crash": a raised version can be raised again to another; a command holds no
// percent sign but those of %SystemRoot%, stays within cmd.exe's limit and gives back exactly its
// captions, each once, in order.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "hosts/browser/active_setup_text.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::wstring> fields(1);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t c = static_cast<wchar_t>(data[i] | data[i + 1] << 8);
        if (c == L'\0') {
            fields.emplace_back();
        } else {
            fields.back().push_back(c);
        }
    }

    if (const auto next = cx::NextActiveSetupVersion(fields[0]))
        Check(cx::NextActiveSetupVersion(*next) != next);
    std::vector<std::wstring> remove;
    std::vector<cx::MenuEntryText> add;
    std::size_t i = 1;
    for (; i < fields.size() && !fields[i].empty(); ++i) remove.push_back(fields[i]);
    for (++i; i + 1 < fields.size(); i += 2) add.push_back({fields[i], fields[i + 1]});
    const auto stub = cx::MenuStubPath(remove, add);
    if (!stub) return 0;
    Check(stub->size() <= 8191);
    std::wstring rest = *stub;
    for (std::size_t at; (at = rest.find(L"%SystemRoot%")) != std::wstring::npos;) rest.erase(at, 12);
    Check(rest.find(L'%') == std::wstring::npos);
    std::vector<std::wstring> expected;
    for (const std::wstring& caption : remove) expected.push_back(caption);
    for (const cx::MenuEntryText& entry : add) expected.push_back(entry.caption);
    std::vector<std::wstring> once;
    for (const std::wstring& caption : expected) {
        if (std::find(once.begin(), once.end(), caption) == once.end()) once.push_back(caption);
    }
    Check(cx::MenuStubCaptions(*stub) == once);
    return 0;
}
