// Automation arguments: their journal text, and reading them in either by-value or by-reference form.
//
// An argument's text is "<type>[ <value>]":
//   type   VT_ names joined by '|': [VT_ARRAY|]<base>[|VT_BYREF], e.g. VT_I4, VT_I4|VT_BYREF,
//          VT_ARRAY|VT_VARIANT, VT_VARIANT|VT_BYREF; an unnamed base type as VT_0x<hex>
//   value  integers in decimal; VT_BOOL as its raw value (-1 or 0); VT_ERROR as 0x<8 upper-case hex>;
//          VT_BSTR in double quotes with \" \r \n escaped (a null BSTR reads as ""); VT_EMPTY and VT_NULL
//          have none; VT_DISPATCH/VT_UNKNOWN: null, the stand-in object's text (its label, or e.g.
//          PropertyValue#1{Name="Param", Value=VT_BSTR "x"}), or <foreign>;
//          VT_VARIANT|VT_BYREF: the referenced argument's text in parentheses;
//          arrays: <lower>..<upper> {<element>; <element>} (elements of a VT_VARIANT array as arguments,
//          others as values; a null array reads as null); other types through VariantChangeType
//   Examples: VT_I4|VT_BYREF 1   VT_ERROR|VT_BYREF 0x80020004   VT_BSTR "Corvane2 Toolbar"
//             VT_VARIANT|VT_BYREF (VT_ARRAY|VT_VARIANT 0..-1 {})
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

namespace standin {

std::wstring VarTypeName(VARTYPE type);
std::wstring DescribeVariant(const VARIANT& value);
// A string in the journal's quoted form.
std::wstring Quoted(const std::wstring& text);

// The argument itself, or what a chain of VT_VARIANT|VT_BYREF leads to.
const VARIANT& Deref(const VARIANT& value);
// An omitted optional argument by the documented test: VT_ERROR holding DISP_E_PARAMNOTFOUND, nothing
// else (a reference to it is not the marker).
bool IsOmitted(const VARIANT& value);
// The argument as a server reads it for a parameter it takes as a VARIANT: VariantChangeType to `type`
// as it stands (no reference followed first); Fault{DISP_E_TYPEMISMATCH} when it does not convert.
long ReadLong(const VARIANT& value);
bool ReadBool(const VARIANT& value);

// Readers convert as VariantChangeType does and throw Fault{DISP_E_TYPEMISMATCH} when they cannot.
long ArgLong(const VARIANT& value);
bool ArgBool(const VARIANT& value);
std::wstring ArgString(const VARIANT& value);

// Stores `object` (adding a reference) into an argument passed by reference, VT_VARIANT|VT_BYREF or
// VT_DISPATCH|VT_BYREF; throws Fault{DISP_E_TYPEMISMATCH} for any other form.
void StoreObject(VARIANT& out, IDispatch* object);

}  // namespace standin
