// A registry accessor with one current key, for callers that walk keys rather than single values.
// Errors it raises are ERegistryException; failures to open are results, not errors.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/handles.h"

namespace cx {

class RegistryAccessor {
public:
    // Every key is opened (or created) with `access`; a view flag in it (KEY_WOW64_64KEY or
    // KEY_WOW64_32KEY) applies to deletions too.
    RegistryAccessor(HKEY root, REGSAM access) : root_(root), access_(access) {}

    // Makes `path` the current key, closing the previous one. A path that begins with a backslash is
    // taken from the root (the backslash skipped); any other from the current key when one is open,
    // else from the root. With `canCreate` missing keys, parents included, are created. False when the
    // key cannot be opened or created; the previous key is then still closed.
    bool OpenKey(const std::wstring& path, bool canCreate);
    void CloseKey() { current_.reset(); }

    // A value of the current key; the empty name is the default value. A missing value reads as the
    // empty string; REG_SZ and REG_EXPAND_SZ are cut at their first NUL and not expanded. Any other
    // type raises "Invalid data type for '%s'" with the name.
    std::wstring ReadString(const std::wstring& name) const;
    // REG_SZ with its terminating NUL. Raises "Failed to set data for '%s'" with the name.
    void WriteString(const std::wstring& name, const std::wstring& text) const;
    // REG_EXPAND_SZ with its terminating NUL. Raises as WriteString.
    void WriteExpandString(const std::wstring& name, const std::wstring& text) const;
    // REG_DWORD. Raises as WriteString.
    void WriteInteger(const std::wstring& name, std::int32_t value) const;

    // Names of the current key's direct sub-keys, in the registry's enumeration order; a name that
    // cannot be fetched is left out.
    std::vector<std::wstring> GetKeyNames() const;

    // Deletes `path` (taken as by OpenKey) with everything below it: the last sub-key first, depth
    // first; a sub-key that cannot be enumerated is skipped. True when the key itself was deleted.
    // The current key stays as it was.
    bool DeleteKey(const std::wstring& path);

private:
    // The key a path starts from and the path as the system wants it.
    HKEY BaseFor(const std::wstring& path, std::wstring& subKey) const;
    // The path from the root of the key `path` names, for the run's log.
    std::wstring FullPath(const std::wstring& path) const;

    HKEY root_;
    REGSAM access_;
    UniqueKey current_;
    std::wstring currentPath_;
};

}  // namespace cx
