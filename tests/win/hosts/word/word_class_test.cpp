// Which registration of "Word.Application" the tool follows (its class, version and server), and how it
// activates that class: elevated only the machine's registration counts, whatever the user's own
// classes say, and only as a local server.
#include "hosts/word/word_class.h"

#include <gtest/gtest.h>

#include <string>

#include "hosts/word/word_bitness.h"
#include "hosts/word/word_version.h"
#include "support/registry_probe.h"

namespace cx {
namespace {

// Under HKEY_LOCAL_MACHINE the machine's classes, under HKEY_CURRENT_USER the user's own.
const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kMachineWord = L"{5C1E0A2B-7D3F-4E91-B6A8-0F2C9D4E8A11}";
const std::wstring kUserWord = L"{A9F3B7C2-1E4D-4A6B-8C05-3D7E2F9B1C44}";

// A "Word.Application" of `version` whose class `clsid` names a server of its own.
void Register(HKEY root, const std::wstring& clsid, const std::wstring& version) {
    cxtest::WriteString(root, kClasses + L"Word.Application\\CLSID", L"", clsid);
    cxtest::WriteString(root, kClasses + L"Word.Application\\CurVer", L"", L"Word.Application." + version);
    cxtest::WriteString(root, kClasses + L"CLSID\\" + clsid + L"\\LocalServer32", L"", clsid + L".exe");
}

std::wstring Activation(const CLSID* clsid, DWORD context) {
    wchar_t text[40] = L"no class";
    if (clsid) ::StringFromGUID2(*clsid, text, 40);
    return std::wstring(text) + L" context " + std::to_wstring(context);
}

// Unelevated, as ever: the class the system's own ProgID lookup answers (Wine's reads the machine's
// classes only), in-process or local server.
std::wstring AsEver() {
    CLSID clsid{};
    if (FAILED(::CLSIDFromProgID(L"Word.Application", &clsid))) return Activation(nullptr, 0);
    return Activation(&clsid, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER);
}

// Where a lookup leads: the class and how it is activated, Word's version, its server.
std::wstring Follows(const ClassesLookup& lookup) {
    const std::optional<WordClass> word = FindWordClass(lookup);
    return Activation(word ? &word->clsid : nullptr, word ? word->context : 0) + L", version " +
           std::to_wstring(GetWordVersion(lookup)) + L", server " + ReadWordServerCommand(lookup, 0);
}

class WordClassTest : public ::testing::Test {
protected:
    ~WordClassTest() override {
        for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
            for (const std::wstring& clsid : {kMachineWord, kUserWord})
                cxtest::DeleteTree(root, kClasses + L"CLSID\\" + clsid);
        }
        cxtest::DeleteTree(HKEY_CURRENT_USER, kClasses + L"Word.Application");
    }
    // Another test's Word stays registered for the machine.
    const cxtest::SavedTree machineWord_{HKEY_LOCAL_MACHINE, kClasses + L"Word.Application"};
};

TEST_F(WordClassTest, ElevatedOnlyTheMachinesRegistrationCountsAndRunsOutOfProcess) {
    Register(HKEY_CURRENT_USER, kUserWord, L"16");
    const cxtest::UserClassesFirst merged;
    // Unelevated, version and server come from the merged classes, the user's first.
    const std::wstring user = L", version 16, server " + kUserWord + L".exe";
    EXPECT_EQ(Follows({.elevated = false}), AsEver() + user);
    EXPECT_EQ(Follows({.elevated = true}), L"no class context 0, version -1, server ")
        << "a Word registered for this user";

    Register(HKEY_LOCAL_MACHINE, kMachineWord, L"11");
    EXPECT_EQ(Follows({.elevated = false}), AsEver() + user);
    EXPECT_EQ(Follows({.elevated = true}), kMachineWord + L" context " +
                                               std::to_wstring(CLSCTX_LOCAL_SERVER) +
                                               L", version 11, server " + kMachineWord + L".exe");
}

}  // namespace
}  // namespace cx
