// What the Word stand-in knows about itself: the state its scenario file sets up and its calls change.
//
// Scenario file "WordStandin.exe.scenario" beside the executable (key=value lines, see
// common/scenario.h), every key optional:
//   visible=0|1                   Application.Visible at start (default 0)
//   addin=<ProgID>[;connected]    one COM add-in per line, COMAddIns.Item(1) first; its Connect starts
//                                 false unless ";connected" follows (connected without being loaded).
//                                 Add-ins registered under Software\Microsoft\Office\Word\Addins with
//                                 LoadBehavior 3 are loaded at start-up and listed after these
//                                 (addin_host.h)
//   bar=<name>[:<controls>]       a command bar with that many controls (default 0), e.g.
//                                 bar=Corvane2 Toolbar:5; several lines for several bars
//   unknown_bar=fail|null         CommandBars.Item for a name that is not there (or was deleted):
//                                 fail (default, as Word does) raises DISP_E_EXCEPTION with scode
//                                 0x800A0005 and "Invalid procedure call or argument"; null returns no
//                                 bar (VT_DISPATCH holding null) without a failure
//   fail=<rule>                   makes a member fail, e.g. fail=COMAddIns:Word cannot list add-ins.
//                                 (rules in common/fault_rules.h)
//   busy_ms=<ms>                  turns every incoming call away with "retry later" for this long after
//                                 the server started (default 0), as Word does while it starts or shows
//                                 a dialog (common/busy_filter.h: Wine runs the calls regardless)
//   timeout=<seconds>             leave after this long without any call (default 60)
//   quit_grace_ms=<ms>            after Quit, how long to wait for the clients' releases (default 3000)
//   exit_on_release=0|1           started with /running: also leave when the last client let go
//                                 (default 0: stays, as a Word the user started does)
//   never_ready=0|1               started by COM: never register the class (default 0), as a Word stuck
//                                 in a dialog before it serves; it waits for the stop file or the timeout
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "common/extensibility.h"
#include "common/scenario.h"

namespace standin::word {

struct AddIn {
    std::wstring progId;
    bool connected = false;
    // The add-in's object while Word has it loaded (one reference, released when it is unloaded).
    IDTExtensibility2* loaded = nullptr;
    // Where its key is: HKEY_CURRENT_USER unless it was found under HKEY_LOCAL_MACHINE.
    HKEY root = HKEY_CURRENT_USER;
};

struct CommandBar {
    std::wstring name;
    std::vector<int> controls;  // the controls still there, by number (1..n at start)
    bool deleted = false;
};

enum class UnknownBar { Fail, Null };

struct WordModel {
    bool visible = false;
    std::vector<AddIn> addIns;
    std::vector<CommandBar> bars;
    UnknownBar unknownBar = UnknownBar::Fail;
    long displayAlerts = -1;  // wdAlertsAll, as Word starts
    // The application object, handed to add-ins as they are connected (not a counted reference: it
    // lives while its clients use it); whether the start-up add-ins were loaded.
    IDispatch* application = nullptr;
    bool started = false;
};

// Builds the model from the scenario; malformed values fall back to the defaults (an unknown
// unknown_bar value is journaled as a scenario-error).
std::shared_ptr<WordModel> ModelFromScenario(const Scenario& scenario);

}  // namespace standin::word
