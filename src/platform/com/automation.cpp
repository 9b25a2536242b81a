#include "platform/com/automation.h"

#include <vector>

#include "platform/com/call_bound.h"
#include "platform/errors.h"
#include "platform/run/run_deadline.h"
#include "platform/run/run_log.h"
#include "platform/run/system_error.h"

namespace cx {
namespace {

bool IsTrailingPunctuation(wchar_t c) {
    return c <= L' ' || c == L'.' || c == L',' || c == L';' || c == L':' || c == L'!' || c == L'?';
}

[[noreturn]] void RaiseInvokeError(HRESULT hr, EXCEPINFO& info) {
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
        const Bstr description = [&] {
            Bstr b;
            *b.put() = info.bstrDescription;
            return b;
        }();
        const Bstr source = [&] {
            Bstr b;
            *b.put() = info.bstrSource;
            return b;
        }();
        ::SysFreeString(info.bstrHelpFile);
        const HRESULT code = info.scode != 0 ? info.scode : static_cast<HRESULT>(info.wCode);
        throw EOleException(AutomationErrorMessage(code, description.str()), static_cast<std::int32_t>(code),
                            source.str());
    }
    RaiseOleSysError(hr);
}

// `flags` only tell the run's log what kind of call failed.
DISPID MemberId(IDispatch* object, std::wstring_view member, WORD flags, const BoundedCall& bound) {
    std::wstring name(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) {
        LogAutomationCall(member, flags, hr);
        RaiseOleSysError(bound.GaveUp() ? RPC_E_TIMEOUT : hr);
    }
    return id;
}

Variant DoInvoke(IDispatch* object, std::wstring_view member, WORD flags, std::vector<VARIANT>& reversed,
                 bool namedPut) {
    if (!object) RaiseOleSysError(E_POINTER);
    const ScopedWait wait(L"the answer to the automation call ", member);
    const BoundedCall bound(L"automation call " + std::wstring(member));
    const DISPID id = MemberId(object, member, flags, bound);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), namedPut ? &putId : nullptr,
                      static_cast<UINT>(reversed.size()), namedPut ? 1u : 0u};
    Variant result;
    EXCEPINFO info{};
    UINT argError = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      namedPut ? nullptr : result.put(), &info, &argError);
    LogAutomationCall(member, flags, hr);
    // Whatever a call answers once its bound has passed, it failed: the run has already moved on.
    if (bound.GaveUp()) {
        ::SysFreeString(info.bstrSource);
        ::SysFreeString(info.bstrDescription);
        ::SysFreeString(info.bstrHelpFile);
        RaiseOleSysError(RPC_E_TIMEOUT);
    }
    if (FAILED(hr)) RaiseInvokeError(hr, info);
    return result;
}

}  // namespace

VARIANT AutomationArg::Make() const {
    VARIANT v;
    ::VariantInit(&v);
    if (!target_) {
        v = *value_->get();  // a shallow copy: the caller's Variant owns the contents
        return v;
    }
    v.vt = VT_VARIANT | VT_BYREF;
    v.pvarVal = target_->get();
    return v;
}

Variant Invoke(IDispatch* object, std::wstring_view member, WORD flags, std::initializer_list<AutomationArg> args) {
    std::vector<VARIANT> reversed;
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed.push_back(it->Make());
    return DoInvoke(object, member, flags, reversed, false);
}

Variant GetProperty(IDispatch* object, std::wstring_view member, std::initializer_list<AutomationArg> args) {
    return Invoke(object, member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args);
}

void PutProperty(IDispatch* object, std::wstring_view member, const Variant& value) {
    std::vector<VARIANT> reversed{AutomationArg(value).Make()};
    const WORD flags = value.vt() == VT_DISPATCH ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
    DoInvoke(object, member, flags, reversed, true);
}

Variant CallMethod(IDispatch* object, std::wstring_view member, std::initializer_list<AutomationArg> args) {
    return Invoke(object, member, DISPATCH_METHOD, args);
}

bool IsDispatchVariant(const VARIANT& value) {
    const VARIANT* v = &value;
    while (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    return v->vt == VT_DISPATCH;
}

ComPtr<IDispatch> AsObject(const Variant& value) {
    const VARIANT* v = value.get();
    while (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    if (v->vt != VT_DISPATCH) RaiseOleSysError(DISP_E_TYPEMISMATCH);
    return ComPtr<IDispatch>::Share(v->pdispVal);
}

ComPtr<IDispatch> AsOptionalObject(const Variant& value) {
    const VARIANT* v = value.get();
    while (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    if (v->vt == VT_EMPTY || v->vt == VT_NULL) return {};
    return AsObject(value);
}

namespace {

Variant Converted(const Variant& value, VARTYPE type) {
    Variant out;
    const HRESULT hr = ::VariantChangeType(out.get(), const_cast<VARIANT*>(value.get()), 0, type);
    if (FAILED(hr)) RaiseOleSysError(hr);
    return out;
}

}  // namespace

LONG AsInt(const Variant& value) { return Converted(value, VT_I4).get()->lVal; }

bool AsBool(const Variant& value) { return Converted(value, VT_BOOL).get()->boolVal != VARIANT_FALSE; }

std::wstring AsText(const Variant& value) {
    const Variant text = Converted(value, VT_BSTR);
    const BSTR b = text.get()->bstrVal;
    return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring();
}

std::wstring AutomationErrorMessage(HRESULT code, std::wstring_view description) {
    std::wstring text(description);
    while (!text.empty() && IsTrailingPunctuation(text.back())) text.pop_back();
    return text.empty() ? OleErrorMessage(code) : text;
}

}  // namespace cx
