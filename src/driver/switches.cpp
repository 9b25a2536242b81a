#include "driver/switches.h"

#include <windows.h>

namespace cx {
namespace {

bool IsSwitchChar(wchar_t c) { return c == L'-' || c == L'/'; }

bool EqualIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                            static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace

bool IsSwitchPresent(const Parameters& params, std::wstring_view name) {
    for (const std::wstring& param : params) {
        if (!param.empty() && IsSwitchChar(param[0]) && EqualIgnoringCase(std::wstring_view(param).substr(1), name)) {
            return true;
        }
    }
    return false;
}

std::optional<std::wstring_view> SwitchRest(std::wstring_view param, std::wstring_view prefix) {
    if (param.empty() || !IsSwitchChar(param[0])) return std::nullopt;
    const std::wstring_view rest = param.substr(1);
    if (rest.size() < prefix.size() || !EqualIgnoringCase(rest.substr(0, prefix.size()), prefix))
        return std::nullopt;
    return rest.substr(prefix.size());
}

std::optional<std::wstring> GetSwitchValue(const Parameters& params, std::wstring_view prefix) {
    for (const std::wstring& param : params) {
        if (const auto rest = SwitchRest(param, prefix)) return std::wstring(*rest);
    }
    return std::nullopt;
}

}  // namespace cx
