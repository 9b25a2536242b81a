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

}  // namespace cx
