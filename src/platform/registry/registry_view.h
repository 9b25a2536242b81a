// Reading from a chosen view of the registry. On 64-bit Windows a 32-bit program is shown its own,
// redirected view of keys such as HKEY_CLASSES_ROOT\CLSID and HKEY_LOCAL_MACHINE\Software; the flag
// KEY_WOW64_64KEY reaches the view that 64-bit programs see. On 32-bit Windows the flag is ignored.
#pragma once

#include <windows.h>

#include <string>

namespace cx {

// As ReadRegString, with `view` (0, KEY_WOW64_64KEY or KEY_WOW64_32KEY) added to the access asked
// when the key is opened. Never raises.
std::wstring ReadRegStringInView(HKEY root, const std::wstring& path, const std::wstring& name,
                                 const std::wstring& fallback, REGSAM view);

// As RegKeyExists, in `view`: false only when the key is missing. Never raises.
bool RegKeyExistsInView(HKEY root, const std::wstring& path, REGSAM view);

}  // namespace cx
