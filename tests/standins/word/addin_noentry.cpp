// A broken build of the Word add-in library: it loads, but exports neither DllRegisterServer nor
// DllUnregisterServer. Tests copy it under the name CVWordAddin2.dll. It journals "load", "unload" and
// "unload process-exit" like the working one.
#include <windows.h>

#include "common/journal.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) standin::Journal(L"load");
    if (reason == DLL_PROCESS_DETACH) standin::Journal(reserved ? L"unload process-exit" : L"unload");
    return TRUE;
}

// Something to export, so that the library is an ordinary DLL with an export table.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return S_FALSE;
}
