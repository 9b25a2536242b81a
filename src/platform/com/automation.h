// Late-bound automation calls by member name (GetIDsOfNames, then Invoke). A failed call raises
// EOleException when the server described the failure (DISP_E_EXCEPTION), else EOleSysError.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/com/com_ptr.h"

namespace cx {

// An argument as passed to Invoke: by value, or by reference to a variant the caller keeps alive.
// A reference always goes as VT_VARIANT | VT_BYREF pointing at the variant that holds the value, as
// early-bound callers and script hosts pass it: a server's standard dispatcher hands that variant to a
// VARIANT* parameter as it is, where a typed reference (VT_I4 | VT_BYREF, VT_ERROR | VT_BYREF) does
// not reach the member as the value, nor as an omitted argument.
class AutomationArg {
public:
    AutomationArg(const Variant& value) : value_(&value) {}
    static AutomationArg ByRef(Variant& target) { return AutomationArg(target); }

    // The VARIANT that goes into DISPPARAMS; it points into the caller's Variant, which owns the contents.
    VARIANT Make() const;

private:
    explicit AutomationArg(Variant& target) : value_(&target), target_(&target) {}
    const Variant* value_;
    Variant* target_ = nullptr;
};

// Invokes `member` with `flags` (DISPATCH_METHOD, DISPATCH_PROPERTYGET, ...) and the arguments in
// their declared order; returns the result (VT_EMPTY when there is none).
Variant Invoke(IDispatch* object, std::wstring_view member, WORD flags, std::initializer_list<AutomationArg> args = {});

// Property read: DISPATCH_PROPERTYGET (with DISPATCH_METHOD, as late-bound callers do for members that
// may be either).
Variant GetProperty(IDispatch* object, std::wstring_view member, std::initializer_list<AutomationArg> args = {});

// Property write with the named argument DISPID_PROPERTYPUT; an object value is written by reference
// (DISPATCH_PROPERTYPUTREF).
void PutProperty(IDispatch* object, std::wstring_view member, const Variant& value);

// Method call whose result is not used: DISPATCH_METHOD.
Variant CallMethod(IDispatch* object, std::wstring_view member, std::initializer_list<AutomationArg> args = {});

// The result as an object; raises EOleSysError(DISP_E_TYPEMISMATCH) when it is not VT_DISPATCH.
ComPtr<IDispatch> AsObject(const Variant& value);

// The result as an object, or empty for VT_EMPTY, VT_NULL and a null VT_DISPATCH (a collection that
// answers "nothing" instead of failing); raises EOleSysError(DISP_E_TYPEMISMATCH) for anything else.
ComPtr<IDispatch> AsOptionalObject(const Variant& value);

// Whether a result counts as an object: VT_DISPATCH after following VT_VARIANT | VT_BYREF, even when
// the reference is null.
bool IsDispatchVariant(const VARIANT& value);

// A result converted as VariantChangeType converts it; EOleSysError with its status when it does not
// convert.
LONG AsInt(const Variant& value);
bool AsBool(const Variant& value);
std::wstring AsText(const Variant& value);

// The message for an automation failure: the server's description without trailing blanks and
// punctuation, else the system's text for the code, else "OLE error %.8x".
std::wstring AutomationErrorMessage(HRESULT code, std::wstring_view description);

}  // namespace cx
