// The release as it ships, signed with a throwaway certificate (tests/packaging/make_release.sh): the
// tool laid out by `cmake --install`, stripped and signed, and the variant whose catalogues were
// appended before signing. Both must still run and find every shipped catalogue.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "packaging/release_paths.h"
#include "support/install_folder.h"
#include "support/registry_probe.h"
#include "support/tool_process.h"
#include "translation/shipped_captions.h"

namespace {

const std::wstring kMenuExt = L"Software\\Microsoft\\Internet Explorer\\MenuExt";

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end());
    return names;
}

// The captions of the browser entries that `exe` writes for "ei" with `code`, sorted; the entries are
// removed again.
std::vector<std::wstring> Captions(const std::wstring& exe, const std::wstring& code) {
    cxtest::DeleteTree(HKEY_CURRENT_USER, kMenuExt);
    const cxtest::RunResult run = cxtest::RunProgram(exe, L"/ei" + code);
    EXPECT_EQ(run.exitCode, 0) << "/ei" << ::testing::PrintToString(code);
    EXPECT_TRUE(run.boxes.empty());
    const std::vector<std::wstring> captions = Sorted(cxtest::SubKeys(HKEY_CURRENT_USER, kMenuExt));
    cxtest::DeleteTree(HKEY_CURRENT_USER, kMenuExt);
    return captions;
}

std::wstring VersionString(const std::wstring& exe, const std::wstring& name) {
    DWORD ignored = 0;
    std::vector<BYTE> info(::GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    if (info.empty() || !::GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
        return L"(no version information)";
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
    if (!::VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length))
        return L"(no " + name + L")";
    return text;
}

TEST(SignedRelease, TheLaidOutToolTranslatesFromItsLocaleFolderAndCarriesThePackageVersion) {
    const std::wstring exe = cxtest::ReleasePath(L"release\\CXAddinReg.exe");
    EXPECT_EQ(Captions(exe, L"de"), Sorted(cxtest::kGermanCaptions));
    EXPECT_EQ(Captions(exe, L"zh_CN"), Sorted(cxtest::kChineseCaptions));
    // The package is named CXAddinReg-<version>-win32.zip; the exe carries the same version.
    EXPECT_EQ(VersionString(exe, L"FileVersion"), std::wstring(CX_PACKAGE_VERSION) + L".0");
    EXPECT_EQ(VersionString(exe, L"ProductVersion"), std::wstring(CX_PACKAGE_VERSION) + L".0");
}

// Signing appends the signature after the catalogue chain; the last catalogue must not take it for
// part of its name.
TEST(SignedRelease, CataloguesAppendedBeforeSigningAreAllFound) {
    const cxtest::InstallFolder folder(L"signed embedded");
    folder.CopyIn(cxtest::ReleasePath(L"embedded\\CXAddinReg.exe"), L"CXAddinReg.exe");
    EXPECT_EQ(Captions(folder.Tool(), L"de"), Sorted(cxtest::kGermanCaptions));
    EXPECT_EQ(Captions(folder.Tool(), L"zh_CN"), Sorted(cxtest::kChineseCaptions));
}

}  // namespace
