#include "platform/registry/registry_view.h"

#include "platform/handles.h"
#include "platform/registry/registry_ex.h"

namespace cx {

std::wstring ReadRegStringInView(HKEY root, const std::wstring& path, const std::wstring& name,
                                 const std::wstring& fallback, REGSAM view) {
    UniqueKey key;
    if (::RegOpenKeyExW(root, RegSubKeyName(path).c_str(), 0, KEY_READ | view, key.put()) != ERROR_SUCCESS)
        return fallback;
    // The view belongs to the open key: the value is read from it as from any other.
    return ReadRegString(key.get(), std::wstring(), name, fallback);
}

bool RegKeyExistsInView(HKEY root, const std::wstring& path, REGSAM view) {
    UniqueKey key;
    const LONG status =
        ::RegOpenKeyExW(root, RegSubKeyName(path).c_str(), 0, KEY_QUERY_VALUE | view, key.put());
    return status != ERROR_FILE_NOT_FOUND && status != ERROR_PATH_NOT_FOUND;
}

}  // namespace cx
