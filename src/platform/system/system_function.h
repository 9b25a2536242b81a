// Functions that not every supported Windows has, looked up at run time instead of imported, so that
// their absence costs a feature, never the start of the program.
#pragma once

#include <windows.h>

namespace cx {

// The function `name` of `module` as type F (a function pointer); null when the module is null or
// lacks it.
template <typename F>
F FindSystemFunction(HMODULE module, const char* name) {
    // Through void(*)(): the one function type GCC lets any other be cast from.
    return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)))
                  : nullptr;
}

// kernel32, which every process has loaded.
inline HMODULE Kernel32() {
    return ::GetModuleHandleW(L"kernel32.dll");
}

}  // namespace cx
