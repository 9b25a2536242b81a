#include "hosts/browser/active_setup_text.h"

#include <algorithm>
#include <array>

namespace cx {
namespace {

constexpr std::size_t kVersionParts = 4;
constexpr std::uint32_t kLargestPart = 65535;
// cmd.exe refuses longer command lines; the expansion of %SystemRoot% may lengthen ours a little.
constexpr std::size_t kLongestCommand = 8191 - 200;

constexpr wchar_t kCmd[] = L"\"%SystemRoot%\\System32\\cmd.exe\"";
constexpr wchar_t kReg[] = L"\"%SystemRoot%\\System32\\reg.exe\"";
// /d: no AutoRun command of the user's; /v:off: "!" stays a character even where the user switched
// delayed expansion on; /s: exactly the outer pair of quotes around the chained commands is removed.
constexpr wchar_t kCmdOptions[] = L" /d /v:off /s /c ";
constexpr wchar_t kUserMenuExt[] = L"HKCU\\Software\\Microsoft\\Internet Explorer\\MenuExt\\";

using Version = std::array<std::uint32_t, kVersionParts>;

std::optional<Version> ParseVersion(std::wstring_view text) {
    Version parts{};
    std::size_t index = 0;
    bool digits = false;
    for (const wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            parts[index] = parts[index] * 10 + static_cast<std::uint32_t>(c - L'0');
            if (parts[index] > kLargestPart) return std::nullopt;
            digits = true;
        } else if ((c == L',' || c == L'.') && digits && index + 1 < kVersionParts) {
            ++index;
            digits = false;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    return parts;
}

// A text reg.exe receives unchanged as one argument, or nullopt. Inside the quotes cmd.exe takes
// "&", "|", "<", ">", "^" and blanks literally; what cannot be carried is refused rather than changed.
std::optional<std::wstring> Quoted(std::wstring_view text) {
    if (text.empty()) return std::nullopt;
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'%' || c < L' ') return std::nullopt;
    }
    std::wstring quoted = L"\"" + std::wstring(text);
    // reg.exe reads backslashes before a quote as escapes: doubled, they stay backslashes.
    const std::size_t lastOther = quoted.find_last_not_of(L'\\');
    quoted.append(quoted.size() - 1 - lastOther, L'\\');
    return quoted + L"\"";
}

std::optional<std::wstring> EntryKey(const std::wstring& caption) {
    if (caption.empty()) return std::nullopt;  // it would name the MenuExt key itself
    return Quoted(kUserMenuExt + caption);
}

}  // namespace

std::optional<std::wstring> NextActiveSetupVersion(std::wstring_view current) {
    std::optional<Version> parsed = ParseVersion(current);
    if (!parsed) return std::wstring(L"1,0,0,0");
    Version& parts = *parsed;
    std::size_t index = kVersionParts;
    while (index > 0 && parts[index - 1] == kLargestPart) parts[--index] = 0;
    if (index == 0) return std::nullopt;
    ++parts[index - 1];
    return std::to_wstring(parts[0]) + L"," + std::to_wstring(parts[1]) + L"," + std::to_wstring(parts[2]) +
           L"," + std::to_wstring(parts[3]);
}

std::optional<std::wstring> MenuStubPath(std::span<const std::wstring> remove,
                                         std::span<const MenuEntryText> add) {
    std::vector<std::wstring> steps;
    for (const std::wstring& caption : remove) {
        const auto key = EntryKey(caption);
        if (!key) return std::nullopt;
        steps.push_back(std::wstring(kReg) + L" delete " + *key + L" /f");
    }
    for (const MenuEntryText& entry : add) {
        const auto key = EntryKey(entry.caption);
        const auto page = Quoted(entry.pagePath);
        if (!key || !page) return std::nullopt;
        steps.push_back(std::wstring(kReg) + L" add " + *key + L" /ve /d " + *page + L" /f");
        steps.push_back(std::wstring(kReg) + L" add " + *key + L" /v Contexts /t REG_DWORD /d " +
                        std::to_wstring(kMenuContexts) + L" /f");
    }
    std::wstring chained;
    for (const std::wstring& step : steps) chained += (chained.empty() ? L"" : L" & ") + step;
    std::wstring command = std::wstring(kCmd) + kCmdOptions + L"\"" + chained + L"\"";
    if (command.size() > kLongestCommand) return std::nullopt;
    return command;
}

std::vector<std::wstring> MenuStubCaptions(std::wstring_view stubPath) {
    const std::wstring_view prefix = kUserMenuExt;
    std::vector<std::wstring> captions;
    for (std::size_t at = stubPath.find(L"\"" + std::wstring(prefix)); at != std::wstring_view::npos;
         at = stubPath.find(L"\"" + std::wstring(prefix), at)) {
        const std::size_t end = stubPath.find(L'"', at + 1);
        if (end == std::wstring_view::npos) break;
        // The key as quoted, its doubled trailing backslashes (which may reach into the prefix) undone.
        std::wstring key(stubPath.substr(at + 1, end - at - 1));
        std::size_t run = 0;
        while (run < key.size() && key[key.size() - 1 - run] == L'\\') ++run;
        key.resize(key.size() - run / 2);
        std::wstring caption = key.size() > prefix.size() ? key.substr(prefix.size()) : std::wstring();
        if (!caption.empty() && std::find(captions.begin(), captions.end(), caption) == captions.end())
            captions.push_back(std::move(caption));
        at = end;
    }
    return captions;
}

}  // namespace cx
