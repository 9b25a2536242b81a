#include "common/class_registration.h"

#include <objbase.h>

namespace standin {

HRESULT WriteClassesValues(const std::vector<ClassesValue>& values) {
    for (const auto& value : values) {
        HKEY key = nullptr;
        LSTATUS status = ::RegCreateKeyExW(HKEY_CLASSES_ROOT, value.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                           nullptr, &key, nullptr);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
        const auto bytes = static_cast<DWORD>((value.data.size() + 1) * sizeof(wchar_t));
        status = ::RegSetValueExW(key, value.name.empty() ? nullptr : value.name.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value.data.c_str()), bytes);
        ::RegCloseKey(key);
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    }
    return S_OK;
}

HRESULT DeleteClassesKeys(const std::vector<std::wstring>& keys) {
    for (const auto& key : keys) {
        const LSTATUS status = ::RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return HRESULT_FROM_WIN32(status);
    }
    return S_OK;
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

}  // namespace standin
