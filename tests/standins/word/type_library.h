// The type library that makes Word's application interface reachable across processes: COM marshals an
// interface only when the registry says how, and registering a library that declares the interface as a
// dispatch interface gives it the IDispatch proxy. No IDL compiler is at hand, so the library is built
// at registration time.
#pragma once

#include <windows.h>

#include <string>

namespace standin::word {

// Builds the library at `path` (declaring the application interface, based on IDispatch) and registers it.
HRESULT RegisterTypeLibrary(const std::wstring& path);
// Unregisters the library and deletes the file at `path`; a library that is not registered is no failure.
HRESULT UnregisterTypeLibrary(const std::wstring& path);

}  // namespace standin::word
