#include "hosts/word/word_addin.h"

#include <windows.h>

#include "hosts/word/addin_registration.h"
#include "hosts/word/started_word.h"
#include "hosts/word/word_app.h"
#include "hosts/word/word_automation.h"
#include "hosts/word/word_version.h"
#include "platform/com/automation.h"
#include "platform/com/com_apartment.h"
#include "platform/errors.h"
#include "platform/registry/registry_ex.h"

namespace cx {
namespace {

bool WordSupported() {
    return ProbeWordVersion();
}

}  // namespace

std::int32_t InstallWordAddin() {
    // Before the library: its registration may use COM itself.
    EnsureComApartment();
    if (!WordSupported()) return kWordMissing;
    RegisterAddinForWord();
    return ConnectWordAddin();
}

std::int32_t UninstallWordAddin() {
    EnsureComApartment();
    if (!WordSupported()) return kWordMissing;
    if (IsWordAddinActive()) {
        // Marked inactive before Word is reached, so that a Word that cannot be reached does not load
        // it any more either.
        WriteWordAddinKey(false);
        DisconnectWordAddin();
    }
    UnregisterAddinLibraries();
    return kWordAddinDone;
}

std::int32_t ConnectWordAddin() {
    if (const ComPtr<IDispatch> word = GetRunningWordApp()) {
        PutProperty(word.get(), L"Visible", Variant::Bool(true));
        SetComAddinConnected(word.get(), kWordAddinProgId, true);
        return kWordMustRestart;
    }
    // The tool runs elevated, and the running object table does not show it a Word the user started
    // without elevation: that Word gets the add-in only when restarted. Asked before a Word is started
    // here, which is a Word process as well.
    const bool unreachableWordRuns = IsWordProcessRunning();
    // Quit and ended on every way out, also when a step raises.
    if (StartedWord word; word) {
        SetComAddinConnected(word.get(), kWordAddinProgId, true);
        word.Quit();
    }
    return unreachableWordRuns ? kWordMustRestart : kWordAddinDone;
}

void DisconnectWordAddin() {
    try {
        if (const ComPtr<IDispatch> word = GetRunningWordApp()) {
            PutProperty(word.get(), L"Visible", Variant::Bool(true));
            // Again once Word is reached: loading the add-in may have marked it active.
            WriteWordAddinKey(false);
            SetComAddinConnected(word.get(), kWordAddinProgId, false);
        } else if (StartedWord started; started) {
            WriteWordAddinKey(false);
            SetComAddinConnected(started.get(), kWordAddinProgId, false);
            started.Quit();
        }
    } catch (const Exception&) {
        // The add-in is switched off in the registry already; Word's own state is a courtesy.
    }
}

bool IsWordAddinActive() {
    try {
        return ReadRegBool(HKEY_CURRENT_USER, kWordAddinKey, L"Active");
    } catch (const Exception&) {
        return false;
    }
}

void WriteWordAddinKey(bool active) {
    try {
        WriteRegKeyDefault(HKEY_CURRENT_USER, kWordAddinKey, L"");
        WriteRegBool(HKEY_CURRENT_USER, kWordAddinKey, L"Active", active);
    } catch (const Exception&) {
        // A key that cannot be written leaves Word as it was; removal goes on regardless.
    }
}

}  // namespace cx
