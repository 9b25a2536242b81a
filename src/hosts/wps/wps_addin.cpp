#include "hosts/wps/wps_addin.h"

#include <windows.h>

#include <string_view>
#include <variant>

#include "platform/errors.h"
#include "platform/registry/registered_version.h"
#include "platform/registry/registry_ex.h"
#include "platform/run/run_log.h"

namespace cx {
namespace {

const HKEY kAddinRoot = HKEY_LOCAL_MACHINE;
constexpr wchar_t kAddinKey[] = L"\\SOFTWARE\\Kingsoft\\Office\\WPS\\Addins\\CVWPSAddin2.TCVWPSAddin2";

struct AddinValue {
    std::wstring_view name;
    std::variant<std::uint32_t, std::wstring_view> data;
};

// Written in this order after the key's empty default value.
constexpr AddinValue kAddinValues[] = {
    {L"CommandLineSafe", std::uint32_t{1}},
    {L"LoadBehavior", std::uint32_t{3}},
    {L"FriendlyName", std::wstring_view(L"TCVWPSAddin2")},
};

void WriteAddinValue(const AddinValue& value) {
    const std::wstring name(value.name);
    if (const auto* number = std::get_if<std::uint32_t>(&value.data)) {
        WriteRegDWord(kAddinRoot, kAddinKey, name, *number);
    } else {
        WriteRegString(kAddinRoot, kAddinKey, name, std::wstring(std::get<std::wstring_view>(value.data)));
    }
}

}  // namespace

std::int32_t GetWpsVersion() {
    return GetRegisteredVersion(L"WPS.Application");
}

bool ProbeWpsVersion() {
    return IsRegisteredVersionAtLeast(L"WPS.Application", kMinWpsVersion);
}

bool InstallWpsAddin() {
    try {
        // Creates the key and its parents; the value writes below tell whether it worked.
        WriteRegKeyDefault(kAddinRoot, kAddinKey, std::wstring());
        for (const AddinValue& value : kAddinValues) WriteAddinValue(value);
        return true;
    } catch (const Exception& error) {
        // Whatever went wrong, the caller learns it only from the result.
        LogStep(L"the WPS add-in key could not be written: " + error.Message());
        return false;
    } catch (...) {
        LogStep(L"the WPS add-in key could not be written");
        return false;
    }
}

bool UninstallWpsAddin() {
    if (DeleteRegKeyTree(kAddinRoot, kAddinKey)) return true;
    LogStep(RegKeyExists(kAddinRoot, kAddinKey) ? L"the WPS add-in key could not be deleted"
                                                : L"the WPS add-in key is not there");
    return false;
}

}  // namespace cx
