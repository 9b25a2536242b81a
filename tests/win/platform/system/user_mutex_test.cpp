// The user's lock: copies exclude each other, a wait ends at its bound, and a holder that ended
// without letting go does not block the next one. The machine's lock: one name for every user, which
// a mutex the user made first does not take over.
#include "platform/system/user_mutex.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <thread>

namespace cx {
namespace {

constexpr wchar_t kName[] = L"Corvane2.Tests.UserMutex";

// Whether another thread (a mutex belongs to its thread) gets the lock within `timeoutMs`.
bool HeldElsewhere(DWORD timeoutMs, LockScope scope = LockScope::User) {
    bool held = false;
    std::thread([&] { held = UserMutexLock(kName, timeoutMs, scope).Held(); }).join();
    return held;
}

TEST(UserMutexLock, ExcludesOthersUntilReleasedWithABoundedWait) {
    {
        const UserMutexLock lock(kName, 0);
        ASSERT_TRUE(lock.Held());
        EXPECT_FALSE(HeldElsewhere(200));
    }
    EXPECT_TRUE(HeldElsewhere(0));
    // A holder that ends without releasing (deliberately never destroyed): the next one takes over.
    std::thread([] { new UserMutexLock(kName, 0); }).join();
    EXPECT_TRUE(HeldElsewhere(0));
}

TEST(UserMutexLock, TheMachinesLockTrustsOnlyAMutexOfTheAdministratorsOrTheSystem) {
    {
        const UserMutexLock lock(kName, 0, LockScope::Machine);
        ASSERT_TRUE(lock.Held()) << ::testing::PrintToString(lock.WhyNotHeld());
        EXPECT_FALSE(HeldElsewhere(200, LockScope::Machine));
        EXPECT_TRUE(HeldElsewhere(0, LockScope::User)) << "the user's lock has a name of its own";
    }
    BYTE user[256];
    DWORD size = 0;
    HANDLE token = nullptr;
    wchar_t* sid = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
    ASSERT_TRUE(::GetTokenInformation(token, TokenUser, user, sizeof user, &size));
    ::CloseHandle(token);
    ASSERT_TRUE(::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &sid));
    const std::wstring userSid = sid;
    ::LocalFree(sid);
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(
        (L"O:" + userSid + L"D:(A;;GA;;;WD)").c_str(), SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    const HANDLE squat = ::CreateMutexW(&attributes, FALSE, (L"Global\\" + std::wstring(kName)).c_str());
    ::LocalFree(descriptor);
    ASSERT_TRUE(squat);
    const UserMutexLock lock(kName, 0, LockScope::Machine);
    EXPECT_FALSE(lock.Held());
    EXPECT_EQ(lock.WhyNotHeld(), L"the mutex of that name belongs to " + userSid +
                                     L", neither the administrators nor the system");
    ::CloseHandle(squat);
}

}  // namespace
}  // namespace cx
