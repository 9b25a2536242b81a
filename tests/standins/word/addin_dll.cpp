// Stand-in for the Word add-in library "CVWordAddin2.dll", built as a 32-bit and as a 64-bit library
// (x64\CVWordAddin2.dll). Journal ("CVWordAddin2.dll.journal" beside the library) and settings files
// beside it:
//   load, unload, unload process-exit      the library was loaded, freed, still loaded at process end
//   DllRegisterServer, DllUnregisterServer  an entry point was called
//   OnConnection bits=<32|64> mode=<n>, OnDisconnection mode=<n>, OnBeginShutdown
//                                           its add-in object's IDTExtensibility2 calls from a host,
//                                           with the library's own bitness and the host's ext_ConnectMode
//                                           or ext_DisconnectMode
//   "CVWordAddin2.dll.hresult"   the entry points return this HRESULT (C notation; S_OK when absent) and,
//                                when it is a failure, touch nothing; "fault" makes them fault instead (an
//                                access violation), as a broken build would
//   "CVWordAddin2.dll.registry"  "none": the entry points succeed without touching the registry
// Registration writes, as an in-process COM add-in does, under HKEY_CLASSES_ROOT in the library's own
// registry view: the ProgID "CVWordAddin2.WordAddIn2" with its CLSID, and the class with ProgID and
// InprocServer32 (this file, apartment-threaded). Unregistration deletes the class and the ProgID key,
// which both builds share: unregistering one build takes the ProgID from the other as well.
#include <windows.h>

#include "common/class_registration.h"
#include "common/extensibility.h"
#include "common/journal.h"
#include "common/scenario.h"

namespace {

using namespace standin;

// {6D2E1F37-0B5C-4E86-A1D4-3C9B7E52F0A8}: the stand-in's own class.
constexpr CLSID kAddinClassId = {
    0x6D2E1F37, 0x0B5C, 0x4E86, {0xA1, 0xD4, 0x3C, 0x9B, 0x7E, 0x52, 0xF0, 0xA8}};
constexpr wchar_t kProgId[] = L"CVWordAddin2.WordAddIn2";

// Objects alive and server locks: the library may be unloaded when both are gone.
LONG gInUse = 0;

HRESULT ConfiguredResult() {
    const auto text = ReadSetting(L"hresult");
    if (text && text->rfind("fault", 0) == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    return text ? static_cast<HRESULT>(ParseNumber(*text).value_or(E_UNEXPECTED)) : S_OK;
}

bool LeavesRegistryAlone() {
    const auto text = ReadSetting(L"registry");
    return text && *text == "none";
}

std::wstring ClassKey() {
    return L"CLSID\\" + GuidText(kAddinClassId);
}

// The add-in object a host creates and connects: it only journals what the host tells it.
class Connect final : public IDTExtensibility2 {
public:
    Connect() { ::InterlockedIncrement(&gInUse); }
    ~Connect() { ::InterlockedDecrement(&gInUse); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != kExtensibilityIid) return E_NOINTERFACE;
        *out = static_cast<IDTExtensibility2*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // Hosts call through the vtable; late binding is not offered.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return count ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch*, ExtConnectMode mode, IDispatch*,
                                           SAFEARRAY**) override {
        Journal(L"OnConnection bits=" + std::to_wstring(sizeof(void*) * 8) + L" mode=" +
                std::to_wstring(mode));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(ExtDisconnectMode mode, SAFEARRAY**) override {
        Journal(L"OnDisconnection mode=" + std::to_wstring(mode));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override {
        Journal(L"OnBeginShutdown");
        return S_OK;
    }

private:
    LONG references_ = 1;
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    // One static instance for the library's life.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        Connect* object = new Connect();
        const HRESULT hr = object->QueryInterface(iid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ::InterlockedIncrement(&gInUse) : ::InterlockedDecrement(&gInUse);
        return S_OK;
    }
};

Factory gFactory;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) Journal(L"load");
    if (reason == DLL_PROCESS_DETACH) Journal(reserved ? L"unload process-exit" : L"unload");
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    Journal(L"DllRegisterServer");
    const HRESULT hr = ConfiguredResult();
    if (FAILED(hr) || LeavesRegistryAlone()) return hr;
    const std::wstring clsid = GuidText(kAddinClassId);
    const std::wstring description = L"Corvane2 Word add-in";
    return WriteClassesValues({
        {kProgId, L"", description},
        {std::wstring(kProgId) + L"\\CLSID", L"", clsid},
        {ClassKey(), L"", description},
        {ClassKey() + L"\\ProgID", L"", kProgId},
        {ClassKey() + L"\\InprocServer32", L"", OwnModulePath()},
        {ClassKey() + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
    });
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    Journal(L"DllUnregisterServer");
    const HRESULT hr = ConfiguredResult();
    if (FAILED(hr) || LeavesRegistryAlone()) return hr;
    return DeleteClassesKeys({ClassKey(), kProgId});
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != kAddinClassId) return CLASS_E_CLASSNOTAVAILABLE;
    return gFactory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return gInUse == 0 ? S_OK : S_FALSE;
}
