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

}  // namespace cx
