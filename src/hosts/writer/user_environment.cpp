#include "hosts/writer/user_environment.h"

#include <windows.h>

#include "hosts/writer/path_list.h"
#include "platform/res_string.h"
#include "platform/app_paths.h"
#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/registry_ex.h"

namespace cx {
namespace {

// Read with the leading backslash, written without it: error messages show "Environment".
constexpr wchar_t kReadKey[] = L"\\Environment";
constexpr wchar_t kWriteKey[] = L"Environment";
constexpr wchar_t kPathName[] = L"PATH";
// Per window, as the documentation's own example of the environment broadcast waits; a hung window
// is skipped at once (SMTO_ABORTIFHUNG).
constexpr UINT kBroadcastTimeoutMs = 5000;

// The value's current type when it is a string type, else REG_SZ (also for a missing value).
DWORD StoredStringType(const std::wstring& name) {
    UniqueKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, RegSubKeyName(kReadKey).c_str(), 0, KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS) {
        return REG_SZ;
    }
    DWORD type = REG_NONE;
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return REG_SZ;
    return type == REG_EXPAND_SZ ? REG_EXPAND_SZ : REG_SZ;
}

// The value keeps its type: a REG_EXPAND_SZ PATH written back as REG_SZ would stop expanding its
// %references% for every new program.
void WriteRegStringTyped(HKEY root, const std::wstring& path, const std::wstring& name,
                         const std::wstring& text, DWORD type) {
    if (type == REG_EXPAND_SZ) {
        WriteRegExpandString(root, path, name, text);
    } else {
        WriteRegString(root, path, name, text);
    }
}

// The text with its %references% expanded as a new process would get it; unchanged when that fails.
std::wstring Expanded(const std::wstring& text) {
    const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0) return text;
    std::wstring out(needed, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(text.c_str(), out.data(), needed);
    if (written == 0 || written > needed) return text;
    out.resize(written - 1);
    return out;
}

// Tells the running programs (Explorer first of all) to reread the environment, so that programs
// they start afterwards get the new value. Only a sent message reaches them: Windows refuses to post
// WM_SETTINGCHANGE with a string. The outcome is not examined.
void BroadcastEnvironmentChange() {
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

std::wstring AppDirEntry() {
    return PathEntryFor(GetAppDir());
}

}  // namespace

std::wstring ReadUserEnvVar(const std::wstring& name) {
    return ReadRegString(HKEY_CURRENT_USER, kReadKey, name, std::wstring());
}

void WriteUserEnvVar(const std::wstring& name, const std::wstring& text) {
    if (name.empty()) return;
    if (!text.empty()) {
        const DWORD type = StoredStringType(name);
        WriteRegStringTyped(HKEY_CURRENT_USER, kWriteKey, name, text, type);
        ::SetEnvironmentVariableW(name.c_str(), (type == REG_EXPAND_SZ ? Expanded(text) : text).c_str());
    } else {
        DeleteRegValue(HKEY_CURRENT_USER, kWriteKey, name);
        ::SetEnvironmentVariableW(name.c_str(), nullptr);
    }
    BroadcastEnvironmentChange();
}

void AddAppDirToUserPath() {
    const auto updated = WithPathEntry(ReadUserEnvVar(kPathName), AppDirEntry(), &EqualAsFileNames);
    if (updated) WriteUserEnvVar(kPathName, *updated);
}

void RemoveAppDirFromUserPath() {
    const auto updated = WithoutPathEntry(ReadUserEnvVar(kPathName), AppDirEntry(), &EqualAsFileNames);
    if (updated) WriteUserEnvVar(kPathName, *updated);
}

}  // namespace cx
