// The message filter's answers to a call a busy server turned away, and its place in the tool's
// apartments. Wine runs a call that the server's filter answers with "retry later" instead of passing
// the rejection on, so the decisions are tested here, not end to end.
#include "platform/com/message_filter.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/com/call_bound.h"
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

TEST(CallBound, TheVariableSetsTheBoundWithinItsLimitsAndAnythingElseLeavesTwoMinutes) {
    const struct {
        const wchar_t* value;
        DWORD seconds;
    } cases[] = {{nullptr, 120},  {L"", 120},     {L"2", 2},
                 {L"3600", 3600}, {L"3601", 120}, {L"0", 120},
                 {L"5s", 120},    {L"-5", 120},   {L"99999999999999999999", 120}};
    for (const auto& c : cases)
        EXPECT_EQ(CallBoundSeconds(c.value), c.seconds) << (c.value ? c.value : L"(unset)");
    EXPECT_EQ(CallBoundMs(), 120000u) << "the tests run without the variable";
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
    // A call waited for while messages arrive is cancelled once it passes its bound.
    EXPECT_EQ(current->MessagePending(nullptr, CallBoundMs() - 1, PENDINGTYPE_TOPLEVEL),
              static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS));
    EXPECT_EQ(current->MessagePending(nullptr, CallBoundMs(), PENDINGTYPE_TOPLEVEL),
              static_cast<DWORD>(PENDINGMSG_CANCELCALL));
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
