// A Word that the tool starts for one step (connecting or disconnecting the add-in when no Word runs)
// and closes again on every way out, also when a step raises. A Word the user runs is never one of
// these: it is attached to (GetRunningWordApp), and never quit or ended.
#pragma once

#include <oaidl.h>

#include <memory>

#include "platform/com/com_ptr.h"
#include "platform/process/started_server.h"

namespace cx {

// Word's wdAlertsNone: no message box, no prompt; Word takes the default answer.
inline constexpr LONG kWordAlertsNone = 0;
// How long a Word told to quit gets to end by itself before it is ended: it may still write its
// settings and the Normal template, which a termination could damage.
inline constexpr DWORD kQuitEndMs = 20000;

class StartedWord {
public:
    // Starts Word (CreateWordApp), finds its process (logged), and sets DisplayAlerts to none before
    // anything else, so that a hidden Word asks nobody anything. Empty when no Word could be started.
    // Raises when the start passed its time bound or DisplayAlerts fails, after ending that Word.
    StartedWord();
    // Quits Word unless Quit was called or a call to it was given up, releases it, and waits for its
    // process to end; ends the process when it does not (or at once when a call was given up). Never
    // raises: an error on the way out has already reached the caller, or the step succeeded.
    ~StartedWord();
    StartedWord(const StartedWord&) = delete;
    StartedWord& operator=(const StartedWord&) = delete;

    IDispatch* get() const { return word_.get(); }
    explicit operator bool() const { return static_cast<bool>(word_); }

    // QuitWordApp; raises when Quit fails (the process is still ended on the way out).
    void Quit();

private:
    void Close() noexcept;

    ComPtr<IDispatch> word_;
    std::unique_ptr<StartedServer> process_;
    bool quitAsked_ = false;
    bool quitAccepted_ = false;
};

}  // namespace cx
