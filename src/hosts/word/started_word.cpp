#include "hosts/word/started_word.h"

#include "hosts/word/word_app.h"
#include "hosts/word/word_automation.h"
#include "hosts/word/word_class.h"
#include "platform/com/automation.h"
#include "platform/com/call_bound.h"
#include "platform/errors.h"
#include "platform/run/run_deadline.h"
#include "platform/run/system_error.h"

namespace cx {

StartedWord::StartedWord() {
    const std::uint32_t givenUpBefore = GivenUpCalls();
    {
        const std::optional<WordClass> wordClass = FindWordClass();
        ServerLaunch launch(kWordProgId, wordClass ? wordClass->clsid : CLSID{});
        word_ = CreateWordApp();
        process_ = launch.Identify();
    }
    try {
        // A start that passed its bound is a Word stuck before it could serve (a first-run dialog, say):
        // not "no Word", which would let the install report success.
        if (GivenUpCalls() != givenUpBefore) RaiseOleSysError(RPC_E_TIMEOUT);
        if (word_) PutProperty(word_.get(), L"DisplayAlerts", Variant::Int(kWordAlertsNone));
    } catch (const Exception&) {
        Close();
        throw;
    }
}

StartedWord::~StartedWord() {
    Close();
}

void StartedWord::Quit() {
    quitAsked_ = true;
    QuitWordApp(word_.get());
    quitAccepted_ = true;
}

void StartedWord::Close() noexcept {
    // A Word that left a call unanswered is not called again: it is ended, and only then let go.
    const bool unanswered = GivenUpCalls() > 0;
    if (word_ && !quitAsked_ && !unanswered) {
        try {
            Quit();
        } catch (const Exception&) {
            // The process is ended below; the error that brought the run here is the one that counts.
        }
    }
    if (unanswered && process_) process_->End();
    word_.reset();
    if (!process_) return;
    if (quitAccepted_ && !unanswered) {
        const ScopedWait wait(L"the Word this run started to end after Quit: process ",
                              std::to_wstring(process_->Pid()));
        if (process_->WaitForEnd(kQuitEndMs)) return;
    }
    process_->End();
}

}  // namespace cx
