// Binds a delay-loaded import at its first call (see tools/delayload/gen_delay_imports.py): loads the
// DLL from the system folder, stores the function's address in its import slot and returns it.
#include <windows.h>

extern "C" FARPROC __stdcall cx_delay_resolve(const char* dll, const char* name, FARPROC* slot) {
    HMODULE module = ::LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && ::GetLastError() == ERROR_INVALID_PARAMETER) module = ::LoadLibraryA(dll);  // before KB2533623
    const FARPROC address = module ? ::GetProcAddress(module, name) : nullptr;
    if (!address) {
        // A system DLL without a function the tool was built against: nothing sensible can go on.
        ::FatalAppExitA(0, name);
    }
    ::InterlockedExchange(reinterpret_cast<volatile LONG*>(slot), reinterpret_cast<LONG>(address));
    return address;
}
