#include "platform/system/app_paths.h"

#include <windows.h>

#include "platform/run/system_error.h"

namespace cx {

std::wstring GetAppFileName() {
    // Grow the buffer rather than cut the path at MAX_PATH: long install paths exist.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) RaiseLastOSError();
        if (length < size) {
            buffer.resize(length);
            break;
        }
        if (size >= 32768) RaiseOSError(ERROR_INSUFFICIENT_BUFFER);
        buffer.resize(size * 2);
    }
    const std::size_t nul = buffer.find(L'\0');
    if (nul != std::wstring::npos) buffer.resize(nul);
    return buffer;
}

std::wstring GetAppDir() { return ExtractPathDir(GetAppFileName()); }

}  // namespace cx
