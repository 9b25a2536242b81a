#include "driver/run_command_line.h"

#include <windows.h>

#include <new>

#include "driver/exit_code.h"
#include "driver/message_boxes.h"
#include "platform/errors.h"
#include "platform/run/message_box.h"
#include "platform/run/run_log.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

// Runs the first entry that ends the run; returns normally only when none did. With `allUsers` an
// entry's all-users handler runs in place of its own, where it has one.
void TestSwitches(const Parameters& params, std::span<const SwitchEntry> switches, bool allUsers) {
    bool previousActed = false;
    for (const SwitchEntry& entry : switches) {
        if (entry.elseOfPrevious && previousActed) {
            previousActed = false;
            continue;
        }
        std::wstring value;
        bool present = false;
        if (entry.takesValue) {
            const auto found = GetSwitchValue(params, entry.name);
            present = found && !found->empty();
            if (present) value = *found;
        } else {
            present = IsSwitchPresent(params, entry.name);
        }
        previousActed = present;
        if (!present) continue;
        const bool forAllUsers = allUsers && entry.allUsers;
        LogStep(L"switch " + std::wstring(entry.name) + (value.empty() ? L"" : L" " + value) +
                (forAllUsers ? L", for all users" : L""));
        const std::int32_t result = (forAllUsers ? entry.allUsers : entry.handler)(value);
        switch (entry.outcome) {
            case SwitchOutcome::EndWithFlag:
                RaiseReturnFlag(result != 0);
            case SwitchOutcome::EndWithCode:
                RaiseReturn(result);
            case SwitchOutcome::GoOn:
                break;
        }
    }
}

}  // namespace

std::int32_t RunInteractive(const InteractiveActions& actions) {
    const std::wstring prompt = FormatResString(IDS_INTERACTIVE_PROMPT, {kCaption});
    const int answer = PresentMessageBox(prompt, kCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES && actions.installWordAddin) {
        if (actions.registerAppServer) actions.registerAppServer(true);
        const std::int32_t code = actions.installWordAddin();
        ShowWordAddinResult(code, true);
        return code;
    }
    if (answer == IDNO && actions.uninstallWordAddin) {
        // The add-in goes before the server it talks to.
        const std::int32_t code = actions.uninstallWordAddin();
        if (actions.registerAppServer) actions.registerAppServer(false);
        ShowWordAddinResult(code, false);
        return code;
    }
    return kExitNothingDone;
}

std::int32_t RunCommandLine(const Parameters& params, const CommandSet& commands) {
    std::int32_t result = kExitNothingDone;
    try {
        const bool allUsers = IsSwitchPresent(params, kAllUsersSwitch);
        if (allUsers) {
            LogStep(L"scope: all users (\"am\"): the machine's settings, nothing under HKEY_CURRENT_USER");
        }
        TestSwitches(params, commands.switches, allUsers);
        if (params.empty()) result = RunInteractive(commands.interactive);
    } catch (const EReturn& ret) {
        result = ret.Code();
    } catch (const EAbort&) {
        result = kExitNothingDone;
    } catch (const Exception& error) {
        ShowErrorBox(error.Message());
        result = kExitNothingDone;
    } catch (const std::bad_alloc&) {
        // An error like any other, not a crash: a value another program wrote (a user PATH of a hundred
        // million characters, say) may not fit in a 32-bit process. Its memory is free again here.
        ShowErrorBox(LoadResString(IDS_OUT_OF_MEMORY));
        result = kExitNothingDone;
    }
    return result;
}

}  // namespace cx
