#include "platform/registry/registered_version.h"

#include <windows.h>

#include <optional>

#include "platform/errors.h"
#include "platform/registry/registry_accessor.h"
#include "platform/run/run_log.h"
#include "platform/text/float_text.h"
#include "platform/text/format.h"
#include "platform/text/locale_number.h"
#include "platform/text/res_string.h"

namespace cx {

namespace {

// The CurVer key's default value in the first view that has it; nullopt when none has.
std::optional<std::wstring> ReadCurVer(const std::wstring& progId, const ClassesLookup& lookup) {
    const ClassesKey key = TrustedClassesKey(lookup, progId);
    for (const REGSAM view : ClassesViews(lookup)) {
        RegistryAccessor registry(key.root, KEY_READ | view);
        if (registry.OpenKey(key.path, false) && registry.OpenKey(L"CurVer", false))
            return registry.ReadString(std::wstring());
    }
    return std::nullopt;
}

}  // namespace

std::int32_t GetRegisteredVersion(const std::wstring& progId, const ClassesLookup& lookup) {
    const std::optional<std::wstring> read = ReadCurVer(progId, lookup);
    if (!read) return kNoVersion;
    const std::wstring& curVer = *read;
    const std::size_t prefixLength = progId.size() + 1;
    if (curVer.size() <= prefixLength) return kNoVersion;
    const std::wstring rest = curVer.substr(prefixLength);
    const double rounded = RoundHalfToEven(StrToFloat(rest));
    if (!(rounded >= INT32_MIN && rounded <= INT32_MAX)) {
        throw EConvertError(FormatResString(IDS_INVALID_FLOAT, {rest}));
    }
    return static_cast<std::int32_t>(rounded);
}

bool IsRegisteredVersionAtLeast(const std::wstring& progId, std::int32_t least, const ClassesLookup& lookup) {
    const std::int32_t version = GetRegisteredVersion(progId, lookup);
    if (version >= least) return true;
    LogStep(
        version == kNoVersion
            ? FormatText(L"no version of %s is registered (%s\\CurVer)", {progId, progId})
            : FormatText(L"%s version %d is registered; %d or later is needed", {progId, version, least}));
    return false;
}

}  // namespace cx
