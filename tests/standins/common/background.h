// Shared by the stand-ins: starting a program that outlives its starter, as a package tool starts the
// office process behind it.
#pragma once

#include <string>

namespace standin {

// Starts `commandLine` without waiting for it. The program inherits this one's standard output and
// error, so it writes where this one writes for as long as it runs. False when it cannot be started.
bool StartInBackground(const std::wstring& commandLine);

}  // namespace standin
