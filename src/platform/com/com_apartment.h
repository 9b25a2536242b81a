// COM for the main thread, set up on first use: probes never pay for it.
#pragma once

namespace cx {

// Initialises the single-threaded apartment for the calling thread once, with the tool's message filter
// (platform/message_filter.h); it stays for the rest of the process (the system tears it down at exit).
// The result is not examined: an apartment that already exists serves as well.
void EnsureComApartment();

// Initialises the apartment, with the message filter, for one scope and uninitialises it on every way out.
class ScopedComApartment {
public:
    ScopedComApartment();
    ~ScopedComApartment();
    ScopedComApartment(const ScopedComApartment&) = delete;
    ScopedComApartment& operator=(const ScopedComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace cx
