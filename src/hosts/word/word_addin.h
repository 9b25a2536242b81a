// The Word add-in switched on and off: the "wi" and "wu" handlers and the steps they are made of.
#pragma once

#include <cstdint>

namespace cx {

inline constexpr wchar_t kWordAddinLibrary[] = L"CVWordAddin2.dll";
inline constexpr wchar_t kWordAddinProgId[] = L"CVWordAddin2.WordAddIn2";
// Under HKEY_CURRENT_USER; its "Active" value tells whether Word should load the add-in.
inline constexpr wchar_t kWordAddinKey[] =
    L"\\Software\\Microsoft\\Office\\Word\\Addins\\CVWordAddin2.WordAddIn2";

// Handler results.
inline constexpr std::int32_t kWordAddinDone = 0;
inline constexpr std::int32_t kWordMissing = 1;      // Word not registered or older than version 9
inline constexpr std::int32_t kWordMustRestart = 2;  // connected in a Word that was already running

// Registers the add-in library that Word can load (RegisterAddinForWord) and connects the add-in in
// Word. Raises for library failures and for automation failures that the Word steps do not absorb.
std::int32_t InstallWordAddin();

// Disconnects an active add-in in Word (absorbing every failure there), then unregisters every
// shipped build of the library (UnregisterAddinLibraries). Raises for library failures only.
std::int32_t UninstallWordAddin();

// Connects the add-in in the running Word (kWordMustRestart), or in a Word started for the purpose
// and closed again without saving (kWordAddinDone, also when no Word could be started; kWordMustRestart
// when a Word process that automation could not reach runs meanwhile). Raises.
std::int32_t ConnectWordAddin();

// Disconnects the add-in in the running Word or in one started for the purpose and closed again.
// Never raises: the first failure ends it.
void DisconnectWordAddin();

// The add-in key's "Active" DWORD is not 0; false when it cannot be read. Never raises.
bool IsWordAddinActive();

// Creates the add-in key if needed and sets "Active". Never raises.
void WriteWordAddinKey(bool active);

}  // namespace cx
