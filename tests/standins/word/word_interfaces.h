// Word's automation interfaces as the stand-in declares them: dual interfaces whose members carry the
// parameter types of Word's published object model. type_library.cpp describes the same members, in
// the same order, in the type library; the standard dispatcher calls them through these vtables, so the
// two must agree slot for slot.
//
// Only _Application's identifier is Word's own (the tool asks for it); the others are the stand-in's.
#pragma once

#include <windows.h>

#include <oaidl.h>

namespace standin::word {

inline constexpr IID kApplicationIid = {
    0x00020970, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kAddInsIid = {
    0x5B1A0E21, 0x7C44, 0x4E0B, {0x9A, 0x31, 0x2F, 0x61, 0x0D, 0x4C, 0x88, 0x01}};
inline constexpr IID kAddInIid = {
    0x5B1A0E21, 0x7C44, 0x4E0B, {0x9A, 0x31, 0x2F, 0x61, 0x0D, 0x4C, 0x88, 0x02}};
inline constexpr IID kBarsIid = {
    0x5B1A0E21, 0x7C44, 0x4E0B, {0x9A, 0x31, 0x2F, 0x61, 0x0D, 0x4C, 0x88, 0x03}};
inline constexpr IID kBarIid = {0x5B1A0E21, 0x7C44, 0x4E0B, {0x9A, 0x31, 0x2F, 0x61, 0x0D, 0x4C, 0x88, 0x04}};
inline constexpr IID kControlsIid = {
    0x5B1A0E21, 0x7C44, 0x4E0B, {0x9A, 0x31, 0x2F, 0x61, 0x0D, 0x4C, 0x88, 0x05}};
inline constexpr IID kControlIid = {
    0x5B1A0E21, 0x7C44, 0x4E0B, {0x9A, 0x31, 0x2F, 0x61, 0x0D, 0x4C, 0x88, 0x06}};
inline constexpr IID kTemplateIid = {
    0x5B1A0E21, 0x7C44, 0x4E0B, {0x9A, 0x31, 0x2F, 0x61, 0x0D, 0x4C, 0x88, 0x07}};

// Objects come back as the interface pointers below; each is also the object's IDispatch.

struct IWordApplication : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_COMAddIns(IDispatch** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CommandBars(IDispatch** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_NormalTemplate(IDispatch** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Quit(VARIANT* saveChanges, VARIANT* originalFormat,
                                           VARIANT* routeDocument) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DisplayAlerts(long* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_DisplayAlerts(long value) = 0;
};

struct IComAddIns : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Item(VARIANT* index, IDispatch** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Count(long* value) = 0;
};

struct IComAddIn : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_ProgId(BSTR* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Connect(VARIANT_BOOL* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_Connect(VARIANT_BOOL value) = 0;
};

struct ICommandBars : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** value) = 0;
};

struct ICommandBar : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Controls(IDispatch** value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Delete() = 0;
};

struct ICommandBarControls : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Count(int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, IDispatch** value) = 0;
};

struct ICommandBarControl : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Delete(VARIANT temporary) = 0;
};

struct ITemplate : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Save() = 0;
};

}  // namespace standin::word
