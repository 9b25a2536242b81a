#include "platform/com_apartment.h"

#include <windows.h>
#include <objbase.h>

namespace cx {

void EnsureComApartment() {
    static const bool once = [] {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return true;
    }();
    (void)once;
}

ScopedComApartment::ScopedComApartment()
    : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

ScopedComApartment::~ScopedComApartment() {
    if (initialised_) ::CoUninitialize();
}

}  // namespace cx
