#include "hosts/word/addin_library.h"

#include <windows.h>

#include "platform/app_paths.h"
#include "platform/errors.h"
#include "platform/format.h"
#include "platform/handles.h"
#include "platform/system_error.h"

namespace cx {
namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

// Indexed by the register flag.
constexpr const char* kEntryPoints[] = {"DllUnregisterServer", "DllRegisterServer"};

}  // namespace

void RegisterAddinLibrary(const std::wstring& fileName, bool doRegister) {
    UniqueModule library;
    DWORD loadError = 0;
    {
        // No system dialog for a missing or broken file: the caller reports it.
        const ScopedErrorMode quiet(SEM_NOOPENFILEERRORBOX);
        library.reset(::LoadLibraryW((GetAppDir() + fileName).c_str()));
        loadError = ::GetLastError();
    }
    if (!library) throw Exception(FormatText(L"%s: %s", {SysErrorMessage(loadError), fileName}));

    const FARPROC address = ::GetProcAddress(library.get(), kEntryPoints[doRegister ? 1 : 0]);
    if (!address) RaiseLastOSError();
    // Through void(*)(): the one function type GCC lets any other be cast from.
    const auto entry = reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(address));
    const HRESULT hr = entry();
    if (FAILED(hr)) RaiseOleSysError(hr);
}

}  // namespace cx
