// The add-in library's own registration: load it from the tool's folder and call its entry point.
#pragma once

#include <string>

namespace cx {

// Loads `fileName` from the tool's own folder (never through the system's search, which would also
// try the current directory and every folder on PATH in a process with administrator rights) and
// calls DllRegisterServer or DllUnregisterServer. Raises:
//   Exception "<system text>: <fileName>"     the library cannot be loaded
//   EOSError                                  the entry point is missing
//   EOleSysError                              the entry point returned a failure HRESULT
// The library is freed again on every way out.
void RegisterAddinLibrary(const std::wstring& fileName, bool doRegister);

}  // namespace cx
