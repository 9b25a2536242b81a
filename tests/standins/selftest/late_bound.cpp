#include "selftest/late_bound.h"

#include <oleauto.h>

#include <algorithm>
#include <vector>

namespace selftest {

ComPtr<IDispatch> Variant::Object() const {
    const VARIANT* v = &v_;
    while (v->vt == (VT_VARIANT | VT_BYREF)) v = v->pvarVal;
    if (v->vt != VT_DISPATCH || !v->pdispVal) return {};
    v->pdispVal->AddRef();
    return ComPtr<IDispatch>(v->pdispVal);
}

VARIANT I4(long value) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Bool(bool value) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

VARIANT Str(const std::wstring& text) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return v;
}

VARIANT ByRef(VARTYPE type, void* target) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = static_cast<VARTYPE>(type | VT_BYREF);
    v.byref = target;
    return v;
}

VARIANT Missing() {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

namespace {

HRESULT Invoke(IDispatch* object, const std::wstring& name, WORD flags, std::vector<VARIANT>& reversed,
               DISPPARAMS& params, CallResult& out) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    EXCEPINFO exception{};
    UINT argError = 0;
    hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &out.value, &exception, &argError);
    if (hr == DISP_E_EXCEPTION) {
        out.scode = exception.scode;
        if (exception.bstrDescription) out.description = exception.bstrDescription;
    }
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return hr;
}

}  // namespace

void Call(CallResult& out, IDispatch* object, const std::wstring& name, WORD flags,
          std::initializer_list<VARIANT> args) {
    std::vector<VARIANT> reversed(args.begin(), args.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS params{};
    out.hr = Invoke(object, name, flags, reversed, params, out);
    // By-reference arguments point into the caller's storage; clearing them only resets the copies here.
    for (auto& v : reversed) ::VariantClear(&v);
}

HRESULT Put(IDispatch* object, const std::wstring& name, VARIANT value) {
    std::vector<VARIANT> reversed{value};
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
    CallResult out;
    const WORD flags = value.vt == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    out.hr = Invoke(object, name, flags, reversed, params, out);
    for (auto& v : reversed) ::VariantClear(&v);
    return out.hr;
}

ComPtr<IDispatch> Fetch(IDispatch* object, const std::wstring& name, WORD flags,
                        std::initializer_list<VARIANT> args) {
    CallResult out;
    Call(out, object, name, flags, args);
    return SUCCEEDED(out.hr) ? out.value.Object() : ComPtr<IDispatch>();
}

}  // namespace selftest
