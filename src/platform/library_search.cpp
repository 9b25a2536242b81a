#include "platform/library_search.h"

#include <windows.h>

namespace cx {

// SetDefaultDllDirectories is missing before Windows 8 (and on Windows 7 without its update), so it
// is looked up at run time; SetDllDirectoryW(L"") takes the current directory out of the search where
// it is missing.
void RestrictLibrarySearch() {
    ::SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const FARPROC address = kernel ? ::GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    if (!address) return;
    const auto setDefault =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(address));
    setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace cx
