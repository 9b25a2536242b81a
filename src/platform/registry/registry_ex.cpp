#include "platform/registry/registry_ex.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/run/run_log.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

[[noreturn]] void RaiseRegOpenReadError(const std::wstring& path) {
    throw ERegistryExError(FormatResString(IDS_REG_OPEN_READ, {path}));
}

[[noreturn]] void RaiseRegOpenWriteError(const std::wstring& path) {
    throw ERegistryExError(FormatResString(IDS_REG_OPEN_WRITE, {path}));
}

[[noreturn]] void RaiseRegValueError(const std::wstring& path, const std::wstring& name) {
    throw ERegistryExError(FormatResString(IDS_REG_VALUE, {path, name}));
}

// Reads of a value that keeps changing size before one of them gets it whole.
constexpr int kReadAttempts = 8;

bool IsMissing(LONG status) {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The outcome of a read that got no text, from the status of the call that failed.
RegStringRead NoText(LONG status) {
    return {IsMissing(status) ? RegStringRead::Outcome::Missing : RegStringRead::Outcome::Unreadable,
            {},
            REG_NONE};
}

UniqueKey OpenKey(HKEY root, const std::wstring& path, REGSAM access) {
    UniqueKey key;
    if (::RegOpenKeyExW(root, RegSubKeyName(path).c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        key.reset();
    return key;
}

UniqueKey OpenKeyForWrite(HKEY root, const std::wstring& path) {
    UniqueKey key = OpenKey(root, path, KEY_SET_VALUE);
    if (!key) RaiseRegOpenWriteError(path);
    return key;
}

void WriteValue(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
                DWORD size) {
    const UniqueKey key = OpenKeyForWrite(root, path);
    const LONG status =
        ::RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    LogRegistryValue(root, path, name, type, data, size, status);
    if (status != ERROR_SUCCESS) RaiseRegOpenWriteError(path);
}

// Name of sub-key `index`, or empty when it cannot be fetched (the key changed meanwhile).
std::wstring SubKeyName(HKEY key, DWORD index, DWORD longest) {
    std::wstring name(static_cast<std::size_t>(longest) + 1, L'\0');
    DWORD length = longest + 1;
    if (::RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
        return std::wstring();
    }
    name.resize(length);
    const std::size_t nul = name.find(L'\0');
    if (nul != std::wstring::npos) name.resize(nul);
    return name;
}

}  // namespace

std::wstring RegSubKeyName(std::wstring_view path) {
    if (!path.empty() && path[0] == L'\\') path.remove_prefix(1);
    return std::wstring(path);
}

void WriteRegKeyDefault(HKEY root, const std::wstring& path, const std::wstring& text) {
    // RegSetValueW creates the key with its parents; it measures the text itself.
    const LONG status = ::RegSetValueW(root, RegSubKeyName(path).c_str(), REG_SZ, text.c_str(),
                                       static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    LogRegistryValue(root, path, L"", REG_SZ, text.c_str(),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)), status);
}

std::wstring ReadRegString(HKEY root, const std::wstring& path, const std::wstring& name,
                           const std::wstring& fallback) {
    RegStringRead read = QueryRegString(root, path, name);
    return read.outcome == RegStringRead::Outcome::Text ? std::move(read.text) : fallback;
}

RegStringRead QueryRegString(HKEY root, const std::wstring& path, const std::wstring& name) {
    UniqueKey key;
    const LONG opened = ::RegOpenKeyExW(root, RegSubKeyName(path).c_str(), 0, KEY_READ, key.put());
    if (opened != ERROR_SUCCESS) return NoText(opened);
    // The buffer only grows: a value that another program switches between a short and a long text
    // fits at the latest once the long one has been seen.
    DWORD capacity = 0;
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        LONG status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS || !IsStringType(type)) return NoText(status);
        capacity = std::max(capacity, size);
        // Zero-filled with room for a terminator, so data without one or of odd size ends cleanly.
        std::wstring text(capacity / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(text.data()), &got);
        if (status == ERROR_MORE_DATA) {  // it grew meanwhile; `got` is what it needs now
            capacity = std::max(capacity, got);
            continue;
        }
        if (status != ERROR_SUCCESS || !IsStringType(type)) return NoText(status);
        text.resize(std::min<std::size_t>(text.size(), (got + 1) / sizeof(wchar_t)));
        const std::size_t nul = text.find(L'\0');
        if (nul != std::wstring::npos) text.resize(nul);
        return {RegStringRead::Outcome::Text, std::move(text), type};
    }
    return NoText(ERROR_MORE_DATA);  // it never stopped growing
}

std::uint32_t ReadRegDWord(HKEY root, const std::wstring& path, const std::wstring& name) {
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    LONG status = ERROR_SUCCESS;
    {
        const UniqueKey key = OpenKey(root, path, KEY_READ);
        if (!key) RaiseRegOpenReadError(path);
        status = ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                    &size);
    }
    if (status != ERROR_SUCCESS || type != REG_DWORD) RaiseRegValueError(path, name);
    return value;
}

bool ReadRegBool(HKEY root, const std::wstring& path, const std::wstring& name) {
    return ReadRegDWord(root, path, name) != 0;
}

void WriteRegString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text) {
    WriteValue(root, path, name, REG_SZ, text.c_str(),
               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteRegExpandString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text) {
    WriteValue(root, path, name, REG_EXPAND_SZ, text.c_str(),
               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteRegDWord(HKEY root, const std::wstring& path, const std::wstring& name, std::uint32_t value) {
    const DWORD data = value;
    WriteValue(root, path, name, REG_DWORD, &data, sizeof data);
}

void WriteRegBool(HKEY root, const std::wstring& path, const std::wstring& name, bool value) {
    WriteRegDWord(root, path, name, value ? 1 : 0);
}

bool DeleteRegValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    LONG status = ERROR_SUCCESS;
    {
        const UniqueKey key = OpenKeyForWrite(root, path);
        status = ::RegDeleteValueW(key.get(), name.c_str());
    }
    LogRegistryValueDeleted(root, path, name, status);
    if (status != ERROR_SUCCESS) RaiseRegValueError(path, name);
    return true;
}

bool RegKeyExists(HKEY root, const std::wstring& path) {
    UniqueKey key;
    return !IsMissing(::RegOpenKeyExW(root, RegSubKeyName(path).c_str(), 0, KEY_QUERY_VALUE, key.put()));
}

bool DeleteRegKeyTree(HKEY root, const std::wstring& path) {
    bool childrenGone = true;
    {
        const UniqueKey key = OpenKey(root, path, KEY_ALL_ACCESS);
        if (!key) return false;
        DWORD count = 0;
        DWORD longest = 0;
        if (::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            count = 0;  // the key's own deletion below then tells whether children remain
        }
        // Highest index first, so that deleting one does not move the ones still to come.
        for (DWORD i = count; i-- > 0;) {
            const std::wstring name = SubKeyName(key.get(), i, longest);
            // A name that cannot be fetched is skipped; an empty one would name the key itself.
            if (name.empty()) continue;
            if (!DeleteRegKeyTree(root, path + L"\\" + name)) {
                childrenGone = false;
                break;
            }
        }
    }
    if (!childrenGone) return false;
    const LONG status = ::RegDeleteKeyW(root, RegSubKeyName(path).c_str());
    LogRegistryKeyDeleted(root, path, status);
    return status == ERROR_SUCCESS;
}

}  // namespace cx
