#include "common/variant_text.h"

#include <oleauto.h>

#include <cstdio>

#include "common/dispatch_object.h"

namespace standin {
namespace {

const wchar_t* BaseTypeName(VARTYPE base) {
    switch (base) {
        case VT_EMPTY:
            return L"VT_EMPTY";
        case VT_NULL:
            return L"VT_NULL";
        case VT_I2:
            return L"VT_I2";
        case VT_I4:
            return L"VT_I4";
        case VT_R4:
            return L"VT_R4";
        case VT_R8:
            return L"VT_R8";
        case VT_CY:
            return L"VT_CY";
        case VT_DATE:
            return L"VT_DATE";
        case VT_BSTR:
            return L"VT_BSTR";
        case VT_DISPATCH:
            return L"VT_DISPATCH";
        case VT_ERROR:
            return L"VT_ERROR";
        case VT_BOOL:
            return L"VT_BOOL";
        case VT_VARIANT:
            return L"VT_VARIANT";
        case VT_UNKNOWN:
            return L"VT_UNKNOWN";
        case VT_DECIMAL:
            return L"VT_DECIMAL";
        case VT_I1:
            return L"VT_I1";
        case VT_UI1:
            return L"VT_UI1";
        case VT_UI2:
            return L"VT_UI2";
        case VT_UI4:
            return L"VT_UI4";
        case VT_I8:
            return L"VT_I8";
        case VT_UI8:
            return L"VT_UI8";
        case VT_INT:
            return L"VT_INT";
        case VT_UINT:
            return L"VT_UINT";
        default:
            return nullptr;
    }
}

std::wstring HexCode(unsigned long code) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lX", code);
    return text;
}

std::wstring ObjectText(const void* pointer) {
    if (!pointer) return L"null";
    const DispatchObject* object = DispatchObject::Find(pointer);
    return object ? object->Describe() : L"<foreign>";
}

// The value part of an argument of a non-array, non-VT_VARIANT type, read by value.
std::wstring ScalarText(const VARIANT& value) {
    switch (value.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return L"";
        case VT_I1:
            return std::to_wstring(static_cast<int>(value.cVal));
        case VT_UI1:
            return std::to_wstring(value.bVal);
        case VT_I2:
            return std::to_wstring(value.iVal);
        case VT_UI2:
            return std::to_wstring(value.uiVal);
        case VT_I4:
            return std::to_wstring(value.lVal);
        case VT_UI4:
            return std::to_wstring(value.ulVal);
        case VT_INT:
            return std::to_wstring(value.intVal);
        case VT_UINT:
            return std::to_wstring(value.uintVal);
        case VT_I8:
            return std::to_wstring(value.llVal);
        case VT_UI8:
            return std::to_wstring(value.ullVal);
        case VT_BOOL:
            return std::to_wstring(value.boolVal);
        case VT_ERROR:
            return HexCode(static_cast<unsigned long>(value.scode));
        case VT_BSTR:
            return Quoted(value.bstrVal ? value.bstrVal : L"");
        case VT_DISPATCH:
            return ObjectText(value.pdispVal);
        case VT_UNKNOWN:
            return ObjectText(value.punkVal);
        default:
            break;
    }
    VARIANT text;
    ::VariantInit(&text);
    std::wstring result = L"?";
    if (SUCCEEDED(::VariantChangeTypeEx(&text, const_cast<VARIANT*>(&value), LOCALE_INVARIANT, 0, VT_BSTR))) {
        result = text.bstrVal ? text.bstrVal : L"";
    }
    ::VariantClear(&text);
    return result;
}

std::wstring ArrayText(SAFEARRAY* array, VARTYPE element) {
    if (!array) return L"null";
    const UINT dims = ::SafeArrayGetDim(array);
    if (dims != 1) return L"dims=" + std::to_wstring(dims);
    LONG lower = 0;
    LONG upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    std::wstring text = std::to_wstring(lower) + L".." + std::to_wstring(upper) + L" {";
    for (LONG i = lower; i <= upper; ++i) {
        VARIANT item;
        ::VariantInit(&item);
        HRESULT hr = E_FAIL;
        if (element == VT_VARIANT) {
            hr = ::SafeArrayGetElement(array, &i, &item);
        } else if (element != VT_DECIMAL && element != VT_RECORD) {
            item.vt = element;
            hr = ::SafeArrayGetElement(array, &i, &item.llVal);
            if (FAILED(hr)) item.vt = VT_EMPTY;
        }
        if (i != lower) text += L"; ";
        if (FAILED(hr)) {
            text += L"?";
        } else if (element == VT_VARIANT) {
            text += DescribeVariant(item);
        } else {
            text += ScalarText(item);
        }
        ::VariantClear(&item);
    }
    return text + L"}";
}

}  // namespace

std::wstring VarTypeName(VARTYPE type) {
    const VARTYPE base = type & VT_TYPEMASK;
    std::wstring text = (type & VT_ARRAY) ? L"VT_ARRAY|" : L"";
    if (const wchar_t* name = BaseTypeName(base)) {
        text += name;
    } else {
        wchar_t hex[16];
        std::swprintf(hex, 16, L"VT_0x%X", static_cast<unsigned>(base));
        text += hex;
    }
    if (type & VT_VECTOR) text += L"|VT_VECTOR";
    if (type & VT_BYREF) text += L"|VT_BYREF";
    return text;
}

std::wstring Quoted(const std::wstring& text) {
    std::wstring out = L"\"";
    for (const wchar_t c : text) {
        if (c == L'"') {
            out += L"\\\"";
        } else if (c == L'\r') {
            out += L"\\r";
        } else if (c == L'\n') {
            out += L"\\n";
        } else {
            out += c;
        }
    }
    return out + L"\"";
}

std::wstring DescribeVariant(const VARIANT& value) {
    const std::wstring type = VarTypeName(value.vt);
    std::wstring text;
    if (value.vt & VT_ARRAY) {
        SAFEARRAY* array = (value.vt & VT_BYREF) ? (value.pparray ? *value.pparray : nullptr) : value.parray;
        text = ArrayText(array, value.vt & VT_TYPEMASK);
    } else if (value.vt == (VT_VARIANT | VT_BYREF)) {
        text = value.pvarVal ? L"(" + DescribeVariant(*value.pvarVal) + L")" : L"(null)";
    } else if (value.vt & VT_BYREF) {
        VARIANT copy;
        ::VariantInit(&copy);
        text = SUCCEEDED(::VariantCopyInd(&copy, const_cast<VARIANT*>(&value))) ? ScalarText(copy) : L"?";
        ::VariantClear(&copy);
    } else {
        text = ScalarText(value);
    }
    return text.empty() ? type : type + L" " + text;
}

const VARIANT& Deref(const VARIANT& value) {
    const VARIANT* current = &value;
    while (current->vt == (VT_VARIANT | VT_BYREF) && current->pvarVal) current = current->pvarVal;
    return *current;
}

bool IsOmitted(const VARIANT& value) {
    return value.vt == VT_ERROR && value.scode == DISP_E_PARAMNOTFOUND;
}

namespace {

VARIANT Converted(const VARIANT& value, VARTYPE type) {
    VARIANT out;
    ::VariantInit(&out);
    // VariantChangeType reads by-reference sources itself.
    if (FAILED(::VariantChangeTypeEx(&out, const_cast<VARIANT*>(&Deref(value)), LOCALE_INVARIANT, 0, type))) {
        throw Fault{DISP_E_TYPEMISMATCH, std::nullopt};
    }
    return out;
}

}  // namespace

namespace {

VARIANT ChangedType(const VARIANT& value, VARTYPE type) {
    VARIANT out;
    ::VariantInit(&out);
    if (FAILED(::VariantChangeType(&out, const_cast<VARIANT*>(&value), 0, type)))
        throw Fault{DISP_E_TYPEMISMATCH, std::nullopt};
    return out;
}

}  // namespace

long ReadLong(const VARIANT& value) {
    return ChangedType(value, VT_I4).lVal;
}

bool ReadBool(const VARIANT& value) {
    return ChangedType(value, VT_BOOL).boolVal != VARIANT_FALSE;
}

long ArgLong(const VARIANT& value) {
    return Converted(value, VT_I4).lVal;
}

bool ArgBool(const VARIANT& value) {
    return Converted(value, VT_BOOL).boolVal != VARIANT_FALSE;
}

std::wstring ArgString(const VARIANT& value) {
    VARIANT text = Converted(value, VT_BSTR);
    std::wstring result = text.bstrVal ? text.bstrVal : L"";
    ::VariantClear(&text);
    return result;
}

void StoreObject(VARIANT& out, IDispatch* object) {
    if (out.vt == (VT_VARIANT | VT_BYREF) && out.pvarVal) {
        ::VariantClear(out.pvarVal);
        out.pvarVal->vt = VT_DISPATCH;
        out.pvarVal->pdispVal = object;
    } else if (out.vt == (VT_DISPATCH | VT_BYREF) && out.ppdispVal) {
        if (*out.ppdispVal) (*out.ppdispVal)->Release();
        *out.ppdispVal = object;
    } else {
        throw Fault{DISP_E_TYPEMISMATCH, std::nullopt};
    }
    if (object) object->AddRef();
}

}  // namespace standin
