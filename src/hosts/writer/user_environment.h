// The application directory's entry on the current user's PATH (HKEY_CURRENT_USER\Environment), as
// new programs get it.
#pragma once

#include <windows.h>

#include <string>

#include "platform/registry/registry_ex.h"
#include "platform/system/user_mutex.h"

namespace cx {

// The name of the user's lock (see UserMutexLock) under which every copy of the tool edits the PATH.
inline constexpr wchar_t kUserPathLockName[] = L"Corvane2.UserPath";

// Whose PATH a store holds: how the run's log names it, and the lock that copies of the tool take
// for their edits of it.
struct EnvironmentScope {
    const wchar_t* pathName;  // "user PATH"
    const wchar_t* thePath;   // "the user's PATH"
    const wchar_t* lockName;
    LockScope lockScope;
};
inline constexpr EnvironmentScope kUserEnvironmentScope{L"user PATH", L"the user's PATH", kUserPathLockName,
                                                        LockScope::User};

// Where a PATH edit reads and writes the user's variables. The tool's own is UserEnvironmentRegistry();
// a test passes another to play a program that writes between the edit's steps.
class UserEnvironmentStore {
public:
    virtual ~UserEnvironmentStore() = default;
    // As QueryRegString. Never raises.
    virtual RegStringRead Read(const std::wstring& name) = 0;
    // Stores `text` as `type` (REG_SZ or REG_EXPAND_SZ) or, for an empty text, deletes the value. Raises
    // ERegistryExError as WriteRegString and DeleteRegValue do.
    virtual void Write(const std::wstring& name, const std::wstring& text, DWORD type) = 0;
    virtual EnvironmentScope Scope() const { return kUserEnvironmentScope; }
};

// HKEY_CURRENT_USER\Environment; a write is mirrored in this process's own environment (expanded for
// REG_EXPAND_SZ), so that children started afterwards see it.
UserEnvironmentStore& UserEnvironmentRegistry();

// What a store's Write does to the registry: `text` under `root`\`key` as `type` (a REG_EXPAND_SZ value
// stays one, or its %references% would stop expanding for every new program), or the value deleted for
// an empty text. Raises as WriteRegString and DeleteRegValue do.
void WriteEnvironmentValue(HKEY root, const wchar_t* key, const std::wstring& name, const std::wstring& text,
                           DWORD type);

// Adds the application directory to the user's PATH unless an entry names it already (whole entries,
// letter case and a trailing backslash ignored). The value keeps its type (REG_EXPAND_SZ stays so; a
// new value is REG_SZ) and the change is announced to the running programs; nothing is written or
// announced when the entry is there already.
//
// Copies of the tool edit the PATH one at a time (the store's lock), and what was written is read
// back: when another program wrote meanwhile, the change is made again to what is there now, a
// bounded number of times. A lock that cannot be held within a few seconds or cannot be trusted (see
// UserMutexLock) leaves the edit to the read-back alone, with "PATH lock not held" and why in the log.
//
// False, with the PATH left as it is and the reason in the run's log, when the entry could not be put
// in place: the PATH exists but cannot be read as text (another type, a key that denies reading, a
// value that never stops changing), the directory's name holds ";" and so cannot be one entry, or
// other programs kept overwriting the change. A missing PATH reads as empty. Raises ERegistryExError
// when the value cannot be written or deleted: the write error for "Environment", or the value error
// for "Environment" and "PATH".
bool AddAppDirToUserPath(UserEnvironmentStore& store);

// Removes the first PATH entry naming the application directory, with one neighbouring separator;
// an emptied PATH is deleted. Writes and announces nothing when there is no such entry. Fails and
// raises as AddAppDirToUserPath.
bool RemoveAppDirFromUserPath(UserEnvironmentStore& store);

}  // namespace cx
