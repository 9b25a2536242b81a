#include "platform/com/call_bound.h"

#include "platform/handles.h"
#include "platform/run/run_deadline.h"
#include "platform/run/run_log.h"
#include "platform/run/system_error.h"
#include "platform/srw_lock.h"
#include "platform/text/format.h"

namespace cx {
namespace {

// How often the watcher looks, and wakes the waiting thread's filter.
constexpr DWORD kTickMs = 500;
constexpr DWORD kLongestBoundSeconds = 3600;

enum Stage { kRunning, kGivenUp, kServersEnded, kRunEnded };

// Shared by the calling thread and the watcher under `lock`.
struct BoundState {
    SrwLock lock;
    bool watching = false;
    std::uint64_t nextId = 1;
    std::uint64_t current = 0;  // the call in progress, 0 for none
    DWORD thread = 0;           // the thread that made the last call
    ULONGLONG startedAt = 0;
    std::wstring what;
    int stage = kRunning;
    ULONGLONG stageAt = 0;
    std::uint64_t givenUp = 0;  // the call given up last
    std::uint32_t givenUpCount = 0;
};

BoundState& State() {
    static BoundState state;
    return state;
}

class Hold : SrwLock::Exclusive {
public:
    Hold() : SrwLock::Exclusive(State().lock) {}
};

UINT TickMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"CXAddinReg.CallBoundTick");
    return message;
}

// The ticks are for the filter only; none may pile up in the thread's queue between calls.
void FlushTicks() {
    MSG message;
    while (::PeekMessageW(&message, reinterpret_cast<HWND>(-1), TickMessage(), TickMessage(), PM_REMOVE)) {
    }
}

DWORD EffectiveBoundMs(const BoundState& state) {
    const DWORD bound = CallBoundMs();
    return state.givenUpCount > 0 && bound > kBoundAfterGiveUpMs ? kBoundAfterGiveUpMs : bound;
}

enum class Action { None, EndServers, EndRun };

struct Decision {
    DWORD thread = 0;
    bool tick = false;
    Action action = Action::None;
    std::wstring what;
};

// Moves the call in progress on to its next stage when it is due.
Decision Decide() {
    BoundState& state = State();
    const Hold hold;
    Decision decision;
    decision.thread = state.thread;
    // After a call was given up, releases outside any bounded call are still worth waking up for.
    decision.tick = state.current != 0 || state.givenUpCount > 0;
    if (state.current == 0) return decision;
    const ULONGLONG now = ::GetTickCount64();
    if (state.stage == kRunning && now - state.startedAt >= EffectiveBoundMs(state)) {
        state.stage = kGivenUp;
        state.stageAt = now;
        state.givenUp = state.current;
        ++state.givenUpCount;
        LogCallGivenUp(state.what, static_cast<std::uint32_t>((now - state.startedAt) / 1000));
    } else if (state.stage == kGivenUp && now - state.stageAt >= kGiveUpGraceMs) {
        state.stage = kServersEnded;
        decision.action = Action::EndServers;
    } else if (state.stage == kServersEnded && now - state.stageAt >= kGiveUpGraceMs) {
        state.stage = kRunEnded;
        decision.action = Action::EndRun;
        decision.what = state.what;
    }
    return decision;
}

void ServersEnded() {
    const Hold hold;
    State().stageAt = ::GetTickCount64();
}

DWORD WINAPI Watch(void*) {
    for (;;) {
        ::Sleep(kTickMs);
        const Decision decision = Decide();
        if (decision.action == Action::EndServers) {
            EndRunCleanups();
            ServersEnded();
        } else if (decision.action == Action::EndRun) {
            EndRunNow(FormatText(L"%s did not return even when the servers this run started were ended; "
                                 L"the run ends without it",
                                 {decision.what}),
                      OleErrorMessage(RPC_E_TIMEOUT));
        }
        if (decision.tick && decision.thread) ::PostThreadMessageW(decision.thread, TickMessage(), 0, 0);
    }
}

void StartWatching(BoundState& state) {
    if (state.watching) return;
    state.watching = true;
    const UniqueHandle thread(
        ::CreateThread(nullptr, 64 * 1024, &Watch, nullptr, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread)
        LogStep(FormatText(L"no watcher for automation calls (error %u): they are not bounded",
                           {::GetLastError()}));
}

}  // namespace

DWORD CallBoundSeconds(const wchar_t* value) {
    if (!value || !*value) return kDefaultCallBoundSeconds;
    DWORD seconds = 0;
    for (const wchar_t* c = value; *c; ++c) {
        if (*c < L'0' || *c > L'9') return kDefaultCallBoundSeconds;
        seconds = seconds * 10 + static_cast<DWORD>(*c - L'0');
        if (seconds > kLongestBoundSeconds) return kDefaultCallBoundSeconds;
    }
    return seconds == 0 ? kDefaultCallBoundSeconds : seconds;
}

DWORD CallBoundMs() {
    static const DWORD bound = [] {
        wchar_t value[16] = {};
        const DWORD length = ::GetEnvironmentVariableW(kCallBoundVariable, value, 16);
        return CallBoundSeconds(length > 0 && length < 16 ? value : nullptr) * 1000;
    }();
    return bound;
}

bool ShouldCancelCall(DWORD elapsedMs) {
    DWORD bound = 0;
    {
        const Hold hold;
        bound = EffectiveBoundMs(State());
    }
    return elapsedMs >= bound;
}

std::uint32_t GivenUpCalls() {
    const Hold hold;
    return State().givenUpCount;
}

BoundedCall::BoundedCall(std::wstring_view what) {
    FlushTicks();
    BoundState& state = State();
    const Hold hold;
    StartWatching(state);
    id_ = state.nextId++;
    previous_ = std::exchange(state.current, id_);
    previousStart_ = std::exchange(state.startedAt, ::GetTickCount64());
    previousWhat_ = std::exchange(state.what, std::wstring(what));
    previousStage_ = std::exchange(state.stage, kRunning);
    state.thread = ::GetCurrentThreadId();
}

BoundedCall::~BoundedCall() {
    {
        BoundState& state = State();
        const Hold hold;
        state.current = previous_;
        state.startedAt = previousStart_;
        state.what = std::move(previousWhat_);
        state.stage = previousStage_;
    }
    FlushTicks();
}

bool BoundedCall::GaveUp() const {
    const Hold hold;
    return State().givenUp == id_;
}

}  // namespace cx
