#include "common/dispatch_object.h"

#include <algorithm>

#include "common/com_server.h"
#include "common/journal.h"
#include "common/variant_text.h"

namespace standin {
namespace {

std::vector<const DispatchObject*>& LiveObjects() {
    static std::vector<const DispatchObject*> objects;
    return objects;
}

HRESULT Fail(const Fault& fault, EXCEPINFO* exception) {
    if (!fault.description) return fault.code;
    if (exception) {
        *exception = EXCEPINFO{};
        exception->scode = fault.code;
        exception->bstrSource = ::SysAllocString(ExceptionSource().c_str());
        if (!fault.description->empty())
            exception->bstrDescription = ::SysAllocString(fault.description->c_str());
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

std::wstring FlagsText(WORD flags) {
    static const struct {
        WORD bit;
        const wchar_t* name;
    } kNames[] = {{DISPATCH_METHOD, L"method"},
                  {DISPATCH_PROPERTYGET, L"get"},
                  {DISPATCH_PROPERTYPUT, L"put"},
                  {DISPATCH_PROPERTYPUTREF, L"putref"}};
    std::wstring text;
    WORD rest = flags;
    for (const auto& entry : kNames) {
        if (!(flags & entry.bit)) continue;
        if (!text.empty()) text += L'|';
        text += entry.name;
        rest &= static_cast<WORD>(~entry.bit);
    }
    if (rest != 0 || text.empty()) {
        if (!text.empty()) text += L'|';
        text += HexCode(rest);
    }
    return text;
}

DispatchObject::DispatchObject(std::wstring className, std::wstring label)
    : className_(std::move(className)), label_(std::move(label)) {
    LiveObjects().push_back(this);
    ServerObjectCreated();
}

DispatchObject::~DispatchObject() {
    auto& live = LiveObjects();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
    ServerObjectDestroyed();
}

DispatchObject* DispatchObject::Find(const void* pointer) {
    if (!pointer) return nullptr;
    for (const auto* object : LiveObjects()) {
        if (static_cast<const IDispatch*>(object) == pointer) return const_cast<DispatchObject*>(object);
    }
    return nullptr;
}

HRESULT DispatchObject::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const bool dispatch = iid == IID_IUnknown || iid == IID_IDispatch ||
                          std::find(extraIids_.begin(), extraIids_.end(), iid) != extraIids_.end();
    if (dispatch) {
        *out = static_cast<IDispatch*>(this);
    } else if (iid == IID_IExternalConnection && Tracked()) {
        *out = static_cast<IExternalConnection*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG DispatchObject::AddRef() {
    return static_cast<ULONG>(::InterlockedIncrement(&references_));
}

ULONG DispatchObject::Release() {
    const LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT DispatchObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    ServerActivity();
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    // Named arguments are not supported: every name after the member's is unknown.
    std::fill(ids, ids + count, DISPID_UNKNOWN);
    const std::wstring name = names[0] ? names[0] : L"";
    for (std::size_t i = 0; i < members_.size(); ++i) {
        if (SameName(members_[i].name, name)) {
            ids[0] = static_cast<DISPID>(i + 1);
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    Journal(label_ + L"." + name + L" unknown-name");
    return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argError) {
    ServerActivity();
    if (argError) *argError = 0;
    if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (id < 1 || static_cast<std::size_t>(id) > members_.size()) {
        Journal(label_ + L".#" + std::to_wstring(id) + L" unknown-dispid");
        return DISP_E_MEMBERNOTFOUND;
    }
    DISPPARAMS none{};
    VARIANT ignored;
    ::VariantInit(&ignored);
    const HRESULT hr = Dispatch(members_[static_cast<std::size_t>(id - 1)], flags, params ? params : &none,
                                result ? result : &ignored, exception);
    ::VariantClear(&ignored);
    return hr;
}

HRESULT DispatchObject::Dispatch(Member& member, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception) {
    ::VariantInit(result);
    Call call{flags, {}, result};
    const UINT named = params->cNamedArgs;
    const UINT positional = params->cArgs >= named ? params->cArgs - named : 0;
    for (UINT i = 0; i < positional; ++i) call.args.push_back(&params->rgvarg[params->cArgs - 1 - i]);
    for (UINT i = named; i > 0; --i) call.args.push_back(&params->rgvarg[i - 1]);

    std::wstring line = label_ + L"." + member.name + L" " + FlagsText(flags);
    for (std::size_t i = 0; i < call.args.size(); ++i)
        line += (i == 0 ? L" " : L", ") + DescribeVariant(*call.args[i]);
    Journal(line);

    const auto failed = [&](const Fault& fault) {
        JournalFailure(label_ + L"." + member.name, fault);
        ::VariantClear(result);
        return Fail(fault, exception);
    };

    Handler* handler = nullptr;
    CallKind kind = CallKind::Method;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        const bool putForm = named == 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
        if (!putForm) return failed({DISP_E_PARAMNOTOPTIONAL, std::nullopt});
        if (!member.setter) return failed({DISP_E_MEMBERNOTFOUND, std::nullopt});
        if (params->cArgs != 1) return failed({DISP_E_BADPARAMCOUNT, std::nullopt});
        handler = &member.setter;
        kind = CallKind::Put;
    } else {
        if (named != 0) return failed({DISP_E_NONAMEDARGS, std::nullopt});
        if ((flags & DISPATCH_METHOD) && member.method) {
            handler = &member.method;
        } else if ((flags & DISPATCH_PROPERTYGET) && member.getter) {
            handler = &member.getter;
            kind = CallKind::Get;
        } else {
            return failed({DISP_E_MEMBERNOTFOUND, std::nullopt});
        }
        const int count = static_cast<int>(params->cArgs);
        if (count < member.minArgs || count > member.maxArgs)
            return failed({DISP_E_BADPARAMCOUNT, std::nullopt});
    }

    if (const auto fault = RuleFault(className_, label_, member.name, kind)) return failed(*fault);
    try {
        (*handler)(call);
    } catch (const Fault& fault) {
        return failed(fault);
    }
    return S_OK;
}

DispatchObject::Member& DispatchObject::MemberNamed(const std::wstring& name) {
    for (auto& member : members_) {
        if (SameName(member.name, name)) return member;
    }
    Member member;
    member.name = name;
    members_.push_back(std::move(member));
    return members_.back();
}

void DispatchObject::AddMethod(std::wstring name, int minArgs, int maxArgs, Handler handler) {
    Member& member = MemberNamed(name);
    member.minArgs = minArgs;
    member.maxArgs = maxArgs;
    member.method = std::move(handler);
}

void DispatchObject::AddGetter(std::wstring name, Handler handler, int minArgs, int maxArgs) {
    Member& member = MemberNamed(name);
    member.minArgs = minArgs;
    member.maxArgs = maxArgs;
    member.getter = std::move(handler);
}

void DispatchObject::AddSetter(std::wstring name, Handler handler) {
    MemberNamed(name).setter = std::move(handler);
}

void ReturnObject(Call& call, DispatchObject* object) {
    ::VariantClear(call.result);
    call.result->vt = VT_DISPATCH;
    call.result->pdispVal = object;
}

}  // namespace standin
