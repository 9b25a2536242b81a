#include "platform/run/crash_filter.h"

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/run/run_deadline.h"
#include "platform/text/format.h"

namespace cx {
namespace {

// The module that holds `address`, by its path; "unknown module" when there is none.
std::wstring ModuleAt(const void* address) {
    HMODULE module = nullptr;
    wchar_t path[MAX_PATH] = {};
    if (!::GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module) ||
        ::GetModuleFileNameW(module, path, MAX_PATH) == 0) {
        return L"unknown module";
    }
    return path;
}

LONG WINAPI OnFault(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers ? pointers->ExceptionRecord : nullptr;
    const auto code = record ? static_cast<std::uint32_t>(record->ExceptionCode) : 0u;
    const void* address = record ? record->ExceptionAddress : nullptr;
    EndRunNow(FormatText(L"the tool's process faulted: exception 0x%.8x at 0x%.8x in %s, thread %u",
                         {code, static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(address)),
                          ModuleAt(address), ::GetCurrentThreadId()}));
}

}  // namespace

void InstallCrashFilter() {
    ::SetUnhandledExceptionFilter(&OnFault);
}

}  // namespace cx
