// System message texts and the errors built from them.
#pragma once

#include <windows.h>

#include <string>

namespace cx {

// The system's message for a Win32 error or an HRESULT, inserts ignored, trailing blanks, control
// characters and full stops removed; empty when the system has none.
std::wstring SysErrorMessage(DWORD code);

// Raises EOSError for `code`: "System Error.  Code: %d.\r\n%s", or "A call to an OS function failed"
// when the code is 0.
[[noreturn]] void RaiseOSError(DWORD code);
[[noreturn]] inline void RaiseLastOSError() { RaiseOSError(::GetLastError()); }

// The system's text for an HRESULT, or "OLE error %.8x" when it has none.
std::wstring OleErrorMessage(HRESULT hr);

// Raises EAssertionFailed "Assertion failure (<unit>, line <line>)": a violated precondition, the
// caller's programming error.
[[noreturn]] void RaiseAssertion(const wchar_t* unit, int line);

// Raises EOleSysError with OleErrorMessage(hr).
[[noreturn]] void RaiseOleSysError(HRESULT hr);

}  // namespace cx
