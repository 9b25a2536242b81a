// Owning COM pointer, BSTR and VARIANT wrappers.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <string>
#include <string_view>
#include <utility>

namespace cx {

// A counted reference; releases it on scope exit.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* raw) {
        ComPtr p;
        p.ptr_ = raw;
        return p;
    }
    // Adds a reference of its own.
    static ComPtr Share(T* raw) {
        if (raw) raw->AddRef();
        return Attach(raw);
    }
    ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
        if (ptr_) ptr_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    void reset() {
        if (ptr_) std::exchange(ptr_, nullptr)->Release();
    }
    // For out-parameters: releases what was held.
    T** put() {
        reset();
        return &ptr_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }

    // QueryInterface; empty on failure.
    template <typename U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> other;
        if (ptr_) ptr_->QueryInterface(iid, other.put_void());
        return other;
    }

private:
    T* ptr_ = nullptr;
};

// An owned BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text)
        : value_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    ~Bstr() { ::SysFreeString(value_); }

    BSTR get() const { return value_; }
    BSTR release() { return std::exchange(value_, nullptr); }
    BSTR* put() {
        ::SysFreeString(std::exchange(value_, nullptr));
        return &value_;
    }
    std::wstring str() const { return value_ ? std::wstring(value_, ::SysStringLen(value_)) : std::wstring(); }

private:
    BSTR value_ = nullptr;
};

// An owned VARIANT, cleared on scope exit.
class Variant {
public:
    Variant() { ::VariantInit(&value_); }
    Variant(const Variant& other) : Variant() { ::VariantCopy(&value_, const_cast<VARIANT*>(&other.value_)); }
    Variant(Variant&& other) noexcept : Variant() { std::swap(value_, other.value_); }
    Variant& operator=(Variant other) noexcept {
        std::swap(value_, other.value_);
        return *this;
    }
    ~Variant() { ::VariantClear(&value_); }

    static Variant Int(LONG n) {
        Variant v;
        v.value_.vt = VT_I4;
        v.value_.lVal = n;
        return v;
    }
    static Variant Bool(bool b) {
        Variant v;
        v.value_.vt = VT_BOOL;
        v.value_.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
        return v;
    }
    static Variant Text(std::wstring_view text) {
        Variant v;
        v.value_.vt = VT_BSTR;
        v.value_.bstrVal = Bstr(text).release();
        return v;
    }
    // An omitted optional argument.
    static Variant Missing() {
        Variant v;
        v.value_.vt = VT_ERROR;
        v.value_.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }
    static Variant Dispatch(const ComPtr<IDispatch>& object) {
        Variant v;
        v.value_.vt = VT_DISPATCH;
        v.value_.pdispVal = object.get();
        if (object) object->AddRef();
        return v;
    }

    VARIANT* get() { return &value_; }
    const VARIANT* get() const { return &value_; }
    VARIANT* put() {
        ::VariantClear(&value_);
        return &value_;
    }
    VARTYPE vt() const { return value_.vt; }

private:
    VARIANT value_;
};

}  // namespace cx
