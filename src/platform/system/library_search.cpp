#include "platform/system/library_search.h"

#include <windows.h>

#include "platform/system/system_function.h"

namespace cx {

// SetDefaultDllDirectories is missing before Windows 8 (and on Windows 7 without its update), so it
// is looked up at run time; SetDllDirectoryW(L"") takes the current directory out of the search where
// it is missing.
void RestrictLibrarySearch() {
    ::SetDllDirectoryW(L"");
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault =
        FindSystemFunction<SetDefaultDllDirectoriesFn>(Kernel32(), "SetDefaultDllDirectories");
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace cx
