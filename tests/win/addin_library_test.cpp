// The add-in library's registration as far as it can be seen from inside a process: the error for a
// library that is not there, and the error mode, which must be the caller's again afterwards.
#include "hosts/word/addin_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace cx {
namespace {

TEST(RegisterAddinLibrary, AMissingLibraryIsNamedAndTheErrorModeRestored) {
    const UINT callers = SEM_FAILCRITICALERRORS;
    const UINT before = ::SetErrorMode(callers);
    try {
        RegisterAddinLibrary(L"no such add-in.dll", true);
        ADD_FAILURE() << "no exception";
    } catch (const EOSError&) {
        ADD_FAILURE() << "not an operating-system error";
    } catch (const Exception& error) {
        const std::wstring suffix = L": no such add-in.dll";
        ASSERT_GT(error.Message().size(), suffix.size());
        EXPECT_EQ(error.Message().substr(error.Message().size() - suffix.size()), suffix);
    }
    EXPECT_EQ(::SetErrorMode(before), callers);
}

}  // namespace
}  // namespace cx
