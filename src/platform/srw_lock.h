// A slim reader/writer lock with scoped holders (the translation module's shared lists, the automation
// call bound). Not re-entrant in either mode: never load a text or open a catalogue while holding it.
#pragma once

#include <windows.h>

namespace cx {

class SrwLock {
public:
    SrwLock() = default;
    SrwLock(const SrwLock&) = delete;
    SrwLock& operator=(const SrwLock&) = delete;

    // Holds the lock exclusively for its scope.
    class Exclusive {
    public:
        explicit Exclusive(SrwLock& lock) : lock_(lock.lock_) { ::AcquireSRWLockExclusive(&lock_); }
        Exclusive(const Exclusive&) = delete;
        Exclusive& operator=(const Exclusive&) = delete;
        ~Exclusive() { ::ReleaseSRWLockExclusive(&lock_); }

    private:
        SRWLOCK& lock_;
    };

    // Holds the lock shared (for reading) for its scope.
    class Shared {
    public:
        explicit Shared(SrwLock& lock) : lock_(lock.lock_) { ::AcquireSRWLockShared(&lock_); }
        Shared(const Shared&) = delete;
        Shared& operator=(const Shared&) = delete;
        ~Shared() { ::ReleaseSRWLockShared(&lock_); }

    private:
        SRWLOCK& lock_;
    };

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

}  // namespace cx
