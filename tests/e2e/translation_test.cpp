// Translation as a user sees it: which catalogue beside the tool answers for LANG or "ei", in which
// order, and what the tool shows when a catalogue is unusable. The texts observed are the interactive
// prompt (answered Cancel), the browser captions written by "ei" and the error box of "eu".
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "support/install_folder.h"
#include "support/registry_probe.h"
#include "support/tool_process.h"
#include "translation/shipped_captions.h"
#include "translation/translation_paths.h"

namespace {

using cxtest::BoxInfo;
using cxtest::kChineseCaptions;
using cxtest::kEnglishCaptions;
using cxtest::kGermanCaptions;
using cxtest::RunResult;

constexpr std::int32_t kNothingDone = -2;
const HKEY kUser = HKEY_CURRENT_USER;
const std::wstring kMenuExt = L"Software\\Microsoft\\Internet Explorer\\MenuExt";

const std::wstring kEnglishPrompt =
    L"Click \"Yes\" to install Corvane2 addin for MS Word,\r\nClick \"No\" to uninstall Corvane2 addin for "
    L"MS Word";
// The shipped translations; the catalogue has bare line feeds, the box shows CR LF.
const std::wstring kGermanPrompt =
    L"Klicken Sie auf \u201EJa\u201C, um das Corvane2-Add-in f\u00FCr MS Word zu installieren,\r\n"
    L"klicken Sie auf \u201ENein\u201C, um das Corvane2-Add-in f\u00FCr MS Word zu deinstallieren";

std::wstring TaggedPrompt(const std::wstring& tag) {
    return L"[" + tag + L"] Yes installs Corvane2,\r\nNo removes Corvane2";
}
std::vector<std::wstring> TaggedCaptions(const std::wstring& tag) {
    return {L"[" + tag + L"] Note", L"[" + tag + L"] Content reference", L"[" + tag + L"] URL reference"};
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> names) {
    std::sort(names.begin(), names.end());
    return names;
}

std::string Utf8(const std::wstring& text) {
    return ::testing::PrintToString(text);
}

class TranslationTest : public ::testing::Test {
protected:
    TranslationTest() : folder_(L"translation") { cxtest::DeleteTree(kUser, kMenuExt); }
    ~TranslationTest() override { cxtest::DeleteTree(kUser, kMenuExt); }

    std::wstring CataloguePath(const std::wstring& language,
                               const std::wstring& domain = L"CXAddinReg") const {
        return folder_.Dir() + L"locale\\" + language + L"\\LC_MESSAGES\\" + domain + L".mo";
    }
    // Copies `source` to where the tool looks for `domain` in `language`; an empty source makes an
    // empty file.
    void Install(const std::wstring& language, const std::wstring& source,
                 const std::wstring& domain = L"CXAddinReg") const {
        cxtest::MakeDirs(folder_.Dir() + L"locale\\" + language + L"\\LC_MESSAGES");
        const std::wstring target = CataloguePath(language, domain);
        if (source.empty()) {
            ::CloseHandle(
                ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        } else {
            ASSERT_TRUE(::CopyFileW(source.c_str(), target.c_str(), FALSE)) << Utf8(source);
        }
    }

    // Runs the tool with LANG set (or removed, for nullopt); the prompt is answered Cancel, any other
    // box OK.
    RunResult Run(const std::wstring& args, const std::optional<std::wstring>& lang) const {
        cxtest::RunOptions options;
        options.env = {{L"LANG", lang}};
        options.onBox = [](const BoxInfo& box) {
            const auto ids = box.ButtonIds();
            return std::find(ids.begin(), ids.end(), IDCANCEL) != ids.end() ? IDCANCEL : IDOK;
        };
        return cxtest::RunProgram(folder_.Tool(), args, options);
    }

    // The prompt's text when it is the only box of the run.
    std::wstring Prompt(const std::optional<std::wstring>& lang) const {
        const RunResult run = Run(L"", lang);
        EXPECT_EQ(run.exitCode, kNothingDone);
        if (run.boxes.size() != 1) {
            ADD_FAILURE() << run.boxes.size() << " boxes, the first: "
                          << (run.boxes.empty() ? std::string() : Utf8(run.boxes[0].text));
            return {};
        }
        EXPECT_EQ(run.boxes[0].caption, L"Corvane2");
        return run.boxes[0].text;
    }

    // The captions "ei" with `code` writes, sorted; the run must show no box.
    std::vector<std::wstring> Captions(const std::wstring& code, const std::wstring& lang = L"C") const {
        const RunResult run = Run(L"/ei" + code, lang);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_TRUE(run.boxes.empty()) << Utf8(run.boxes.empty() ? std::wstring() : run.boxes[0].text);
        return Sorted(cxtest::SubKeys(kUser, kMenuExt));
    }

    cxtest::InstallFolder folder_;
};

TEST_F(TranslationTest, WithoutALocaleFolderEverythingIsEnglish) {
    EXPECT_EQ(Prompt(L"de_DE.UTF-8"), kEnglishPrompt);
    EXPECT_EQ(Captions(L"de"), Sorted(kEnglishCaptions));
}

TEST_F(TranslationTest, LangLooksForTheFullCodeThenItsLanguage) {
    Install(L"de_DE", cxtest::TestCatalogue(L"tagged-de_DE"));
    Install(L"de", cxtest::TestCatalogue(L"tagged-de"));
    Install(L"pt", cxtest::TestCatalogue(L"tagged-pt"));
    EXPECT_EQ(Prompt(L"de_DE.UTF-8"), TaggedPrompt(L"de_DE"));
    EXPECT_EQ(Prompt(L"de_AT.UTF-8"), TaggedPrompt(L"de"));
    EXPECT_EQ(Prompt(L"pt_BR"), TaggedPrompt(L"pt"));
    EXPECT_EQ(Prompt(L"C"), kEnglishPrompt);
    EXPECT_EQ(Prompt(L"fr_FR.UTF-8"), kEnglishPrompt);
}

// Without LANG the Windows user locale decides: en-US in the test prefix.
TEST_F(TranslationTest, WithoutLangTheUserLocaleDecides) {
    Install(L"en", cxtest::TestCatalogue(L"tagged-own"));
    EXPECT_EQ(Prompt(std::nullopt), TaggedPrompt(L"own"));
    EXPECT_EQ(Prompt(L""), TaggedPrompt(L"own"));
}

// "ei" names a folder exactly: no cut at the dot, an equals sign stays part of the code.
TEST_F(TranslationTest, AnExplicitCodeIsUsedUnchanged) {
    Install(L"de_DE", cxtest::TestCatalogue(L"tagged-de_DE"));
    EXPECT_EQ(Captions(L"de_DE.UTF-8"), Sorted(kEnglishCaptions));
    EXPECT_EQ(Captions(L"de_DE"), Sorted(TaggedCaptions(L"de_DE")));
    cxtest::RemoveTree(folder_.Dir() + L"locale");
    Install(L"de", cxtest::TestCatalogue(L"tagged-de"));
    EXPECT_EQ(Captions(L"=de"), Sorted(kEnglishCaptions));
    EXPECT_EQ(Captions(L"de"), Sorted(TaggedCaptions(L"de")));
    // The explicit code wins over LANG.
    EXPECT_EQ(Captions(L"xx", L"de_DE.UTF-8"), Sorted(kEnglishCaptions));
}

// A code that could lead out of locale\ (the tool runs with administrator rights; a folder beside it
// may be writable by anyone) finds no catalogue, from the command line or from LANG: catalogues
// planted where the full code and its first two characters lead are not used. So is a code longer
// than any locale name, even where its folder exists.
TEST_F(TranslationTest, ACodeThatLeavesTheLocaleFolderFindsNoCatalogue) {
    for (const wchar_t* planted : {L"planted\\LC_MESSAGES", L"LC_MESSAGES"}) {
        cxtest::MakeDirs(folder_.Dir() + planted);
        ASSERT_TRUE(::CopyFileW(cxtest::TestCatalogue(L"tagged-de").c_str(),
                                (folder_.Dir() + planted + L"\\CXAddinReg.mo").c_str(), FALSE));
    }
    for (const wchar_t* code :
         {L"..\\planted", L"../planted", L"..\\..\\translation\\planted", L"..", L"..de"}) {
        SCOPED_TRACE(Utf8(code));
        EXPECT_EQ(Captions(code), Sorted(kEnglishCaptions));
        EXPECT_EQ(Prompt(code), kEnglishPrompt);
    }
    const std::wstring tooLong(100, L'd');
    Install(tooLong, cxtest::TestCatalogue(L"tagged-de"));
    EXPECT_EQ(Captions(tooLong), Sorted(kEnglishCaptions));
}

TEST_F(TranslationTest, TheShippedCataloguesTranslatePromptAndCaptions) {
    Install(L"de", cxtest::ShippedCatalogue(L"de"));
    Install(L"zh_CN", cxtest::ShippedCatalogue(L"zh_CN"));
    EXPECT_EQ(Prompt(L"de_DE.UTF-8"), kGermanPrompt);
    EXPECT_EQ(Captions(L"de"), Sorted(kGermanCaptions));
    EXPECT_EQ(Captions(L"zh_CN"), Sorted(kChineseCaptions));
    // Re-installing in another language replaces the entries, found by their page paths.
    EXPECT_EQ(Captions(L"en"), Sorted(kEnglishCaptions));
}

TEST_F(TranslationTest, DefaultMoWinsOverTheToolsOwnCatalogue) {
    Install(L"de", cxtest::TestCatalogue(L"default-partial"), L"default");
    Install(L"de", cxtest::TestCatalogue(L"tagged-own"));
    EXPECT_EQ(Prompt(L"de_DE.UTF-8"), TaggedPrompt(L"default"));
    EXPECT_EQ(Captions(L"de"),
              Sorted({L"[default] Note", L"[own] Content reference", L"[own] URL reference"}));
}

// One box for the domain, with the language code and the path it used, then English for the rest of
// the run.
TEST_F(TranslationTest, ACatalogueThatIsNotUtf8IsReportedOnceAndTurnedOff) {
    for (const wchar_t* catalogue : {L"latin1", L"no-blank-after-colon"}) {
        SCOPED_TRACE(Utf8(catalogue));
        Install(L"de", cxtest::TestCatalogue(catalogue));
        const RunResult run = Run(L"/eide", L"C");
        EXPECT_EQ(run.exitCode, 0);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].caption, L"Localization problem");
        EXPECT_EQ(run.boxes[0].text, L"The translation for the language code de (in " + CataloguePath(L"de") +
                                         L") does not have charset=utf-8 in its Content-Type. "
                                         L"Translations are turned off.");
        EXPECT_EQ(run.boxes[0].ButtonIds(), std::vector<int>{IDOK});
        EXPECT_EQ(Sorted(cxtest::SubKeys(kUser, kMenuExt)), Sorted(kEnglishCaptions));

        // From LANG the code is de_DE, while the file found is the one for de.
        const RunResult prompt = Run(L"", L"de_DE.UTF-8");
        ASSERT_EQ(prompt.boxes.size(), 2u);
        EXPECT_EQ(prompt.boxes[0].caption, L"Localization problem");
        EXPECT_NE(prompt.boxes[0].text.find(L"language code de_DE (in " + CataloguePath(L"de") + L")"),
                  std::wstring::npos)
            << Utf8(prompt.boxes[0].text);
        EXPECT_EQ(prompt.boxes[1].text, kEnglishPrompt);
    }
}

TEST_F(TranslationTest, AnEmptyCatalogueEndsTheRunWithTheErrorBox) {
    Install(L"de", L"");
    for (const wchar_t* args : {L"", L"/eide"}) {
        SCOPED_TRACE(Utf8(args));
        const RunResult run = Run(args, L"de_DE.UTF-8");
        EXPECT_EQ(run.exitCode, kNothingDone);
        ASSERT_EQ(run.boxes.size(), 1u);
        EXPECT_EQ(run.boxes[0].caption, L"Corvane2");
        EXPECT_EQ(run.boxes[0].text, L"Cannot create memory map on file " + CataloguePath(L"de"));
    }
    EXPECT_TRUE(cxtest::SubKeys(kUser, kMenuExt).empty());
}

// The error's own text is translated by the domains that still work: an unusable default.mo does not
// stop the tool's catalogue from wording the error about it.
TEST_F(TranslationTest, TheErrorAboutOneCatalogueIsWordedByAnother) {
    Install(L"de", L"", L"default");
    Install(L"de", cxtest::ShippedCatalogue(L"de"));
    const RunResult run = Run(L"", L"de_DE.UTF-8");
    EXPECT_EQ(run.exitCode, kNothingDone);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, L"F\u00FCr die Datei " + CataloguePath(L"de", L"default") +
                                     L" kann keine Speicherzuordnung erstellt werden");
}

// Texts of the runtime (here the registry accessor's) go through the same translation.
TEST_F(TranslationTest, RuntimeErrorTextsAreTranslated) {
    Install(L"de", cxtest::ShippedCatalogue(L"de"));
    const DWORD notText = 1;
    cxtest::WriteRaw(kUser, kMenuExt + L"\\Odd entry", L"", REG_DWORD, &notText, sizeof notText);
    const RunResult run = Run(L"/eu", L"de_DE.UTF-8");
    EXPECT_EQ(run.exitCode, kNothingDone);
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, L"Ung\u00FCltiger Datentyp f\u00FCr \u201E\u201C");
}

// A copy of the tool with the shipped catalogues appended by the build needs no locale folder.
TEST_F(TranslationTest, CataloguesEmbeddedInTheExecutableAreUsed) {
    folder_.CopyIn(cxtest::EmbeddedToolPath(), L"CXAddinReg.exe");
    EXPECT_EQ(Prompt(L"de_DE.UTF-8"), kGermanPrompt);
    EXPECT_EQ(Captions(L"zh_CN"), Sorted(kChineseCaptions));
    EXPECT_EQ(Captions(L"fr"), Sorted(kEnglishCaptions));
    // A file on disk is not consulted for a catalogue that is embedded.
    Install(L"de", cxtest::TestCatalogue(L"tagged-de"));
    EXPECT_EQ(Captions(L"de"), Sorted(kGermanCaptions));
}

}  // namespace
