// The Word add-in for every user of the machine ("am" with "wi" or "wu"): the add-in key under
// HKEY_LOCAL_MACHINE, which every user's Word reads at its start, in place of Word automation, which
// runs only in the user's own session (and which Microsoft does not support for the system account
// that deployments run as). A user's own HKEY_CURRENT_USER entry for the add-in, where there is one,
// overrides the machine's for that user.
#pragma once

#include <cstdint>

namespace cx {

// Under HKEY_LOCAL_MACHINE, in the registry view of the Word that was found (the 32-bit one when its
// bitness cannot be told).
inline constexpr wchar_t kMachineWordAddinKey[] =
    L"\\Software\\Microsoft\\Office\\Word\\Addins\\CVWordAddin2.WordAddIn2";
// Word loads the add-in at its start.
inline constexpr std::uint32_t kLoadAtStartup = 3;

// kWordMissing when no Word of version 9 or later is registered; otherwise the add-in libraries are
// registered as "wi" registers them (RegisterAddinForWord) and the machine's add-in key is written:
// kWordMustRestart when a Word process runs in any session (that Word loads the add-in at its next
// start), else kWordAddinDone. Nothing is done through automation and nothing is written under
// HKEY_CURRENT_USER. Raises for library failures, ERegistryExError "Unable to open key \"%s\" for
// write" when the key cannot be created, and ERegistryException "Failed to set data for '%s'" when a
// value cannot be written.
std::int32_t InstallWordAddinForAllUsers();

// Deletes the machine's add-in key in both registry views (also when Word is gone: nothing else
// would), then, when a Word of version 9 or later is registered, unregisters the libraries as "wu" does
// (kWordAddinDone); kWordMissing otherwise, the library untouched. Raises
// ERegistryExError "Unable to open key \"%s\" for write" when a key that is there cannot be deleted,
// and for library failures.
std::int32_t UninstallWordAddinForAllUsers();

}  // namespace cx
