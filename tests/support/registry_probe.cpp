#include "support/registry_probe.h"

#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>

namespace cxtest {
namespace {

struct Key {
    HKEY hkey = nullptr;
    ~Key() {
        if (hkey) ::RegCloseKey(hkey);
    }
};

std::wstring Hex(const std::vector<BYTE>& data) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring out;
    for (BYTE b : data) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

void Export(HKEY root, const std::wstring& path, std::vector<std::wstring>& lines) {
    Key key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key.hkey) != ERROR_SUCCESS) return;
    lines.push_back(L"[" + path + L"]");
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = 0;
        if (::RegEnumValueW(key.hkey, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size);
        nameLength = 16384;
        ::RegEnumValueW(key.hkey, i, name, &nameLength, nullptr, &type, data.data(), &size);
        data.resize(size);
        lines.push_back(L"[" + path + L"] \"" + name + L"\" type " + std::to_wstring(type) + L" " + Hex(data));
    }
    for (const std::wstring& child : SubKeys(root, path))
        Export(root, path.empty() ? child : path + L"\\" + child, lines);
}

}  // namespace

std::wstring RegValue::Text() const {
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    const std::size_t nul = text.find(L'\0');
    if (nul != std::wstring::npos) text.resize(nul);
    return text;
}

std::uint32_t RegValue::Dword() const {
    std::uint32_t value = 0;
    std::copy_n(data.begin(), std::min<std::size_t>(4, data.size()), reinterpret_cast<BYTE*>(&value));
    return value;
}

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view) {
    Key key;
    return ::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key.hkey) == ERROR_SUCCESS;
}

std::optional<RegValue> ReadValue(HKEY root, const std::wstring& path, const std::wstring& name,
                                  REGSAM view) {
    Key key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key.hkey) != ERROR_SUCCESS)
        return std::nullopt;
    RegValue value;
    DWORD size = 0;
    if (::RegQueryValueExW(key.hkey, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    if (::RegQueryValueExW(key.hkey, name.c_str(), nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const std::wstring& name,
                                       REGSAM view) {
    const auto value = ReadValue(root, path, name, view);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
    return value->Text();
}

std::optional<std::uint32_t> ReadDword(HKEY root, const std::wstring& path, const std::wstring& name) {
    const auto value = ReadValue(root, path, name);
    if (!value || value->type != REG_DWORD) return std::nullopt;
    return value->Dword();
}

std::vector<std::wstring> SubKeys(HKEY root, const std::wstring& path, REGSAM view) {
    std::vector<std::wstring> names;
    Key key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key.hkey) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key.hkey, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

void CreateKey(HKEY root, const std::wstring& path) {
    Key key;
    ::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key.hkey, nullptr);
}

void WriteRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
              DWORD size, REGSAM view) {
    Key key;
    if (::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key.hkey,
                          nullptr) == ERROR_SUCCESS) {
        ::RegSetValueExW(key.hkey, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    }
}

void WriteString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text,
                 DWORD type, REGSAM view) {
    WriteRaw(root, path, name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)),
             view);
}

void WriteDword(HKEY root, const std::wstring& path, const std::wstring& name, std::uint32_t value) {
    WriteRaw(root, path, name, REG_DWORD, &value, sizeof value);
}

void DeleteTree(HKEY root, const std::wstring& path, REGSAM view) {
    for (const std::wstring& child : SubKeys(root, path, view)) DeleteTree(root, path + L"\\" + child, view);
    ::RegDeleteKeyExW(root, path.c_str(), view, 0);
}

void SetKeyDacl(HKEY root, const std::wstring& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    Key key;
    EXPECT_EQ(::RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC, &key.hkey), ERROR_SUCCESS);
    EXPECT_EQ(::RegSetKeySecurity(key.hkey, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    ::LocalFree(descriptor);
}

std::vector<std::wstring> ExportTree(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> lines;
    Export(root, path, lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

namespace {

bool CopyTree(HKEY fromRoot, const std::wstring& from, HKEY toRoot, const std::wstring& to) {
    Key source;
    if (::RegOpenKeyExW(fromRoot, from.c_str(), 0, KEY_READ, &source.hkey) != ERROR_SUCCESS) return false;
    Key target;
    ::RegCreateKeyExW(toRoot, to.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &target.hkey, nullptr);
    return target.hkey && ::RegCopyTreeW(source.hkey, nullptr, target.hkey) == ERROR_SUCCESS;
}

}  // namespace

SavedTree::SavedTree(HKEY root, std::wstring path)
    : root_(root), path_(std::move(path)), backup_(L"Software\\CXTests\\Saved\\" + path_) {
    DeleteTree(HKEY_CURRENT_USER, backup_);
    saved_ = CopyTree(root_, path_, HKEY_CURRENT_USER, backup_);
    DeleteTree(root_, path_);
}

SavedTree::~SavedTree() {
    DeleteTree(root_, path_);
    if (saved_) CopyTree(HKEY_CURRENT_USER, backup_, root_, path_);
    DeleteTree(HKEY_CURRENT_USER, backup_);
}

UserClassesFirst::UserClassesFirst() {
    Key user;
    EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_READ, nullptr,
                                &user.hkey, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegOverridePredefKey(HKEY_CLASSES_ROOT, user.hkey), ERROR_SUCCESS);
}

UserClassesFirst::~UserClassesFirst() {
    ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
}

}  // namespace cxtest
