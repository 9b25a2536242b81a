#include "platform/run/system_error.h"

#include "platform/errors.h"
#include "platform/text/res_string.h"

namespace cx {

std::wstring SysErrorMessage(DWORD code) {
    wchar_t buffer[256];
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY,
                         nullptr, code, 0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() <= L' ' || text.back() == L'.')) text.pop_back();
    return text;
}

void RaiseOSError(DWORD code) {
    if (code == 0) throw EOSError(LoadResString(IDS_UNKNOWN_OS_ERROR), code);
    throw EOSError(FormatResString(IDS_OS_ERROR, {static_cast<std::int64_t>(static_cast<std::int32_t>(code)),
                                                  SysErrorMessage(code)}),
                   code);
}

std::wstring OleErrorMessage(HRESULT hr) {
    std::wstring text = SysErrorMessage(static_cast<DWORD>(hr));
    if (text.empty()) text = FormatResString(IDS_OLE_ERROR, {static_cast<std::int32_t>(hr)});
    return text;
}

void RaiseAssertion(const wchar_t* unit, int line) {
    throw EAssertionFailed(FormatResString(IDS_ASSERT_FORMAT, {LoadResString(IDS_ASSERTION_FAILED), unit, line}));
}

void RaiseOleSysError(HRESULT hr) { throw EOleSysError(OleErrorMessage(hr), static_cast<std::int32_t>(hr)); }

}  // namespace cx
