#include "hosts/writer/user_environment.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "hosts/writer/path_list.h"
#include "platform/run/run_deadline.h"
#include "platform/run/run_log.h"
#include "platform/system/app_paths.h"
#include "platform/system/expand_environment.h"
#include "platform/system/user_mutex.h"
#include "platform/text/format.h"

namespace cx {
namespace {

// Read with the leading backslash, written without it: error messages show "Environment".
constexpr wchar_t kReadKey[] = L"\\Environment";
constexpr wchar_t kWriteKey[] = L"Environment";
constexpr wchar_t kPathName[] = L"PATH";
// Far longer than an edit takes (a few registry calls; the broadcast happens after the lock), and short
// enough that a program squatting the lock costs a run little: the read-back keeps the edit right
// without the lock.
constexpr DWORD kPathLockTimeoutMs = 3000;
// How often a change that another program wrote over is made again before the edit gives up.
constexpr int kPathWriteAttempts = 5;
// Per window, as the documentation's own example of the environment broadcast waits; a hung window
// is skipped at once (SMTO_ABORTIFHUNG).
constexpr UINT kBroadcastTimeoutMs = 5000;

using Outcome = RegStringRead::Outcome;
using PathEdit = std::optional<std::wstring> (*)(std::wstring_view list, std::wstring_view entry,
                                                 PathEntryEquals equals);

// Tells the running programs (Explorer first of all) to reread the environment, so that programs
// they start afterwards get the new value. Only a sent message reaches them: Windows refuses to post
// WM_SETTINGCHANGE with a string. The outcome is not examined.
void BroadcastEnvironmentChange() {
    const ScopedWait wait(L"the running programs to answer the environment change (WM_SETTINGCHANGE)", L"");
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Environment"),
                          SMTO_ABORTIFHUNG, kBroadcastTimeoutMs, &result);
}

// Entries are compared as the file system compares names: every letter folded, independent of the
// user's locale (a locale-aware lower-casing would treat I and i differently in Turkish, for one).
bool EqualAsFileNames(std::wstring_view a, std::wstring_view b) {
    return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

// The user's value also goes into this process's environment, so that the programs it starts next (the
// package tool) inherit it.
class RegistryEnvironment : public UserEnvironmentStore {
public:
    RegStringRead Read(const std::wstring& name) override {
        return QueryRegString(HKEY_CURRENT_USER, kReadKey, name);
    }
    void Write(const std::wstring& name, const std::wstring& text, DWORD type) override {
        WriteEnvironmentValue(HKEY_CURRENT_USER, kWriteKey, name, text, type);
        if (text.empty()) {
            ::SetEnvironmentVariableW(name.c_str(), nullptr);
        } else {
            ::SetEnvironmentVariableW(name.c_str(),
                                      (type == REG_EXPAND_SZ ? ExpandEnvironment(text) : text).c_str());
        }
    }
};

// Whether the value read is exactly what was stored (no value, for an emptied PATH).
bool Holds(const RegStringRead& value, const std::wstring& stored) {
    if (stored.empty()) return value.outcome == Outcome::Missing;
    return value.outcome == Outcome::Text && value.text == stored;
}

// A copy of the tool that hangs while it holds the lock keeps this one waiting up to the bound; a
// deadline passing meanwhile says so.
UserMutexLock TakePathLock(const EnvironmentScope& scope) {
    const ScopedWait wait(L"another copy of the tool to release " + std::wstring(scope.thePath) + L": ",
                          scope.lockName);
    return UserMutexLock(scope.lockName, kPathLockTimeoutMs, scope.lockScope);
}

// Every way the edit can fail gets its reason in the run's log.
bool EntryNotChanged(const EnvironmentScope& scope, std::wstring_view why) {
    LogStep(std::wstring(scope.pathName) + L" entry not changed: " + std::wstring(why));
    return false;
}

// Applies `edit` for the application directory's entry to the PATH until what was stored stays;
// `stored` tells whether anything was written. See AddAppDirToUserPath for the result.
bool EditUserPath(UserEnvironmentStore& store, PathEdit edit, bool& stored) {
    const EnvironmentScope scope = store.Scope();
    const std::wstring entry = PathEntryFor(GetAppDir());
    if (!CanBeOnePathEntry(entry))
        return EntryNotChanged(scope, FormatText(L"the folder \"%s\" cannot be one PATH entry", {entry}));
    const UserMutexLock lock = TakePathLock(scope);
    if (!lock.Held()) LogStep(L"PATH lock not held: " + lock.WhyNotHeld());
    std::optional<std::wstring> written;
    for (int attempt = 0;; ++attempt) {
        const RegStringRead path = store.Read(kPathName);
        // A value that is there but could not be read is never replaced.
        if (path.outcome == Outcome::Unreadable) return EntryNotChanged(scope, L"it cannot be read as text");
        if (written && Holds(path, *written)) return true;
        const std::optional<std::wstring> updated = edit(path.text, entry, &EqualAsFileNames);
        if (!updated) return true;
        if (attempt == kPathWriteAttempts)
            return EntryNotChanged(scope,
                                   FormatText(L"other programs wrote over each of %d changes", {attempt}));
        store.Write(kPathName, *updated, path.outcome == Outcome::Text ? path.type : REG_SZ);
        written = *updated;
        stored = true;
    }
}

bool ChangeUserPath(UserEnvironmentStore& store, PathEdit edit) {
    bool stored = false;
    const bool done = EditUserPath(store, edit, stored);
    if (stored) BroadcastEnvironmentChange();
    return done;
}

}  // namespace

UserEnvironmentStore& UserEnvironmentRegistry() {
    static RegistryEnvironment registry;
    return registry;
}

void WriteEnvironmentValue(HKEY root, const wchar_t* key, const std::wstring& name, const std::wstring& text,
                           DWORD type) {
    if (text.empty()) {
        DeleteRegValue(root, key, name);
    } else if (type == REG_EXPAND_SZ) {
        WriteRegExpandString(root, key, name, text);
    } else {
        WriteRegString(root, key, name, text);
    }
}

bool AddAppDirToUserPath(UserEnvironmentStore& store) {
    return ChangeUserPath(store, &WithPathEntry);
}

bool RemoveAppDirFromUserPath(UserEnvironmentStore& store) {
    return ChangeUserPath(store, &WithoutPathEntry);
}

}  // namespace cx
