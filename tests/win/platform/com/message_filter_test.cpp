// The message filter's answers to a call a busy server turned away, and its place in the tool's
// apartments. Wine runs a call that the server's filter answers with "retry later" instead of passing
// the rejection on, so the decisions are tested here, not end to end.
#include "platform/com/message_filter.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/com/com_apartment.h"

namespace cx {
namespace {

TEST(MessageFilter, RetriesOnlyACallTurnedAwayForLaterAndOnlyWithinTheBound) {
    EXPECT_EQ(RejectedCallDelay(0, SERVERCALL_RETRYLATER), kRejectedCallRetryDelayMs);
    EXPECT_EQ(RejectedCallDelay(kRejectedCallRetryMs - 1, SERVERCALL_RETRYLATER), kRejectedCallRetryDelayMs);
    EXPECT_EQ(RejectedCallDelay(kRejectedCallRetryMs, SERVERCALL_RETRYLATER), kCancelRejectedCall);
    EXPECT_EQ(RejectedCallDelay(0xFFFFFFFFu, SERVERCALL_RETRYLATER), kCancelRejectedCall);
    // A server that refuses outright is not asked again.
    EXPECT_EQ(RejectedCallDelay(0, SERVERCALL_REJECTED), kCancelRejectedCall);
}

// The filter registered for the calling thread's apartment, after a check of its answers.
void ExpectToolFilterRegistered() {
    IMessageFilter* current = nullptr;
    ASSERT_EQ(::CoRegisterMessageFilter(nullptr, &current), S_OK);
    ASSERT_NE(current, nullptr) << "no message filter in the apartment";
    EXPECT_EQ(current->RetryRejectedCall(nullptr, 1000, SERVERCALL_RETRYLATER), kRejectedCallRetryDelayMs);
    EXPECT_EQ(current->RetryRejectedCall(nullptr, kRejectedCallRetryMs, SERVERCALL_RETRYLATER),
              kCancelRejectedCall);
    EXPECT_EQ(current->HandleInComingCall(CALLTYPE_TOPLEVEL, nullptr, 0, nullptr),
              static_cast<DWORD>(SERVERCALL_ISHANDLED));
    ::CoRegisterMessageFilter(current, nullptr);
    current->Release();
}

TEST(MessageFilter, ServesBothWaysTheToolSetsUpItsApartment) {
    EnsureComApartment();
    ExpectToolFilterRegistered();
    std::thread([] {
        const ScopedComApartment apartment;
        ExpectToolFilterRegistered();
    }).join();
}

}  // namespace
}  // namespace cx
