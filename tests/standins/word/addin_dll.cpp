// Stand-in for the Word add-in library "CVWordAddin2.dll". Its registration entry points journal the
// call to "CVWordAddin2.dll.journal" beside the library and return the HRESULT written in
// "CVWordAddin2.dll.hresult" beside it (C notation: 0x80004005 or -2147467259; S_OK when absent);
// the word "fault" there makes them fault instead (an access violation), as a broken build would.
// Journal lines: "load" (the library was loaded), "DllRegisterServer", "DllUnregisterServer",
// "unload" (FreeLibrary) and "unload process-exit" (still loaded when its process ended).
#include <windows.h>

#include "common/journal.h"
#include "common/scenario.h"

namespace {

HRESULT ConfiguredResult() {
    const auto text = standin::ReadSetting(L"hresult");
    if (text && text->rfind("fault", 0) == 0) {
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    }
    return text ? static_cast<HRESULT>(standin::ParseNumber(*text).value_or(E_UNEXPECTED)) : S_OK;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) standin::Journal(L"load");
    if (reason == DLL_PROCESS_DETACH) standin::Journal(reserved ? L"unload process-exit" : L"unload");
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    standin::Journal(L"DllRegisterServer");
    return ConfiguredResult();
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    standin::Journal(L"DllUnregisterServer");
    return ConfiguredResult();
}
