#include "word/type_library.h"

#include <oleauto.h>

#include "word/word_objects.h"

namespace standin::word {
namespace {

// {DDC69F06-9182-430D-97CE-0E3321EB7820}
constexpr GUID kLibraryId = {0xDDC69F06, 0x9182, 0x430D, {0x97, 0xCE, 0x0E, 0x33, 0x21, 0xEB, 0x78, 0x20}};
// OLE Automation's own library, which declares IDispatch.
constexpr GUID kStdOleId = {0x00020430, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Releases a COM pointer on scope exit.
template <typename T>
class Ref {
public:
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** put() { return &p_; }

private:
    T* p_ = nullptr;
};

HRESULT Build(const std::wstring& path) {
    Ref<ICreateTypeLib2> library;
    HRESULT hr = ::CreateTypeLib2(SYS_WIN32, path.c_str(), library.put());
    if (FAILED(hr)) return hr;
    library->SetGuid(kLibraryId);
    library->SetName(const_cast<LPOLESTR>(L"WordStandin"));
    library->SetVersion(1, 0);
    library->SetLcid(LOCALE_NEUTRAL);

    Ref<ICreateTypeInfo> info;
    hr = library->CreateTypeInfo(const_cast<LPOLESTR>(L"_Application"), TKIND_DISPATCH, info.put());
    if (FAILED(hr)) return hr;
    info->SetGuid(kApplicationIid);
    info->SetTypeFlags(TYPEFLAG_FDISPATCHABLE);

    Ref<ITypeLib> stdole;
    hr = ::LoadRegTypeLib(kStdOleId, 2, 0, LOCALE_NEUTRAL, stdole.put());
    if (FAILED(hr)) return hr;
    Ref<ITypeInfo> dispatch;
    hr = stdole->GetTypeInfoOfGuid(IID_IDispatch, dispatch.put());
    if (FAILED(hr)) return hr;
    HREFTYPE base = 0;
    hr = info->AddRefTypeInfo(dispatch.get(), &base);
    if (SUCCEEDED(hr)) hr = info->AddImplType(0, base);
    if (SUCCEEDED(hr)) hr = info->LayOut();
    if (SUCCEEDED(hr)) hr = library->SaveAllChanges();
    return hr;
}

}  // namespace

HRESULT RegisterTypeLibrary(const std::wstring& path) {
    HRESULT hr = Build(path);
    if (FAILED(hr)) return hr;
    Ref<ITypeLib> library;
    hr = ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
    if (FAILED(hr)) return hr;
    return ::RegisterTypeLib(library.get(), const_cast<LPOLESTR>(path.c_str()), nullptr);
}

HRESULT UnregisterTypeLibrary(const std::wstring& path) {
    const HRESULT hr = ::UnRegisterTypeLib(kLibraryId, 1, 0, LOCALE_NEUTRAL, SYS_WIN32);
    ::DeleteFileW(path.c_str());
    // A library that is not registered is no failure; Wine reports it as E_INVALIDARG.
    const bool absent = hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_CANTLOADLIBRARY || hr == E_INVALIDARG;
    return absent ? S_OK : hr;
}

}  // namespace standin::word
