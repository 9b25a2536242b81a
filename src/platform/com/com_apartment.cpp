#include "platform/com/com_apartment.h"

#include <windows.h>
#include <objbase.h>

#include "platform/com/message_filter.h"

namespace cx {

void EnsureComApartment() {
    static const bool once = [] {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // A busy server's "retry later" is waited out (within a bound) rather than taken as a failure.
        RegisterMessageFilter();
        return true;
    }();
    (void)once;
}

ScopedComApartment::ScopedComApartment()
    : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    if (initialised_) RegisterMessageFilter();
}

ScopedComApartment::~ScopedComApartment() {
    if (initialised_) ::CoUninitialize();
}

}  // namespace cx
