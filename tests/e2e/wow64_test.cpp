// The 32-bit tool on 64-bit Windows (WOW64), where a 32-bit program sees its own view of parts of the
// registry: a 64-bit office suite or Word registers its class in the 64-bit view only, and the 32-bit
// WPS reads its add-ins below Wow6432Node. These cases need a 64-bit prefix and are skipped in a 32-bit
// one; the tests write the 64-bit view with KEY_WOW64_64KEY from this 32-bit process.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "e2e/word_fixture.h"
#include "e2e/writer_suite.h"

namespace {

using writertest::WriterScene;

using wordtest::In64BitPrefix;
using wordtest::kNeeds64BitPrefix;

constexpr REGSAM k64BitView = KEY_WOW64_64KEY;

const std::wstring kSuiteClass = L"CLSID\\{82154420-0FBF-11d4-8313-005004526AB4}";
const std::wstring kOtherSuite = L"C:\\Program Files\\Office Standin 64";

class SuiteInBothViews : public ::testing::Test {
protected:
    void SetUp() override {
        if (!In64BitPrefix()) GTEST_SKIP() << kNeeds64BitPrefix;
        // The stand-in suite's files; which view names it is up to each case.
        scene_.InstallSuite();
    }
    ~SuiteInBothViews() override {
        cxtest::DeleteTree(HKEY_CLASSES_ROOT, kSuiteClass, k64BitView);
        cxtest::RemoveTree(kOtherSuite);
    }

    static std::wstring Tool() { return WriterScene::SuitePath(L"unopkg.com"); }
    static std::wstring OtherTool() { return kOtherSuite + L"\\program\\unopkg.com"; }
    // `programDir` with its trailing backslash.
    static void Register64(const std::wstring& programDir) {
        cxtest::WriteString(HKEY_CLASSES_ROOT, kSuiteClass + L"\\LocalServer32", L"",
                            programDir + L"soffice.exe -nodefault", REG_SZ, k64BitView);
    }
    // A second suite with a package tool of its own.
    static void InstallOtherSuite() {
        cxtest::MakeDirs(kOtherSuite + L"\\program");
        ASSERT_TRUE(::CopyFileW(cxtest::StandinPath(L"unopkg.com").c_str(), OtherTool().c_str(), FALSE));
    }
    static std::vector<std::wstring> OtherToolJournal() {
        return cxtest::ReadLines(OtherTool() + L".journal");
    }

    WriterScene scene_;
};

TEST_F(SuiteInBothViews, ASuiteOnlyInThe64BitViewIsFoundAndItsPackageToolRun) {
    cxtest::DeleteTree(HKEY_CLASSES_ROOT, kSuiteClass);
    Register64(WriterScene::SuitePath(L""));
    ASSERT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, kSuiteClass)) << "the 32-bit view names no suite";

    EXPECT_EQ(scene_.Run(L"/ov").exitCode, 0);
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 0);
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 0);
    EXPECT_EQ(WriterScene::ToolCommandLines(), scene_.InstallAndRemoveCommands(Tool()));
}

TEST_F(SuiteInBothViews, The32BitViewComesFirstUnlessItLeadsToNoPackageTool) {
    InstallOtherSuite();
    Register64(kOtherSuite + L"\\program\\");
    EXPECT_EQ(scene_.Run(L"/oi").exitCode, 0);
    EXPECT_EQ(WriterScene::ToolCommandLines().size(), 1u);
    EXPECT_TRUE(OtherToolJournal().empty()) << "the 64-bit suite's tool ran";

    // A 32-bit registration left behind by an uninstalled suite does not hide the 64-bit one.
    WriterScene::RegisterSuite(L"C:\\Program Files\\Gone Suite\\program\\soffice.exe");
    EXPECT_EQ(scene_.Run(L"/ou").exitCode, 0);
    EXPECT_THAT(OtherToolJournal(),
                ::testing::Contains(L"cmdline=\"" + OtherTool() + L"\" remove \"CVOOAddin.oxt\""));
    EXPECT_EQ(WriterScene::ToolCommandLines().size(), 1u);
}

// Word installed as a 64-bit program: its ProgID keys are shared by both views, its class is in the
// 64-bit view only, and COM starts a local server of either bitness.
class WordIn64BitView : public wordtest::WordTest {
protected:
    WordIn64BitView() : WordTest(L"word 64") {}

    void SetUp() override {
        if (!In64BitPrefix()) GTEST_SKIP() << kNeeds64BitPrefix;
        WordTest::SetUp();
        const auto clsid = cxtest::ReadString(HKEY_CLASSES_ROOT, L"Word.Application\\CLSID", L"");
        ASSERT_TRUE(clsid);
        classKey_ = L"CLSID\\" + *clsid;
        const auto server = cxtest::ReadString(HKEY_CLASSES_ROOT, classKey_ + L"\\LocalServer32", L"");
        ASSERT_TRUE(server);
        cxtest::WriteString(HKEY_CLASSES_ROOT, classKey_ + L"\\LocalServer32", L"", *server, REG_SZ,
                            k64BitView);
        cxtest::DeleteTree(HKEY_CLASSES_ROOT, classKey_);
        ASSERT_FALSE(cxtest::KeyExists(HKEY_CLASSES_ROOT, classKey_));
    }
    void TearDown() override {
        if (!classKey_.empty()) cxtest::DeleteTree(HKEY_CLASSES_ROOT, classKey_, k64BitView);
        WordTest::TearDown();
    }

    std::wstring classKey_;
};

TEST_F(WordIn64BitView, ProbeAndInstallWorkAsWithA32BitWord) {
    EXPECT_EQ(Run(L"/wv").exitCode, 0);
    Scenario({L"addin=CVWordAddin2.WordAddIn2", L"bar=Corvane2 Toolbar:1"});
    const auto run = Run(L"/wi");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(WordWasStartedByCom());
    EXPECT_THAT(WordCalls(), ::testing::Contains(L"COMAddIn#1.Connect put VT_BOOL -1"));
    ExpectRegisteredAndLoadedByWord();
}

// The 32-bit WPS reads HKLM\Software\Kingsoft through its own view, which is Wow6432Node.
TEST(WpsUnderWow64, PiWritesBelowWow6432NodeAndPuRemovesItThere) {
    if (!In64BitPrefix()) GTEST_SKIP() << kNeeds64BitPrefix;
    const std::wstring native = L"SOFTWARE\\Kingsoft";
    const std::wstring redirected = L"SOFTWARE\\Wow6432Node\\Kingsoft";
    const std::wstring addins = L"\\Office\\WPS\\Addins";
    const std::wstring addin = addins + L"\\CVWPSAddin2.TCVWPSAddin2";
    cxtest::DeleteTree(HKEY_LOCAL_MACHINE, redirected, k64BitView);

    EXPECT_EQ(cxtest::RunProgram(cxtest::ToolExePath(), L"/pi").exitCode, 0);
    EXPECT_EQ(cxtest::ReadString(HKEY_LOCAL_MACHINE, redirected + addin, L"FriendlyName", k64BitView),
              L"TCVWPSAddin2");
    EXPECT_FALSE(cxtest::KeyExists(HKEY_LOCAL_MACHINE, native, k64BitView))
        << "written where 64-bit programs read";

    EXPECT_EQ(cxtest::RunProgram(cxtest::ToolExePath(), L"/pu").exitCode, 0);
    EXPECT_FALSE(cxtest::KeyExists(HKEY_LOCAL_MACHINE, redirected + addin, k64BitView));
    EXPECT_TRUE(cxtest::KeyExists(HKEY_LOCAL_MACHINE, redirected + addins, k64BitView));
    cxtest::DeleteTree(HKEY_LOCAL_MACHINE, redirected, k64BitView);
}

}  // namespace
