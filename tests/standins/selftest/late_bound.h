// Late-bound automation calls for the stand-ins' self-test, made the way the tool makes them: the member
// by name through GetIDsOfNames, then Invoke with the arguments in reverse order.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace selftest {

// An owning COM pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* owned) : p_(owned) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T** put() {
        Reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }

private:
    T* p_ = nullptr;
};

// A VARIANT that clears itself.
class Variant {
public:
    Variant() { ::VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&v_); }
    VARIANT* operator&() { return &v_; }
    const VARIANT& operator*() const { return v_; }
    const VARIANT* operator->() const { return &v_; }
    // The object held (added reference), or null when the variant holds none.
    ComPtr<IDispatch> Object() const;

private:
    VARIANT v_;
};

struct CallResult {
    HRESULT hr = E_FAIL;
    Variant value;
    // From the EXCEPINFO when hr is DISP_E_EXCEPTION.
    SCODE scode = 0;
    std::wstring description;
};

// Argument makers; a BSTR made here is freed after the call.
VARIANT I4(long value);
VARIANT Bool(bool value);
VARIANT Str(const std::wstring& text);
VARIANT ByRef(VARTYPE type, void* target);
VARIANT Missing();

// The member by name, then Invoke with `flags`; `args` in declared order.
void Call(CallResult& out, IDispatch* object, const std::wstring& name, WORD flags,
          std::initializer_list<VARIANT> args = {});
// A property write with the named argument DISPID_PROPERTYPUT.
HRESULT Put(IDispatch* object, const std::wstring& name, VARIANT value);

// Shorthands that return the object a call yields (null on failure).
ComPtr<IDispatch> Fetch(IDispatch* object, const std::wstring& name, WORD flags = DISPATCH_PROPERTYGET,
                        std::initializer_list<VARIANT> args = {});

}  // namespace selftest
