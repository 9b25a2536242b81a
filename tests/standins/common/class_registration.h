// Registration of the stand-in servers, described as data: the HKEY_CLASSES_ROOT values a server
// writes, and the key trees it removes again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace standin {

struct ClassesValue {
    std::wstring key;   // below HKEY_CLASSES_ROOT
    std::wstring name;  // empty: the key's default value
    std::wstring data;  // stored as REG_SZ
};

// Writes every value, creating keys as needed; returns the first failure as an HRESULT.
HRESULT WriteClassesValues(const std::vector<ClassesValue>& values);
// Deletes each key with everything below it; keys that do not exist are skipped.
HRESULT DeleteClassesKeys(const std::vector<std::wstring>& keys);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, as the registry holds CLSIDs.
std::wstring GuidText(const GUID& guid);

}  // namespace standin
