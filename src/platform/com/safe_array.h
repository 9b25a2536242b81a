// An owned one-dimensional SAFEARRAY of VARIANTs, for arrays passed to automation calls.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <oleauto.h>

#include <utility>

#include "platform/com/com_ptr.h"
#include "platform/run/system_error.h"

namespace cx {

class VariantArray {
public:
    // Bounds 0 to count - 1; a count of 0 gives the empty array (bounds 0 to -1). Elements start
    // VT_EMPTY. Raises EOleSysError(E_OUTOFMEMORY) when the array cannot be made.
    explicit VariantArray(ULONG count) : array_(::SafeArrayCreateVector(VT_VARIANT, 0, count)) {
        if (!array_) RaiseOleSysError(E_OUTOFMEMORY);
    }
    VariantArray(const VariantArray&) = delete;
    VariantArray& operator=(const VariantArray&) = delete;
    VariantArray(VariantArray&& other) noexcept : array_(std::exchange(other.array_, nullptr)) {}
    ~VariantArray() {
        if (array_) ::SafeArrayDestroy(array_);
    }

    // Copies `value` into element `index`. Raises EOleSysError on a bad index.
    void Set(LONG index, const Variant& value) {
        const HRESULT hr = ::SafeArrayPutElement(array_, &index, const_cast<VARIANT*>(value.get()));
        if (FAILED(hr)) RaiseOleSysError(hr);
    }

    // A VT_ARRAY | VT_VARIANT variant that takes the array over; this object is empty afterwards.
    Variant ToVariant() && {
        Variant result;
        VARIANT* raw = result.put();
        raw->vt = VT_ARRAY | VT_VARIANT;
        raw->parray = std::exchange(array_, nullptr);
        return result;
    }

private:
    SAFEARRAY* array_;
};

}  // namespace cx
