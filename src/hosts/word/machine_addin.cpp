#include "hosts/word/machine_addin.h"

#include <windows.h>

#include "hosts/word/addin_registration.h"
#include "hosts/word/word_addin.h"
#include "hosts/word/word_app.h"
#include "hosts/word/word_bitness.h"
#include "hosts/word/word_version.h"
#include "platform/com/com_apartment.h"
#include "platform/errors.h"
#include "platform/process/own_process.h"
#include "platform/process/running_processes.h"
#include "platform/registry/registry_accessor.h"
#include "platform/registry/registry_view.h"
#include "platform/run/run_log.h"
#include "platform/text/res_string.h"

namespace cx {
namespace {

// What Word's COM add-in list shows for the add-in. One value for every user, whatever their language.
constexpr wchar_t kFriendlyName[] = L"Corvane2";
constexpr wchar_t kDescription[] = L"Corvane2 reference manager add-in for Microsoft Word";

// The view the found Word reads its add-in keys from (a 32-bit Word on 64-bit Windows: Wow6432Node).
// A Word of unknown bitness is served the 32-bit library, and so this process's own view.
REGSAM WordView() {
    return WordRegistryView(GetWordBitness(OwnClassesLookup()));
}

[[noreturn]] void RaiseKeyWriteError() {
    throw ERegistryExError(FormatResString(IDS_REG_OPEN_WRITE, {kMachineWordAddinKey}));
}

// Every user's Word, in whatever session: each loads the add-in only at its next start.
bool WordRunsAnywhere() {
    ProcessList processes;
    if (!GetRunningProcessNames(processes, false) || !HasProcessNamed(processes, kWordProcessName))
        return false;
    LogStep(L"Word runs in some session: it loads the add-in at its next start");
    return true;
}

}  // namespace

std::int32_t InstallWordAddinForAllUsers() {
    // Before the library: its registration may use COM itself.
    EnsureComApartment();
    if (!ProbeWordVersion()) return kWordMissing;
    RegisterAddinForWord();
    RegistryAccessor registry(HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS | WordView());
    if (!registry.OpenKey(kMachineWordAddinKey, true)) RaiseKeyWriteError();
    registry.WriteString(L"FriendlyName", kFriendlyName);
    registry.WriteString(L"Description", kDescription);
    registry.WriteInteger(L"LoadBehavior", static_cast<std::int32_t>(kLoadAtStartup));
    return WordRunsAnywhere() ? kWordMustRestart : kWordAddinDone;
}

std::int32_t UninstallWordAddinForAllUsers() {
    EnsureComApartment();
    for (const REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        if (!RegKeyExistsInView(HKEY_LOCAL_MACHINE, kMachineWordAddinKey, view)) continue;
        RegistryAccessor registry(HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS | view);
        // Word would go on loading an add-in whose library is gone.
        if (!registry.DeleteKey(kMachineWordAddinKey)) RaiseKeyWriteError();
    }
    if (!ProbeWordVersion()) return kWordMissing;
    UnregisterAddinLibraries();
    return kWordAddinDone;
}

}  // namespace cx
