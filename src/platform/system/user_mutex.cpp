#include "platform/system/user_mutex.h"

#include <sddl.h>

#include <vector>

namespace cx {
namespace {

// The SID of the user this process runs as, in its text form (S-1-5-21-...); empty when unreadable.
std::wstring UserSid() {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return {};
    std::wstring sid(text);
    ::LocalFree(text);
    return sid;
}

}  // namespace

UserMutexLock::UserMutexLock(const std::wstring& name, DWORD timeoutMs, LockScope scope) {
    if (scope == LockScope::Machine) {
        mutex_.reset(::CreateMutexW(nullptr, FALSE, (L"Global\\" + name).c_str()));
        if (!mutex_) return;
        const DWORD waited = ::WaitForSingleObject(mutex_.get(), timeoutMs);
        held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
        return;
    }
    const std::wstring sid = UserSid();
    if (sid.empty()) return;
    const std::wstring scoped = name + L"." + sid;
    mutex_.reset(::CreateMutexW(nullptr, FALSE, (L"Global\\" + scoped).c_str()));
    if (!mutex_) mutex_.reset(::CreateMutexW(nullptr, FALSE, (L"Local\\" + scoped).c_str()));
    if (!mutex_) return;
    const DWORD waited = ::WaitForSingleObject(mutex_.get(), timeoutMs);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

UserMutexLock::~UserMutexLock() {
    if (held_) ::ReleaseMutex(mutex_.get());
}

}  // namespace cx
