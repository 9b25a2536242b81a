#include "word/addin_host.h"

#include <objbase.h>
#include <oleauto.h>

#include <optional>

#include "common/fault_rules.h"

namespace standin::word {
namespace {

constexpr wchar_t kAddinsKey[] = L"Software\\Microsoft\\Office\\Word\\Addins";
constexpr DWORD kLoadAtStartup = 3;
constexpr DWORD kNotLoaded = 2;

std::wstring AddinKey(const std::wstring& progId) {
    return std::wstring(kAddinsKey) + L"\\" + progId;
}

void WriteLoadBehavior(const AddIn& addIn, DWORD value) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(addIn.root, AddinKey(addIn.progId).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(key, L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    ::RegCloseKey(key);
}

std::optional<DWORD> ReadLoadBehavior(HKEY root, const std::wstring& progId) {
    DWORD value = 0;
    DWORD size = sizeof value;
    const LSTATUS status = ::RegGetValueW(root, AddinKey(progId).c_str(), L"LoadBehavior", RRF_RT_REG_DWORD,
                                          nullptr, &value, &size);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return value;
}

std::vector<std::wstring> RegisteredProgIds(HKEY root) {
    std::vector<std::wstring> progIds;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, kAddinsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return progIds;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (::RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        progIds.emplace_back(name, length);
    }
    ::RegCloseKey(key);
    return progIds;
}

}  // namespace

HRESULT ConnectAddIn(WordModel& model, AddIn& addIn, IDispatch* addInInst, ExtConnectMode mode) {
    CLSID clsid{};
    IDTExtensibility2* object = nullptr;
    HRESULT hr = ::CLSIDFromProgID(addIn.progId.c_str(), &clsid);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kExtensibilityIid,
                                reinterpret_cast<void**>(&object));
    if (SUCCEEDED(hr)) {
        SAFEARRAY* custom = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
        hr = object->OnConnection(model.application, mode, addInInst, &custom);
        if (custom) ::SafeArrayDestroy(custom);
        if (FAILED(hr)) object->Release();
    }
    if (FAILED(hr)) {
        WriteLoadBehavior(addIn, kNotLoaded);
        return hr;
    }
    addIn.loaded = object;
    addIn.connected = true;
    return S_OK;
}

void DisconnectAddIn(AddIn& addIn, ExtDisconnectMode mode) {
    if (IDTExtensibility2* object = addIn.loaded) {
        SAFEARRAY* custom = ::SafeArrayCreateVector(VT_VARIANT, 0, 0);
        if (mode == kDisconnectHostShutdown) object->OnBeginShutdown(&custom);
        object->OnDisconnection(mode, &custom);
        if (custom) ::SafeArrayDestroy(custom);
        object->Release();
        addIn.loaded = nullptr;
    }
    addIn.connected = false;
}

void LoadStartupAddIns(WordModel& model) {
    if (model.started) return;
    model.started = true;
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (const std::wstring& progId : RegisteredProgIds(root)) {
            if (ReadLoadBehavior(root, progId) != kLoadAtStartup) continue;
            // "For each user, the value of the LoadBehavior value in the HKEY_CURRENT_USER hive overrides
            // the default LoadBehavior defined in the HKEY_LOCAL_MACHINE hive."
            if (root == HKEY_LOCAL_MACHINE && ReadLoadBehavior(HKEY_CURRENT_USER, progId)) continue;
            AddIn* listed = nullptr;
            for (AddIn& addIn : model.addIns) {
                if (SameName(addIn.progId, progId)) listed = &addIn;
            }
            if (!listed) {
                model.addIns.push_back(AddIn{progId, false, nullptr, root});
                listed = &model.addIns.back();
            }
            // Word hands its COMAddIn object to the add-in; the stand-in's add-in does not use it, and
            // making one here would count as a client's object.
            if (!listed->connected) ConnectAddIn(model, *listed, nullptr, kConnectStartup);
        }
    }
}

void UnloadAddIns(WordModel& model) {
    for (AddIn& addIn : model.addIns) {
        if (addIn.loaded) DisconnectAddIn(addIn, kDisconnectHostShutdown);
    }
}

}  // namespace standin::word
