#include "platform/system/user_mutex.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "platform/text/format.h"

namespace cx {
namespace {

constexpr wchar_t kAdministratorsSid[] = L"S-1-5-32-544";
constexpr wchar_t kSystemSid[] = L"S-1-5-18";
// What a holder needs: to wait for the mutex, release it and read its owner.
constexpr DWORD kMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE | READ_CONTROL;

// The text form of `sid` (S-1-...); empty when there is none or it cannot be converted.
std::wstring SidText(PSID sid) {
    wchar_t* text = nullptr;
    if (!sid || !::ConvertSidToStringSidW(sid, &text)) return {};
    const UniqueLocal owned(text);
    return text;
}

// The SID of the user this process runs as; empty when unreadable.
std::wstring UserSid() {
    UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<BYTE> buffer(size);
    if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) return {};
    return SidText(reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid);
}

// The mutex's full name, the descriptor it is created with, and who may own one that exists already.
struct LockIdentity {
    std::wstring name;
    std::wstring security;
    std::wstring trustedOwner;  // besides the administrators
    const wchar_t* trustedText;
};

// User: only the user and the administrators may open the mutex, and the user owns it, so that every
// copy of the tool the user runs, elevated or not, accepts it. Machine: only the administrators and
// the system, who alone may change what it guards; the administrators own it. "P": nothing is
// inherited from the namespace. (A private namespace bounded by the user's SID would keep other users
// out as well, but Wine, where the tool is tested, does not implement boundary descriptors; the owner
// check gives the same answer.)
LockIdentity IdentityFor(const std::wstring& name, LockScope scope, const std::wstring& userSid) {
    if (scope == LockScope::Machine) {
        return {L"Global\\" + name, L"O:BAD:P(A;;GA;;;BA)(A;;GA;;;SY)", kSystemSid,
                L"neither the administrators nor the system"};
    }
    return {L"Global\\" + name + L"." + userSid,
            L"O:" + userSid + L"D:P(A;;GA;;;" + userSid + L")(A;;GA;;;BA)", userSid,
            L"neither this user nor the administrators"};
}

// Why the mutex, which existed before, must not be used; empty when it may. Its owner decides: the
// owner can always change who may open it.
std::wstring Distrust(HANDLE mutex, const LockIdentity& identity) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = ::GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                          nullptr, nullptr, nullptr, &descriptor);
    const UniqueLocal owned(descriptor);
    if (error != ERROR_SUCCESS) {
        return FormatText(L"the owner of the mutex of that name cannot be read (error %u)", {error});
    }
    const std::wstring ownerSid = SidText(owner);
    if (ownerSid == identity.trustedOwner || ownerSid == kAdministratorsSid) return {};
    return FormatText(L"the mutex of that name belongs to %s, %s",
                      {ownerSid.empty() ? L"nobody" : ownerSid.c_str(), identity.trustedText});
}

std::wstring CannotOpen(const std::wstring& name, DWORD error) {
    if (error == ERROR_INVALID_HANDLE) return L"an object of another kind has the name " + name;
    if (error == ERROR_ACCESS_DENIED) return L"the mutex " + name + L" denies this program access";
    return FormatText(L"the mutex %s cannot be created or opened (error %u)", {name, error});
}

}  // namespace

bool UserMutexLock::Open(const std::wstring& name, LockScope scope) {
    const std::wstring sid = UserSid();
    if (sid.empty()) {
        whyNotHeld_ = L"the user's SID cannot be read";
        return false;
    }
    const LockIdentity identity = IdentityFor(name, scope, sid);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(identity.security.c_str(), SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        whyNotHeld_ =
            FormatText(L"the mutex's security descriptor cannot be made (error %u)", {::GetLastError()});
        return false;
    }
    const UniqueLocal owned(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    mutex_.reset(::CreateMutexExW(&attributes, identity.name.c_str(), 0, kMutexAccess));
    if (!mutex_) {
        whyNotHeld_ = CannotOpen(identity.name, ::GetLastError());
        return false;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return true;
    whyNotHeld_ = Distrust(mutex_.get(), identity);
    if (whyNotHeld_.empty()) return true;
    mutex_.reset();
    return false;
}

UserMutexLock::UserMutexLock(const std::wstring& name, DWORD timeoutMs, LockScope scope) {
    if (!Open(name, scope)) return;
    const DWORD waited = ::WaitForSingleObject(mutex_.get(), timeoutMs);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    if (waited == WAIT_TIMEOUT) {
        whyNotHeld_ = FormatText(L"another program has held it for %u ms", {timeoutMs});
    } else if (!held_) {
        whyNotHeld_ = FormatText(L"waiting for it failed (error %u)", {::GetLastError()});
    }
}

UserMutexLock::~UserMutexLock() {
    if (held_) ::ReleaseMutex(mutex_.get());
}

}  // namespace cx
