// The translation engine over catalogues laid out as beside the tool: language choice, the order of
// domains, line ends, the character-set check and catalogue errors.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "i18n/gettext_instance.h"
#include "i18n/system_language.h"
#include "platform/errors.h"
#include "platform/text/res_string.h"
#include "support/install_folder.h"
#include "translation/translation_paths.h"

namespace cx {
namespace {

const std::wstring kNote = L"Add Content as Corvane2 Note";

// Sets an environment variable of this process for one test.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        char old[256];
        const DWORD length = ::GetEnvironmentVariableA(name, old, sizeof old);
        if (length > 0 && length < sizeof old) old_ = std::string(old, length);
        ::SetEnvironmentVariableA(name, value);
    }
    ~ScopedEnvironment() { ::SetEnvironmentVariableA(name_, old_ ? old_->c_str() : nullptr); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

struct Warning {
    std::wstring text;
    std::wstring caption;
};

class GettextInstanceTest : public ::testing::Test {
protected:
    GettextInstanceTest()
        : engine_(locator_, Root() + L"locale",
                  [this](const std::wstring& text, const std::wstring& caption) {
                      warnings_.push_back({text, caption});
                  }) {
        engine_.AddResourceStringDomain("CXAddinReg");
    }
    ~GettextInstanceTest() override { cxtest::RemoveTree(Root().substr(0, Root().size() - 1)); }

    static const std::wstring& Root() {
        static const std::wstring root = [] {
            wchar_t temp[MAX_PATH];
            ::GetTempPathW(MAX_PATH, temp);
            const std::wstring dir = std::wstring(temp) + L"cx-gettext\\";
            cxtest::RemoveTree(dir.substr(0, dir.size() - 1));
            return dir;
        }();
        return root;
    }
    static std::wstring CataloguePath(const std::wstring& language, const std::wstring& domain) {
        return Root() + L"locale\\" + language + L"\\LC_MESSAGES\\" + domain + L".mo";
    }
    // Puts a test catalogue (or an empty file, for an empty name) where `domain` looks in `language`.
    static void Install(const std::wstring& language, const std::wstring& domain,
                        const std::wstring& catalogue) {
        const std::wstring dir = Root() + L"locale\\" + language + L"\\LC_MESSAGES";
        cxtest::MakeDirs(dir);
        const std::wstring target = CataloguePath(language, domain);
        if (catalogue.empty()) {
            ::CloseHandle(
                ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        } else {
            ASSERT_TRUE(::CopyFileW(cxtest::TestCatalogue(catalogue).c_str(), target.c_str(), FALSE));
        }
    }

    FileLocator locator_;
    std::vector<Warning> warnings_;
    GettextInstance engine_;
};

TEST_F(GettextInstanceTest, AnEmptyCodeComesFromLangCutAtTheDot) {
    {
        const ScopedEnvironment lang("LANG", "de_DE.UTF-8@euro");
        engine_.SelectLanguage("");
        EXPECT_EQ(engine_.LanguageCode(), "de_DE");
    }
    {
        const ScopedEnvironment lang("LANG", nullptr);
        engine_.SelectLanguage("");
        EXPECT_EQ(engine_.LanguageCode(), GetSystemLanguageCode());
    }
    // A code given explicitly is a folder name, used exactly as given.
    engine_.SelectLanguage("de_DE.UTF-8");
    EXPECT_EQ(engine_.LanguageCode(), "de_DE.UTF-8");
    engine_.SelectLanguage("=de");
    EXPECT_EQ(engine_.LanguageCode(), "=de");
}

TEST_F(GettextInstanceTest, LineEndsComeBackAsCarriageReturnLineFeed) {
    Install(L"de", L"default", L"sample");
    engine_.SelectLanguage("de");
    // The catalogue has "Line\n" -> "Zeile\n"; the key is looked up without CR.
    EXPECT_EQ(engine_.TranslateResourceString(L"Line\r\n"), L"Zeile\r\n");
    EXPECT_EQ(engine_.TranslateResourceString(L"Line\n"), L"Zeile\r\n");
    EXPECT_EQ(engine_.TranslateResourceString(L"one\ntwo\r\nthree\rfour"), L"one\r\ntwo\r\nthreefour");
    EXPECT_EQ(engine_.TranslateResourceString(L"Emoji"), L"Notiz \U0001F4DD");
    EXPECT_EQ(engine_.TranslateResourceString(L""), L"");
}

// A missing catalogue is looked for once per language, not at every text.
TEST_F(GettextInstanceTest, AMissingCatalogueIsProbedOncePerLanguage) {
    engine_.SelectLanguage("de");
    EXPECT_EQ(engine_.TranslateInDomain("CXAddinReg", kNote), kNote);
    EXPECT_TRUE(engine_.FindDomain("CXAddinReg")->OpenFailed());
    Install(L"de", L"CXAddinReg", L"tagged-de");
    EXPECT_EQ(engine_.TranslateInDomain("CXAddinReg", kNote), kNote);
    engine_.SelectLanguage("de");
    EXPECT_EQ(engine_.TranslateInDomain("CXAddinReg", kNote), L"[de] Note");
}

TEST_F(GettextInstanceTest, ACatalogueThatIsNotUtf8TurnsItsDomainOffForTheRun) {
    for (const wchar_t* catalogue : {L"latin1", L"no-blank-after-colon"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(catalogue)));
        warnings_.clear();
        GettextInstance engine(locator_, Root() + L"locale",
                               [this](const std::wstring& text, const std::wstring& caption) {
                                   warnings_.push_back({text, caption});
                               });
        Install(L"de", L"default", catalogue);
        Install(L"zh_CN", L"default", L"tagged-own");
        engine.SelectLanguage("de_DE");
        EXPECT_EQ(engine.TranslateInDomain("default", kNote), kNote);
        ASSERT_EQ(warnings_.size(), 1u);
        EXPECT_EQ(warnings_[0].caption, L"Localization problem");
        EXPECT_EQ(warnings_[0].text, L"The translation for the language code de_DE (in " +
                                         CataloguePath(L"de", L"default") +
                                         L") does not have charset=utf-8 in its Content-Type. "
                                         L"Translations are turned off.");
        EXPECT_EQ(engine.TranslateInDomain("default", kNote), kNote);
        engine.SelectLanguage("zh_CN");  // a good catalogue: the domain stays off all the same
        EXPECT_EQ(engine.TranslateInDomain("default", kNote), kNote);
        EXPECT_EQ(warnings_.size(), 1u);
        EXPECT_EQ(locator_.OpenCount(), 0u) << "the refused catalogue is released";
    }
}

// The domain stays closed without marking the catalogue missing, so every text tries the file again.
TEST_F(GettextInstanceTest, AnUnusableCatalogueFailsEveryLookupUntilItIsRepaired) {
    Install(L"de", L"CXAddinReg", L"");
    engine_.SelectLanguage("de");
    const std::wstring message = L"Cannot create memory map on file " + CataloguePath(L"de", L"CXAddinReg");
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            engine_.TranslateResourceString(kNote);
            ADD_FAILURE() << "no error";
        } catch (const EGGIOError& error) {
            EXPECT_EQ(error.Message(), message);
        }
    }
    Install(L"de", L"CXAddinReg", L"tagged-de");
    EXPECT_EQ(engine_.TranslateResourceString(kNote), L"[de] Note");
}

TEST(ResStringTest, IdentifiersBeyondTheTableAreError) {
    EXPECT_EQ(LoadResString(65536), L"ERROR");
    EXPECT_EQ(LoadResString(0xFFFFFFFF), L"ERROR");
    EXPECT_EQ(LoadResString(IDS_WORD_REMOVED), L"MS Word Addin has been removed");
}

}  // namespace
}  // namespace cx
