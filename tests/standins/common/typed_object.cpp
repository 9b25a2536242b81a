#include "common/typed_object.h"

#include "common/dispatch_object.h"
#include "common/journal.h"
#include "common/variant_text.h"

namespace standin {
namespace {

// The call in progress: the apartment has one thread, and members make no calls of their own.
struct CurrentCall {
    WORD flags = 0;
    bool memberRan = false;
};

CurrentCall& Current() {
    static CurrentCall call;
    return call;
}

void SetErrorObject(const IID& iid, const std::wstring& description) {
    ICreateErrorInfo* create = nullptr;
    if (FAILED(::CreateErrorInfo(&create))) return;
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(ExceptionSource().c_str()));
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    IErrorInfo* error = nullptr;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&error)))) {
        ::SetErrorInfo(0, error);
        error->Release();
    }
    create->Release();
}

}  // namespace

std::wstring ArgText(const VARIANT& value) {
    return DescribeVariant(value);
}

std::wstring ArgText(const VARIANT* value) {
    return value ? DescribeVariant(*value) : L"null";
}

std::wstring ArgText(VARIANT_BOOL value) {
    return L"VT_BOOL " + std::to_wstring(value);
}

ITypeInfo* InterfaceTypeInfo(ITypeLib* library, const IID& iid) {
    ITypeInfo* info = nullptr;
    if (!library || FAILED(library->GetTypeInfoOfGuid(iid, &info))) return nullptr;
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) {
        info->Release();
        return nullptr;
    }
    const bool dispatchHalf = attr->typekind == TKIND_DISPATCH;
    info->ReleaseTypeAttr(attr);
    if (!dispatchHalf) return info;
    // A dual interface is listed as its dispatch half; the vtable half is its implemented type -1.
    HREFTYPE vtableHalf = 0;
    ITypeInfo* vtable = nullptr;
    if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableHalf)))
        info->GetRefTypeInfo(vtableHalf, &vtable);
    info->Release();
    return vtable;
}

TypedDispatch::TypedDispatch(const IID& iid, ITypeInfo* info, std::wstring className, std::wstring label)
    : iid_(iid), info_(info), className_(std::move(className)), label_(std::move(label)) {
    if (info_) info_->AddRef();
}

TypedDispatch::~TypedDispatch() {
    if (info_) info_->Release();
}

HRESULT TypedDispatch::GetTypeInfo(ITypeInfo** out) const {
    if (!info_) return E_UNEXPECTED;
    info_->AddRef();
    *out = info_;
    return S_OK;
}

HRESULT TypedDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) const {
    ServerActivity();
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!info_) return E_UNEXPECTED;
    const HRESULT hr = ::DispGetIDsOfNames(info_, names, count, ids);
    if (hr == DISP_E_UNKNOWNNAME && count > 0 && names[0])
        Journal(label_ + L"." + std::wstring(names[0]) + L" unknown-name");
    return hr;
}

HRESULT TypedDispatch::Invoke(void* instance, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* exception, UINT* argError) const {
    ServerActivity();
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!info_) return E_UNEXPECTED;
    Current() = {flags, false};
    ::SetErrorInfo(0, nullptr);
    const HRESULT hr = info_->Invoke(instance, id, flags, params, result, exception, argError);
    if (FAILED(hr) && !Current().memberRan)
        JournalFailure(label_ + L"." + MemberName(id), {hr, std::nullopt});
    return hr;
}

std::optional<Fault> TypedDispatch::Begin(const wchar_t* member, CallKind kind,
                                          std::initializer_list<std::wstring> args) const {
    Current().memberRan = true;
    std::wstring line = label_ + L"." + member + L" " + FlagsText(Current().flags);
    bool first = true;
    for (const std::wstring& arg : args) {
        line += (first ? L" " : L", ") + arg;
        first = false;
    }
    Journal(line);
    return RuleFault(className_, label_, member, kind);
}

HRESULT TypedDispatch::Failed(const wchar_t* member, const Fault& fault) const {
    JournalFailure(label_ + L"." + member, fault);
    if (fault.description && !fault.description->empty()) {
        SetErrorObject(iid_, *fault.description);
    } else {
        ::SetErrorInfo(0, nullptr);
    }
    return fault.code;
}

std::wstring TypedDispatch::MemberName(DISPID id) const {
    BSTR name = nullptr;
    if (FAILED(info_->GetDocumentation(id, &name, nullptr, nullptr, nullptr)) || !name)
        return L"#" + std::to_wstring(id);
    std::wstring text(name, ::SysStringLen(name));
    ::SysFreeString(name);
    return text;
}

}  // namespace standin
