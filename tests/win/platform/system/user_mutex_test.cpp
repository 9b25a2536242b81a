// The user's lock: copies exclude each other, a wait ends at its bound, and a holder that ended
// without letting go does not block the next one.
#include "platform/system/user_mutex.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

namespace cx {
namespace {

constexpr wchar_t kName[] = L"Corvane2.Tests.UserMutex";

// Whether another thread (a mutex belongs to its thread) gets the lock within `timeoutMs`.
bool HeldElsewhere(DWORD timeoutMs) {
    bool held = false;
    std::thread([&] { held = UserMutexLock(kName, timeoutMs).Held(); }).join();
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

}  // namespace
}  // namespace cx
