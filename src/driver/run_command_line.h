// The driver: tests the switches in table order, runs one handler, and is the one place where an
// exception becomes the error box and an exit code.
#pragma once

#include <cstdint>

#include "driver/switch_table.h"
#include "driver/switches.h"

namespace cx {

// Returns the exit code: a handler's result, or -2 when nothing ended the run, the user cancelled or an
// error was shown. With no parameters at all it runs the interactive mode.
std::int32_t RunCommandLine(const Parameters& params, const CommandSet& commands);

// The interactive mode: asks Yes/No/Cancel and installs or removes the Word add-in.
std::int32_t RunInteractive(const InteractiveActions& actions);

}  // namespace cx
