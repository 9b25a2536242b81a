// A lock shared by every process of the current user, for work on data that belongs to the user (such
// as HKEY_CURRENT_USER values that several programs edit) and must not interleave between copies of
// the tool.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.h"

namespace cx {

// User: one lock per user, as below. Machine: one lock for the whole machine, "Global\<name>", for
// data that belongs to the machine (its system-wide environment), created so that only the
// administrators and the system may open it, owned by the administrators, and used when it exists
// already only when its owner is the administrators or the system; otherwise as below. A process that
// is not elevated cannot create it (nor change what it guards).
enum class LockScope { User, Machine };

// Holds the named mutex "Global\<name>.<user SID>" for its scope. Global, because one user's data is
// shared by all the user's sessions (a second logon, a task in session 0); the SID, because two users
// edit different data and must not wait for each other.
//
// The name is predictable, and any program of any user may create a mutex of that name first. So the
// mutex is created with a descriptor that lets only the user and the administrators open it, owned by
// the user; a mutex of that name that already exists is used only when its owner is the user or the
// administrators (its owner decides who may open it), and an object of another kind, or one that
// denies access, is never replaced by a lock under another name (such as one in "Local\", which would
// let two sessions of the user race again).
//
// The wait is bounded by `timeoutMs`. When it runs out (a copy that holds the mutex hangs, or a
// program of the user squats the name), or the mutex cannot be created, opened or trusted, the lock is
// not held, WhyNotHeld says why, and the caller goes on without it: callers check what they wrote
// instead of trusting the lock alone. A mutex abandoned by a copy that ended while holding it is taken
// over and counts as held; the data it guarded is whatever that copy left, and callers read it
// afresh. Never raises.
class UserMutexLock {
public:
    UserMutexLock(const std::wstring& name, DWORD timeoutMs, LockScope scope = LockScope::User);
    UserMutexLock(const UserMutexLock&) = delete;
    UserMutexLock& operator=(const UserMutexLock&) = delete;
    ~UserMutexLock();

    bool Held() const { return held_; }
    // Why the lock is not held, as a sentence for the run's log; empty while it is held.
    const std::wstring& WhyNotHeld() const { return whyNotHeld_; }

private:
    // Creates or opens the mutex; false, with the reason set, when it must not be used.
    bool Open(const std::wstring& name, LockScope scope);

    UniqueHandle mutex_;
    bool held_ = false;
    std::wstring whyNotHeld_;
};

}  // namespace cx
