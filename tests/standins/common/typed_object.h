// Objects served the way a server built on its type library serves them: GetIDsOfNames and Invoke go to
// the interface's type information (ITypeInfo::GetIDsOfNames, ITypeInfo::Invoke), so the system itself
// matches the caller's arguments against the declared parameter types, converts them or refuses the
// call, and calls the member through the interface's vtable. A member therefore sees its arguments as
// the real server's member would, not as the caller sent them.
//
// Journal lines (same format as dispatch_object.h; argument texts as in variant_text.h):
//   <label>.<Member> <kind>[ <arg>, ...]   written by the member with what it received; <kind> is the
//                                          caller's Invoke flags (method, get, method|get, put)
//   <label>.<Member> -> exception 0x<scode> "<description>"   the member failed with a description
//   <label>.<Member> -> error 0x<hresult>  the member failed without one, or the dispatcher refused the
//                                          call (wrong argument count or type) before the member ran
//   <label>.<Name> unknown-name            GetIDsOfNames for a name the interface lacks
// A member's failure reaches the caller as DISP_E_EXCEPTION with the member's code, and its description
// through the error object (ISupportErrorInfo), as the dispatcher reports every failing member.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <initializer_list>
#include <optional>
#include <string>

#include "common/com_server.h"
#include "common/fault_rules.h"
#include "common/served_object.h"

namespace standin {

// What a member received, as journal text: a VARIANT* parameter as the variant it points at.
std::wstring ArgText(const VARIANT& value);
std::wstring ArgText(const VARIANT* value);
std::wstring ArgText(VARIANT_BOOL value);

// The vtable half of a dual interface's type information in `library` (added reference), or null.
ITypeInfo* InterfaceTypeInfo(ITypeLib* library, const IID& iid);

// The part of a typed object that does not depend on its interface.
class TypedDispatch {
public:
    // `info` describes the interface's vtable (InterfaceTypeInfo); a reference is kept.
    TypedDispatch(const IID& iid, ITypeInfo* info, std::wstring className, std::wstring label);
    ~TypedDispatch();
    TypedDispatch(const TypedDispatch&) = delete;
    TypedDispatch& operator=(const TypedDispatch&) = delete;

    HRESULT GetTypeInfo(ITypeInfo** out) const;
    HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) const;
    // `instance` is the interface pointer the type information describes.
    HRESULT Invoke(void* instance, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* exception, UINT* argError) const;

    // A member's run: journals the call with `args`, applies the scenario's fault rules, then runs
    // `body`; a Fault it throws becomes the member's failure.
    template <typename Body>
    HRESULT Run(const wchar_t* member, CallKind kind, std::initializer_list<std::wstring> args,
                Body body) const {
        if (const auto fault = Begin(member, kind, args)) return Failed(member, *fault);
        try {
            body();
        } catch (const Fault& fault) {
            return Failed(member, fault);
        }
        return S_OK;
    }

    const IID& Iid() const { return iid_; }

private:
    std::optional<Fault> Begin(const wchar_t* member, CallKind kind,
                               std::initializer_list<std::wstring> args) const;
    HRESULT Failed(const wchar_t* member, const Fault& fault) const;
    std::wstring MemberName(DISPID id) const;

    IID iid_;
    ITypeInfo* info_;
    std::wstring className_;
    std::wstring label_;
};

// A served object answering `Interface` (a dual interface: IDispatch, then its members in the order the
// type library declares them) through TypedDispatch.
template <typename Interface>
class TypedObject : public Interface, public ServedObject, public ISupportErrorInfo {
public:
    TypedObject(const TypedObject&) = delete;
    TypedObject& operator=(const TypedObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == dispatch_.Iid()) {
            *out = static_cast<Interface*>(this);
        } else if (iid == IID_ISupportErrorInfo) {
            *out = static_cast<ISupportErrorInfo*>(this);
        } else if (iid == IID_IExternalConnection && Tracked()) {
            *out = static_cast<IExternalConnection*>(this);
        } else {
            return E_NOINTERFACE;
        }
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

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        return index == 0 ? dispatch_.GetTypeInfo(info) : DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        return dispatch_.GetIDsOfNames(iid, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override {
        return dispatch_.Invoke(static_cast<Interface*>(this), id, iid, flags, params, result, exception,
                                argError);
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == dispatch_.Iid() ? S_OK : S_FALSE;
    }

protected:
    TypedObject(const IID& iid, ITypeInfo* info, std::wstring className, std::wstring label)
        : dispatch_(iid, info, std::move(className), std::move(label)) {
        ServerObjectCreated();
    }
    virtual ~TypedObject() { ServerObjectDestroyed(); }

    template <typename Body>
    HRESULT Run(const wchar_t* member, CallKind kind, std::initializer_list<std::wstring> args,
                Body body) const {
        return dispatch_.Run(member, kind, args, body);
    }

private:
    LONG references_ = 1;
    TypedDispatch dispatch_;
};

}  // namespace standin
