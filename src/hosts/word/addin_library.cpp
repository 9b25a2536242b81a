#include "hosts/word/addin_library.h"

#include <windows.h>

#include "platform/errors.h"
#include "platform/handles.h"
#include "platform/run/run_deadline.h"
#include "platform/run/run_log.h"
#include "platform/run/system_error.h"
#include "platform/system/app_paths.h"
#include "platform/text/format.h"

namespace cx {
namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

// Indexed by the register flag.
constexpr const char* kEntryPoints[] = {"DllUnregisterServer", "DllRegisterServer"};

}  // namespace

void RegisterAddinLibrary(const std::wstring& fileName, bool doRegister) {
    UniqueModule library;
    DWORD loadError = 0;
    const std::wstring path = GetAppDir() + fileName;
    {
        // No system dialog for a missing or broken file: the caller reports it.
        const ScopedErrorMode quiet(SEM_NOOPENFILEERRORBOX);
        library.reset(::LoadLibraryW(path.c_str()));
        loadError = ::GetLastError();
    }
    if (!library) throw Exception(FormatText(L"%s: %s", {SysErrorMessage(loadError), fileName}));

    const char* entryName = kEntryPoints[doRegister ? 1 : 0];
    const FARPROC address = ::GetProcAddress(library.get(), entryName);
    if (!address) RaiseLastOSError();
    // Through void(*)(): the one function type GCC lets any other be cast from.
    const auto entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(address));
    HRESULT hr = S_OK;
    {
        const ScopedWait wait(L"the add-in library's registration to return: ", path);
        hr = entry();
    }
    LogLibraryCall(path, entryName, hr);
    if (FAILED(hr)) RaiseOleSysError(hr);
}

}  // namespace cx
