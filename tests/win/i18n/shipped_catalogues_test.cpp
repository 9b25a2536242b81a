// The catalogues the product ships translate every text of the string table this test is linked
// with, and nothing else: a text added to the table without translations, or a translation left
// behind by a removed text, fails here. (msgfmt --check in the build compares the placeholders.)
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "i18n/file_locator.h"
#include "i18n/message_text.h"
#include "i18n/mo_header.h"
#include "platform/text/res_string.h"
#include "translation/translation_paths.h"

namespace cx {
namespace {

// The keys of every string-table entry, as the engine looks them up.
std::set<std::string> TableKeys() {
    std::set<std::string> keys;
    for (unsigned id = 0; id < 65536; ++id) {
        const std::wstring text = LoadEnglishResString(id);
        if (!text.empty()) keys.insert(MessageKey(text));
    }
    return keys;
}

std::size_t LineBreaks(std::string_view text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(ShippedCataloguesTest, TranslateExactlyTheStringTable) {
    const std::set<std::string> table = TableKeys();
    ASSERT_GE(table.size(), 30u);
    for (const wchar_t* language : {L"de", L"zh_CN"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(language)));
        FileLocator locator;
        MoFile& file = locator.AcquireCatalogue(cxtest::ShippedCatalogue(language));
        EXPECT_NE(GetHeaderField(file.Header(), "Content-Type").find("charset=UTF-8"),
                  std::string_view::npos);

        std::set<std::string> translated;
        for (std::uint32_t i = 0; i < file.Catalogue().Count(); ++i) {
            const std::string_view key = file.Catalogue().SourceAt(i);
            if (key.empty()) continue;  // the header
            translated.insert(std::string(key));
            EXPECT_EQ(table.count(std::string(key)), 1u) << "not in the string table: " << key;
            EXPECT_FALSE(file.Catalogue().TranslationAt(i).empty()) << key;
            EXPECT_EQ(LineBreaks(file.Catalogue().TranslationAt(i)), LineBreaks(key)) << key;
        }
        for (const std::string& key : table)
            EXPECT_EQ(translated.count(key), 1u) << "not translated: " << key;
        locator.ReleaseCatalogue(file);
    }
}

}  // namespace
}  // namespace cx
