// "eu" and "ei": Internet Explorer's context-menu entries, found by the page path they open.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "support/install_folder.h"
#include "support/registry_probe.h"
#include "support/text_file.h"
#include "support/tool_process.h"

namespace {

constexpr std::int32_t kNothingDone = -2;
const HKEY kUser = HKEY_CURRENT_USER;
const std::wstring kExplorer = L"Software\\Microsoft\\Internet Explorer";
const std::wstring kMenuExt = kExplorer + L"\\MenuExt";

const std::wstring kNoteCaption = L"Add Content as Corvane2 Note";
const std::wstring kContentCaption = L"Add Content as Corvane2 Reference";
const std::wstring kUrlCaption = L"Add URL as Corvane2 Reference";
const std::wstring kNotePage = L"IEContext_Content_Note.htm";
const std::wstring kContentPage = L"IEContext_Content_Ref.htm";
const std::wstring kUrlPage = L"IEContext_Url_Ref.htm";

std::wstring Entry(const std::wstring& name) {
    return kMenuExt + L"\\" + name;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end());
    return names;
}

void AddEntry(const std::wstring& name, const std::wstring& page) {
    cxtest::WriteString(kUser, Entry(name), L"", page);
}

class IEContextMenuTest : public ::testing::Test {
protected:
    explicit IEContextMenuTest(const std::wstring& leaf = L"browser") : folder_(leaf) {
        cxtest::DeleteTree(kUser, kMenuExt);
    }
    ~IEContextMenuTest() override { cxtest::DeleteTree(kUser, kMenuExt); }

    std::wstring Page(const std::wstring& file) const { return folder_.Dir() + L"BrowserExt\\" + file; }
    cxtest::RunResult Run(const std::wstring& args) const { return cxtest::RunProgram(folder_.Tool(), args); }
    std::int32_t ExitCode(const std::wstring& args) const {
        const auto run = Run(args);
        EXPECT_TRUE(run.boxes.empty()) << "first box: " << ::testing::PrintToString(run.boxes.front().text);
        return run.exitCode;
    }

    // The three entries exactly as "ei" writes them, and nothing else under MenuExt.
    void ExpectInstalledEntries() const {
        EXPECT_EQ(Sorted(cxtest::SubKeys(kUser, kMenuExt)),
                  Sorted({kNoteCaption, kContentCaption, kUrlCaption}));
        const std::pair<std::wstring, std::wstring> entries[] = {
            {kNoteCaption, kNotePage}, {kContentCaption, kContentPage}, {kUrlCaption, kUrlPage}};
        for (const auto& [caption, page] : entries) {
            SCOPED_TRACE(::testing::PrintToString(caption));
            const auto path = cxtest::ReadValue(kUser, Entry(caption), L"");
            ASSERT_TRUE(path);
            EXPECT_EQ(path->type, static_cast<DWORD>(REG_SZ));
            EXPECT_EQ(path->Text(), Page(page));
            const auto contexts = cxtest::ReadValue(kUser, Entry(caption), L"Contexts");
            ASSERT_TRUE(contexts);
            EXPECT_EQ(contexts->type, static_cast<DWORD>(REG_DWORD));
            EXPECT_EQ(contexts->Dword(), 57u);
        }
    }

    cxtest::InstallFolder folder_;
};

TEST_F(IEContextMenuTest, EuWithoutMenuExtKeyIsZeroAndCreatesNothing) {
    EXPECT_EQ(ExitCode(L"/eu"), 0);
    EXPECT_FALSE(cxtest::KeyExists(kUser, kMenuExt));
}

TEST_F(IEContextMenuTest, EiCreatesTheThreeEntries) {
    EXPECT_EQ(ExitCode(L"/eien"), 0);
    ExpectInstalledEntries();
    // Again: the old entries go first, so there are still exactly three.
    EXPECT_EQ(ExitCode(L"-EIde_DE"), 0);
    ExpectInstalledEntries();
}

TEST_F(IEContextMenuTest, EuRemovesEntriesByPagePathOnly) {
    // A lower-case drive letter and folder: the same page.
    std::wstring lowered = Page(kNotePage);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](wchar_t c) { return towlower(c); });
    AddEntry(L"Notiz", lowered);
    // Two captions at one page both go, in the same pass.
    AddEntry(L"Referenz A", Page(kContentPage));
    AddEntry(L"Referenz B", Page(kContentPage));
    // An entry with sub-keys goes with them.
    AddEntry(L"URL", Page(kUrlPage));
    cxtest::CreateKey(kUser, Entry(L"URL") + L"\\child\\grandchild");
    // The same page file in another folder, another page, no default value: all stay.
    AddEntry(L"Other install", L"C:\\Elsewhere\\BrowserExt\\" + kContentPage);
    AddEntry(L"Longer path", Page(kUrlPage) + L"x");
    AddEntry(L"Unrelated", L"C:\\page.htm");
    cxtest::WriteDword(kUser, Entry(L"No default"), L"Contexts", 1);

    EXPECT_EQ(ExitCode(L"/eu"), 0);
    EXPECT_EQ(Sorted(cxtest::SubKeys(kUser, kMenuExt)),
              Sorted({L"Other install", L"Longer path", L"Unrelated", L"No default"}));
}

TEST_F(IEContextMenuTest, EiReplacesEntriesOfAnyCaptionAndOverwritesItsOwn) {
    AddEntry(L"Als Notiz hinzuf\u00fcgen", Page(kNotePage));
    // A key with one of the captions, pointing elsewhere: reused, both values overwritten.
    AddEntry(kUrlCaption, L"C:\\Other\\page.htm");
    cxtest::WriteDword(kUser, Entry(kUrlCaption), L"Contexts", 1);
    EXPECT_EQ(ExitCode(L"/eien"), 0);
    ExpectInstalledEntries();
}

TEST_F(IEContextMenuTest, EuTogetherWithEiOnlyRemoves) {
    ASSERT_EQ(ExitCode(L"/eien"), 0);
    EXPECT_EQ(ExitCode(L"/eien /eu"), 0);
    EXPECT_EQ(cxtest::SubKeys(kUser, kMenuExt), std::vector<std::wstring>{});
}

TEST_F(IEContextMenuTest, EiWithoutALanguageDoesNothing) {
    EXPECT_EQ(ExitCode(L"/ei"), kNothingDone);
    // The first "ei" parameter decides, even with an empty code.
    EXPECT_EQ(ExitCode(L"/ei /eien"), kNothingDone);
    EXPECT_FALSE(cxtest::KeyExists(kUser, kMenuExt));
}

TEST_F(IEContextMenuTest, ANonStringPageIsAnErrorBox) {
    AddEntry(L"A", Page(kNotePage));
    cxtest::WriteDword(kUser, Entry(L"B"), L"", 1);
    const auto run = Run(L"/eu");
    EXPECT_EQ(run.exitCode, kNothingDone);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].caption, L"Corvane2");
    EXPECT_EQ(run.boxes[0].text, L"Invalid data type for ''");
    // "A" comes before "B" in the list and was deleted before the error.
    EXPECT_EQ(cxtest::SubKeys(kUser, kMenuExt), std::vector<std::wstring>{L"B"});
}

TEST_F(IEContextMenuTest, AFailedDeletionStopsTheRemovalButNotTheInstall) {
    // An entry of page 1 whose child can neither be opened for deletion nor deleted (it has a child
    // of its own), so the entry stays and the passes for pages 2 and 3 do not run.
    AddEntry(L"Stuck", Page(kNotePage));
    cxtest::CreateKey(kUser, Entry(L"Stuck") + L"\\locked\\inner");
    cxtest::SetKeyDacl(kUser, Entry(L"Stuck") + L"\\locked", L"D:(D;;SD;;;WD)(A;;KA;;;WD)");
    AddEntry(L"Url entry", Page(kUrlPage));

    EXPECT_EQ(ExitCode(L"/eu"), 1);
    EXPECT_EQ(Sorted(cxtest::SubKeys(kUser, kMenuExt)), Sorted({L"Stuck", L"Url entry"}));
    // Installing ignores the failed removal.
    EXPECT_EQ(ExitCode(L"/eien"), 0);
    EXPECT_EQ(Sorted(cxtest::SubKeys(kUser, kMenuExt)),
              Sorted({L"Stuck", L"Url entry", kNoteCaption, kContentCaption, kUrlCaption}));
}

// A MenuExt key that exists but cannot be opened with full access may hold entries: that is no
// success, nothing changes, and "ei" adds no second set beside them. The log says why.
TEST_F(IEContextMenuTest, OnAKeyItCannotOpenEuAndEiAreOneAndChangeNothing) {
    AddEntry(kNoteCaption + L" (old)", Page(kNotePage));
    const auto before = cxtest::ExportTree(kUser, kMenuExt);
    cxtest::SetKeyDacl(kUser, kMenuExt, L"D:(D;;SD;;;WD)(A;;KA;;;WD)");
    const std::wstring log = folder_.Path(L"run.log");
    const std::int32_t eu = ExitCode(L"/eu \"/lo" + log + L"\"");
    const std::int32_t ei = ExitCode(L"/eide \"/lo" + log + L"\"");
    const auto after = cxtest::ExportTree(kUser, kMenuExt);
    cxtest::SetKeyDacl(kUser, kMenuExt, L"D:(A;;KA;;;WD)");
    EXPECT_EQ(eu, 1);
    EXPECT_EQ(ei, 1);
    EXPECT_EQ(after, before);
    EXPECT_EQ(cxtest::CountLinesWith(log, L"the MenuExt key exists but cannot be opened"), 2);
}

TEST_F(IEContextMenuTest, EiThenEuLeavesOnlyTheParentKeys) {
    const bool explorerExisted = cxtest::KeyExists(kUser, kExplorer);
    const auto before = cxtest::ExportTree(kUser, L"Software");
    ASSERT_EQ(ExitCode(L"/eien"), 0);
    ASSERT_EQ(ExitCode(L"/eu"), 0);
    std::vector<std::wstring> expected = before;
    if (!explorerExisted) expected.push_back(L"[Software\\Microsoft\\Internet Explorer]");
    expected.push_back(L"[" + kMenuExt + L"]");
    EXPECT_EQ(cxtest::ExportTree(kUser, L"Software"), Sorted(expected));
}

class IEContextMenuChineseFolderTest : public IEContextMenuTest {
protected:
    IEContextMenuChineseFolderTest() : IEContextMenuTest(L"\u6d4f\u89c8\u5668 \u00c9") {}
};

TEST_F(IEContextMenuChineseFolderTest, PagePathsReadBackIntact) {
    EXPECT_EQ(ExitCode(L"/eizh_CN"), 0);
    ExpectInstalledEntries();
    // Only A-Z fold: a path differing in the case of another letter is another page.
    std::wstring otherCase = Page(kNotePage);
    otherCase[otherCase.find(L'\u00c9')] = L'\u00e9';
    AddEntry(L"Other case", otherCase);
    EXPECT_EQ(ExitCode(L"/eu"), 0);
    EXPECT_EQ(cxtest::SubKeys(kUser, kMenuExt), std::vector<std::wstring>{L"Other case"});
}

}  // namespace
