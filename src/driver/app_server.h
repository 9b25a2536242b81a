// Registration of the main application's automation server.
#pragma once

namespace cx {

// Starts "Corvane.exe" from the tool's directory with "/regserver" or "/unregserver" and waits for it.
// True when it ran and exited with 0. A missing or failing program only gives false; raises only when
// the tool's own path cannot be queried.
bool RegisterAppServer(bool doRegister);

}  // namespace cx
