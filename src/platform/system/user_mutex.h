// A lock shared by every process of the current user, for work on data that belongs to the user (such
// as HKEY_CURRENT_USER values that several programs edit) and must not interleave between copies of
// the tool.
#pragma once

#include <windows.h>

#include <string>

#include "platform/handles.h"

namespace cx {

// User: one lock per user, as below. Machine: one lock for the whole machine, "Global\<name>", for
// data that belongs to the machine (its system-wide environment), which only administrators and the
// system may change, so only they may hold it.
enum class LockScope { User, Machine };

// Holds the named mutex "Global\<name>.<user SID>" for its scope. Global, because one user's data is
// shared by all the user's sessions (a second logon, a task in session 0); the SID, because two users
// edit different data and must not wait for each other. A process without the right to create global
// objects (a copy started without elevation) falls back to "Local\<name>.<user SID>", which still
// keeps the copies in its own session apart.
//
// The wait is bounded by `timeoutMs`. When it runs out (a copy that holds the mutex hangs, or another
// program squats the name), or the mutex cannot be created or opened at all, the lock is not held and
// the caller goes on without it: callers check what they wrote instead of trusting the lock alone. A
// mutex abandoned by a copy that ended while holding it is taken over and counts as held; the data it
// guarded is whatever that copy left, and callers read it afresh. Never raises.
class UserMutexLock {
public:
    UserMutexLock(const std::wstring& name, DWORD timeoutMs, LockScope scope = LockScope::User);
    UserMutexLock(const UserMutexLock&) = delete;
    UserMutexLock& operator=(const UserMutexLock&) = delete;
    ~UserMutexLock();

    bool Held() const { return held_; }

private:
    UniqueHandle mutex_;
    bool held_ = false;
};

}  // namespace cx
