// The stand-in's type library: Word's interfaces (word_interfaces.h) with their members and parameter
// types, as dual interfaces. Registering it tells COM how to marshal the application interface across
// processes (the tool asks for it by IID), and the running server dispatches every call through it. No
// IDL compiler is at hand, so the library is built at registration time.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <string>

namespace standin::word {

// Builds the library at `path` (a ".tlb" file) and registers it; a 64-bit server also builds and
// registers the 32-bit library beside it ("...32.tlb"), without which a 32-bit client cannot reach it.
HRESULT RegisterTypeLibrary(const std::wstring& path);
// Unregisters the libraries and deletes their files; a library that is not registered is no failure.
HRESULT UnregisterTypeLibrary(const std::wstring& path);
// The registered library (added reference), or null.
ITypeLib* LoadTypeLibrary();

}  // namespace standin::word
