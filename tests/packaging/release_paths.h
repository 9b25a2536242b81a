// Where the packaging tests find what tests/packaging/make_release.sh made.
#pragma once

#include <string>

namespace cxtest {

// `name` inside the release test folder (CX_RELEASE_TEST_DIR, a Windows path).
inline std::wstring ReleasePath(const std::wstring& name) {
    return std::wstring(CX_RELEASE_TEST_DIR) + L"\\" + name;
}

}  // namespace cxtest
