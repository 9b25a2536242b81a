#include "platform/registry/registry_accessor.h"

#include "platform/errors.h"
#include "platform/run/run_log.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

[[noreturn]] void RaiseSetDataFailed(const std::wstring& name) {
    throw ERegistryException(FormatResString(IDS_SET_DATA_FAILED, {name}));
}

// `root` and `keyPath` name the key for the run's log.
void SetValue(HKEY root, const std::wstring& keyPath, HKEY key, const std::wstring& name, DWORD type,
              const void* data, DWORD size) {
    const LONG status = ::RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    LogRegistryValue(root, keyPath, name, type, data, size, status);
    if (status != ERROR_SUCCESS) RaiseSetDataFailed(name);
}

std::vector<std::wstring> SubKeyNames(HKEY key) {
    std::vector<std::wstring> names;
    DWORD count = 0;
    DWORD longest = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return names;
    }
    names.reserve(count);
    std::wstring buffer(static_cast<std::size_t>(longest) + 1, L'\0');
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = longest + 1;
        if (::RegEnumKeyExW(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            continue;
        }
        names.emplace_back(buffer.data(), length);
    }
    return names;
}

// Deletes `subKey` of `base` and everything below it, the last sub-key first. `root` and `fullPath`
// name the key for the run's log.
bool DeleteTree(HKEY base, const std::wstring& subKey, REGSAM access, HKEY root,
                const std::wstring& fullPath) {
    {
        UniqueKey key;
        if (::RegOpenKeyExW(base, subKey.c_str(), 0, access, key.put()) == ERROR_SUCCESS) {
            const std::vector<std::wstring> children = SubKeyNames(key.get());
            for (auto child = children.rbegin(); child != children.rend(); ++child) {
                // An empty name would name the key itself.
                if (!child->empty()) DeleteTree(key.get(), *child, access, root, fullPath + L"\\" + *child);
            }
        }
    }
    const LONG status =
        ::RegDeleteKeyExW(base, subKey.c_str(), access & (KEY_WOW64_64KEY | KEY_WOW64_32KEY), 0);
    LogRegistryKeyDeleted(root, fullPath, status);
    return status == ERROR_SUCCESS;
}

}  // namespace

HKEY RegistryAccessor::BaseFor(const std::wstring& path, std::wstring& subKey) const {
    if (!path.empty() && path[0] == L'\\') {
        subKey = path.substr(1);
        return root_;
    }
    subKey = path;
    return current_ ? current_.get() : root_;
}

std::wstring RegistryAccessor::FullPath(const std::wstring& path) const {
    if (!path.empty() && path[0] == L'\\') return path.substr(1);
    return current_ ? currentPath_ + L"\\" + path : path;
}

bool RegistryAccessor::OpenKey(const std::wstring& path, bool canCreate) {
    std::wstring subKey;
    const HKEY base = BaseFor(path, subKey);
    std::wstring fullPath = FullPath(path);
    UniqueKey opened;
    DWORD disposition = 0;
    const LONG status = canCreate
                            ? ::RegCreateKeyExW(base, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                access_, nullptr, opened.put(), &disposition)
                            : ::RegOpenKeyExW(base, subKey.c_str(), 0, access_, opened.put());
    if (status == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY) LogRegistryKeyCreated(root_, fullPath);
    // The old key goes only now: a relative path is opened from it.
    current_ = std::move(opened);
    currentPath_ = current_ ? std::move(fullPath) : std::wstring();
    return status == ERROR_SUCCESS && current_;
}

std::wstring RegistryAccessor::ReadString(const std::wstring& name) const {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExW(current_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        throw ERegistryException(FormatResString(IDS_INVALID_DATA_TYPE, {name}));
    }
    // Zero-filled and rounded up, so data without a terminator or of odd size still ends cleanly.
    std::wstring text((size + 1) / sizeof(wchar_t), L'\0');
    if (::RegQueryValueExW(current_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                           &size) != ERROR_SUCCESS) {
        return std::wstring();
    }
    const std::size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.resize(nul);
    return text;
}

void RegistryAccessor::WriteString(const std::wstring& name, const std::wstring& text) const {
    SetValue(root_, currentPath_, current_.get(), name, REG_SZ, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RegistryAccessor::WriteExpandString(const std::wstring& name, const std::wstring& text) const {
    SetValue(root_, currentPath_, current_.get(), name, REG_EXPAND_SZ, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void RegistryAccessor::WriteInteger(const std::wstring& name, std::int32_t value) const {
    SetValue(root_, currentPath_, current_.get(), name, REG_DWORD, &value, sizeof value);
}

std::vector<std::wstring> RegistryAccessor::GetKeyNames() const {
    return SubKeyNames(current_.get());
}

bool RegistryAccessor::DeleteKey(const std::wstring& path) {
    std::wstring subKey;
    const HKEY base = BaseFor(path, subKey);
    return DeleteTree(base, subKey, access_, root_, FullPath(path));
}

}  // namespace cx
