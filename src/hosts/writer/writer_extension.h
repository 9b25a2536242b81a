// The Writer integration: the suite's package tool installs or removes the extension package
// "CVOOAddin.oxt" that lies beside the tool, and the application directory goes on or off the user's
// PATH. Handlers of the switches "ov", "oi" and "ou".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cx {

// "ov": whether the package tool is there.
bool ProbeWriterSuite();

// Whether the suite runs with a text document as its current component. Initialises COM for the call;
// never raises and creates no automation object while the suite is not running.
bool IsWriterDocumentOpen();

// "oi": 0 installed; 1 the PATH entry could not be changed, or the package tool is missing, could not
// start, failed or printed anything; 2 installed while Writer runs with a text document. The PATH
// entry is added first, and the package tool runs whether or not that succeeded; a registry failure
// while writing the PATH raises ERegistryExError before the package tool runs.
std::int32_t InstallWriterExtension();

// "ou": as InstallWriterExtension, removing the PATH entry and the package.
std::int32_t UninstallWriterExtension();

// "am" with "oi": as InstallWriterExtension for every user of the machine: the folder goes on the
// system PATH and the package tool installs the package with "--shared". While the suite runs in any
// session (its package tool sees only its own user's instance, and a shared package must not change
// under another) nothing is changed and the result is 1. 2 when the suite started meanwhile.
std::int32_t InstallWriterExtensionForAllUsers();

// "am" with "ou": as InstallWriterExtensionForAllUsers, removing the system PATH entry and the shared
// package.
std::int32_t UninstallWriterExtensionForAllUsers();

}  // namespace cx
