// The add-in library that the user's Word can load: the 64-bit build (x64\CVWordAddin2.dll) for a
// 64-bit Word, the 32-bit one for a 32-bit Word, each registered in its own registry view, and "wi"
// counting as installed only when Word loads the add-in. Word's bitness exists only in a 64-bit prefix;
// the 32-bit prefix shows that 32-bit Windows passes the 64-bit build over.
#include <gmock/gmock.h>

#include "e2e/word_fixture.h"

namespace {

using namespace wordtest;

constexpr REGSAM k32BitView = KEY_WOW64_32KEY;
constexpr REGSAM k64BitView = KEY_WOW64_64KEY;

class WordBitness : public WordTest {
protected:
    WordBitness() : WordTest(L"word bitness") {}

    void SetUp() override {
        if (!In64BitPrefix()) GTEST_SKIP() << kNeeds64BitPrefix;
        WordTest::SetUp();
        Scenario({L"addin=CVWordAddin2.WordAddIn2", L"unknown_bar=null"});
    }

    // Word becomes the 64-bit stand-in, under the same name: its journal and scenario stay where they are.
    void Use64BitWord() {
        ASSERT_EQ(cxtest::RunProgram(Path(L"WordStandin.exe"), L"/unregserver").exitCode, 0);
        folder_.AddStandin(L"x64\\WordStandin.exe", L"WordStandin.exe");
        ASSERT_EQ(cxtest::RunProgram(Path(L"WordStandin.exe"), L"/regserver").exitCode, 0);
        cxtest::DeleteFileIfPresent(Path(L"WordStandin.exe.journal"));
    }
    void Ship64BitLibrary() const {
        cxtest::MakeDirs(Path(L"x64"));
        folder_.AddStandin(L"x64\\CVWordAddin2.dll", L"x64\\CVWordAddin2.dll");
    }

    std::vector<std::wstring> Addin64Journal() const {
        return cxtest::ReadLines(Path(L"x64\\CVWordAddin2.dll.journal"));
    }
    static std::optional<std::wstring> InprocServer(REGSAM view) {
        return cxtest::ReadString(HKEY_CLASSES_ROOT, std::wstring(kAddinClassKey) + L"\\InprocServer32", L"",
                                  view);
    }
    static std::wstring RegsvrText(const wchar_t* verb, const std::wstring& path, int code) {
        return L"The 64-bit add-in library \"" + path + L"\" could not be " + verb +
               L": regsvr32 ended with code " + std::to_wstring(code);
    }

    void ExpectErrorBox(const cxtest::RunResult& run, const std::wstring& text) const {
        EXPECT_EQ(run.exitCode, kNothingDone);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].text, text);
    }
};

TEST_F(WordBitness, A64BitWordLoadsThe64BitBuildAndWuTakesBothOutOfBothViews) {
    Use64BitWord();
    Ship64BitLibrary();
    const std::wstring library64 = Path(L"x64\\CVWordAddin2.dll");
    const auto run = Run(L"/wi");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_THAT(Addin64Journal(), ::testing::Contains(L"OnConnection bits=64 mode=0"));
    EXPECT_NE(cxtest::ReadDword(HKEY_CURRENT_USER, kAddinKey, L"LoadBehavior"),
              std::optional<std::uint32_t>(2));
    // Both builds are registered, each in its own view: a later 32-bit Office finds its own.
    EXPECT_EQ(InprocServer(k64BitView), library64);
    EXPECT_EQ(InprocServer(k32BitView), Path(L"CVWordAddin2.dll"));

    // The 64-bit build's unregistration fails: the 32-bit one is still taken out, and the ProgID that
    // both share stays for the 64-bit one, which remains registered.
    cxtest::WriteTextFile(Path(L"x64\\CVWordAddin2.dll.hresult"), L"0x80004005");
    ExpectErrorBox(Run(L"/wu"), RegsvrText(L"unregistered", library64, 5));
    EXPECT_FALSE(InprocServer(k32BitView));
    EXPECT_EQ(InprocServer(k64BitView), library64);
    EXPECT_TRUE(cxtest::KeyExists(HKEY_CLASSES_ROOT, kAddinProgId));

    cxtest::DeleteFileIfPresent(Path(L"x64\\CVWordAddin2.dll.hresult"));
    EXPECT_EQ(Run(L"/wu").exitCode, 0);
    EXPECT_FALSE(InprocServer(k32BitView));
    EXPECT_FALSE(InprocServer(k64BitView));
    EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, kAddinProgId));
}

TEST_F(WordBitness, AWordWhoseBuildIsNotShippedGetsNothingRegisteredAndIsNotStarted) {
    // A 32-bit Word with only the 64-bit build, then a 64-bit Word with only the 32-bit build.
    Ship64BitLibrary();
    ASSERT_TRUE(::DeleteFileW(Path(L"CVWordAddin2.dll").c_str()));
    for (const int bits : {32, 64}) {
        SCOPED_TRACE(bits);
        if (bits == 64) {
            Use64BitWord();
            folder_.AddStandin(L"CVWordAddin2.dll");
            ASSERT_TRUE(::DeleteFileW(Path(L"x64\\CVWordAddin2.dll").c_str()));
        }
        const std::wstring needed = Path(bits == 64 ? L"x64\\CVWordAddin2.dll" : L"CVWordAddin2.dll");
        for (const wchar_t* args : {L"/wi", L"/wu"})
            ExpectErrorBox(Run(args), NeedsLibraryText(bits, needed));
        EXPECT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, kAddinProgId));
        EXPECT_FALSE(WordWasStartedByCom());
    }
    // Never registered; "wu" still unregistered the build that was there.
    const std::vector<std::wstring> unregistered = {L"load", L"DllUnregisterServer", L"unload"};
    EXPECT_EQ(Addin64Journal(), unregistered);
    EXPECT_EQ(AddinJournal(), unregistered);
}

TEST_F(WordBitness, ARegistrationThatA64BitWordCannotUseIsAnError) {
    Use64BitWord();
    Ship64BitLibrary();
    const std::wstring library64 = Path(L"x64\\CVWordAddin2.dll");
    struct Case {
        const wchar_t* setting;
        const wchar_t* value;
        std::wstring text;
    };
    const Case cases[] = {
        {L"hresult", L"0x80004005", RegsvrText(L"registered", library64, 5)},
        // regsvr32 succeeds, but nothing lands where Word looks.
        {L"registry", L"none",
         L"MS Word (64-bit) cannot load the add-in: the registration it reads does not name \"" + library64 +
             L"\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Text(c.setting));
        const std::wstring setting = Path(L"x64\\CVWordAddin2.dll.") + c.setting;
        cxtest::WriteTextFile(setting, c.value);
        ExpectErrorBox(Run(L"/wi"), c.text);
        cxtest::DeleteFileIfPresent(setting);
        EXPECT_FALSE(WordWasStartedByCom());
    }
}

class WordOn32BitWindows : public WordTest {
protected:
    WordOn32BitWindows() : WordTest(L"word bitness 32") {}
    void SetUp() override {
        if (In64BitPrefix()) GTEST_SKIP() << "32-bit Windows only";
        WordTest::SetUp();
    }
};

TEST_F(WordOn32BitWindows, The64BitBuildIsPassedOver) {
    cxtest::MakeDirs(Path(L"x64"));
    folder_.AddStandin(L"x64\\CVWordAddin2.dll", L"x64\\CVWordAddin2.dll");
    const std::wstring log = Path(L"run.log");
    EXPECT_EQ(Run(L"/wi \"/lo" + log + L"\"").exitCode, 0);
    EXPECT_EQ(AddinJournal(), (std::vector<std::wstring>{L"load", L"DllRegisterServer", L"unload"}));
    EXPECT_FALSE(cxtest::FileExists(Path(L"x64\\CVWordAddin2.dll.journal")));
    const std::wstring passedOver = L"add-in library \"" + Path(L"x64\\CVWordAddin2.dll") +
                                    L"\" not used: 64-bit, and this Windows is 32-bit";
    const auto lines = cxtest::ReadLines(log);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::wstring& line) {
        return line.find(passedOver) != std::wstring::npos;
    }));
}

}  // namespace
