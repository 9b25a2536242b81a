// Catalogues come from msgfmt (GNU gettext) at test time, so the reader is checked against the
// format's own producer; the .po text written here is the oracle for what each key must give.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "i18n/mo_catalogue.h"
#include "i18n/mo_header.h"
#include "platform/errors.h"

namespace cx {
namespace {

struct Entry {
    std::string key;  // with a context: context, byte 4, id
    std::string translation;
};

const char kHeader[] = "Project-Id-Version: test\nContent-Type: text/plain; charset=UTF-8\n";
const wchar_t kInvalid[] = L"This file is not a valid GNU gettext mo file: C:\\app\\locale\\x.mo";

std::string PoString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
    }
    return out + "\"";
}

std::string MakePo(const std::vector<Entry>& entries) {
    std::string po = "msgid \"\"\nmsgstr " + PoString(kHeader) + "\n";
    for (const Entry& e : entries) {
        const std::size_t eot = e.key.find('\x04');
        if (eot != std::string::npos) po += "\nmsgctxt " + PoString(e.key.substr(0, eot));
        po += "\nmsgid " + PoString(eot == std::string::npos ? e.key : e.key.substr(eot + 1));
        po += "\nmsgstr " + PoString(e.translation) + "\n";
    }
    return po;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs msgfmt on `po` and returns the catalogue's bytes.
std::string Msgfmt(const std::string& po, const std::string& options = "") {
    const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    const auto dir = std::filesystem::temp_directory_path() /
                     ("cx_mo_" + test + "_" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "in.po", std::ios::binary) << po;
    const std::string command = std::string(CX_MSGFMT) + " " + options + " -o '" + (dir / "out.mo").string() +
                                "' '" + (dir / "in.po").string() + "'";
    const int status = std::system(command.c_str());
    std::string mo = ReadFile(dir / "out.mo");
    std::filesystem::remove_all(dir);
    EXPECT_EQ(status, 0) << command;
    return mo;
}

std::uint32_t Get32(const std::string& mo, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(mo[at + i]);
    return v;
}

void Put32(std::string& mo, std::size_t at, std::uint32_t v, bool bigEndian = false) {
    for (int i = 0; i < 4; ++i) mo[at + (bigEndian ? 3 - i : i)] = static_cast<char>(v >> (8 * i));
}

// The other byte order of a little-endian catalogue: every 32-bit field of the header, both string
// tables and the hash table reversed; the strings stay as they are.
std::string ToBigEndian(std::string mo) {
    const std::uint32_t n = Get32(mo, 8), sources = Get32(mo, 12), translations = Get32(mo, 16);
    const std::uint32_t hashSize = Get32(mo, 20), hashTable = Get32(mo, 24);
    std::vector<std::size_t> fields;
    for (std::size_t at = 0; at < 28; at += 4) fields.push_back(at);
    for (std::size_t i = 0; i < 2 * n; ++i) {
        fields.push_back(sources + 4 * i);
        fields.push_back(translations + 4 * i);
    }
    for (std::size_t i = 0; i < hashSize; ++i) fields.push_back(hashTable + 4 * i);
    for (const std::size_t at : fields) std::reverse(mo.begin() + at, mo.begin() + at + 4);
    return mo;
}

// A header with both tables at offset 28, followed by zeros: entries of empty strings at offset 0.
std::string Crafted(std::uint32_t n, std::size_t size) {
    std::string mo(size, '\0');
    Put32(mo, 0, 0x950412DE);
    Put32(mo, 8, n);
    Put32(mo, 12, 28);
    Put32(mo, 16, 28);
    return mo;
}

MoCatalogue Open(const std::string& mo) {
    return MoCatalogue(mo.data(), mo.size(), L"C:\\app\\locale\\x.mo");
}

void ExpectInvalid(const std::string& mo, const std::string& what) {
    try {
        Open(mo);
        ADD_FAILURE() << what << ": accepted";
    } catch (const EGGIOError& e) {
        EXPECT_EQ(e.Message(), kInvalid) << what;
    }
}

// Keys that probe the ordering: bytes above 0x7F, proper prefixes, escapes, a context.
const std::vector<Entry> kSmall = {
    {"Open", "Öffnen"},
    {"Open file", "Datei öffnen"},
    {"Open file %s", "Datei %s öffnen"},
    {"menu\x04Open", "Öffnen (Menü)"},
    {"Zebra", "Zebra"},
    {"Ärger", "Ärger!"},
    {"中文", "Chinese"},
    {"a", "b"},
    {"Line one\nLine two\n", "Zeile eins\nZeile zwei\n"},
    {"Tab\there \"quoted\" back\\slash", "ok"},
};

TEST(MoCatalogue, BothByteOrdersGiveTheTranslations) {
    const std::string little = Msgfmt(MakePo(kSmall));
    const std::string big = ToBigEndian(little);
    // Our conversion must match msgfmt's own big-endian output byte for byte.
    EXPECT_EQ(big, Msgfmt(MakePo(kSmall), "--endianness=big"));
    for (const std::string& mo : {little, big}) {
        const MoCatalogue catalogue = Open(mo);
        EXPECT_EQ(catalogue.Count(), kSmall.size() + 1);
        for (const Entry& e : kSmall) {
            const auto result = catalogue.Lookup(e.key);
            EXPECT_TRUE(result.found) << e.key;
            EXPECT_EQ(result.text, e.translation);
        }
        EXPECT_EQ(catalogue.Header(), kHeader);
        for (const std::string key : {"", "Ope", "Open ", "Open file %s!", "Zebr", "\xff", "A", "menu"}) {
            if (key.empty()) continue;  // the header entry
            const auto result = catalogue.Lookup(key);
            EXPECT_FALSE(result.found) << key;
            EXPECT_EQ(result.text.data(), key.data());
        }
    }
}

TEST(MoCatalogue, NoEntriesFindsNothing) {
    std::string mo = Msgfmt(MakePo(kSmall));
    Put32(mo, 8, 0);  // tables still there, but N = 0
    for (const std::string& bytes : {mo, Crafted(0, 28)}) {
        const MoCatalogue catalogue = Open(bytes);
        EXPECT_FALSE(catalogue.Lookup("").found);
        EXPECT_FALSE(catalogue.Lookup("Open").found);
        EXPECT_EQ(catalogue.Header(), "");
    }
}

TEST(MoCatalogue, FindsEveryKeyOfALargeCatalogue) {
    std::mt19937 random(7);
    const std::vector<std::string> words = {"file", "Word", "add-in", "Größe", "ß",
                                            "注册", "zzz",  "\t",     " ",     "~"};
    std::vector<Entry> entries;
    std::set<std::string> keys;
    while (entries.size() < 10000) {
        std::string key;
        for (int n = 1 + random() % 4; n > 0; --n) key += words[random() % words.size()] + " ";
        key += std::to_string(random() % 50000);
        if (!keys.insert(key).second) continue;
        entries.push_back({key, "T" + std::to_string(entries.size())});
    }
    const std::string little = Msgfmt(MakePo(entries));
    for (const std::string& mo : {little, ToBigEndian(little)}) {
        const MoCatalogue catalogue = Open(mo);
        ASSERT_EQ(catalogue.Count(), entries.size() + 1);
        for (const Entry& e : entries) {
            const auto result = catalogue.Lookup(e.key);
            ASSERT_TRUE(result.found) << e.key;
            ASSERT_EQ(result.text, e.translation);
            for (const std::string& absent :
                 {e.key + "0", e.key + "\x01", e.key.substr(0, e.key.size() - 1)}) {
                if (keys.count(absent) == 0) {
                    ASSERT_FALSE(catalogue.Lookup(absent).found) << absent;
                }
            }
        }
    }
}

TEST(MoCatalogue, RejectsEveryTruncation) {
    const std::string mo = Msgfmt(MakePo(kSmall));
    for (std::size_t size = 0; size < mo.size(); ++size) {
        // A heap block of exactly `size` bytes, so that ASan sees any read past the end.
        const std::string cut = mo.substr(0, size);
        ExpectInvalid(cut, "truncated to " + std::to_string(size));
    }
}

TEST(MoCatalogue, RejectsHeadersAndTablesPointingOutside) {
    const std::string good = Msgfmt(MakePo(kSmall));
    const std::uint32_t size = static_cast<std::uint32_t>(good.size());
    const std::uint32_t n = Get32(good, 8), sources = Get32(good, 12), translations = Get32(good, 16);
    const std::uint32_t lastSource = sources + 8 * (n - 1), lastTranslation = translations + 8 * (n - 1);

    const struct {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    } cases[] = {
        {"magic", 0, 0x950412DF},
        {"source table past the end", 12, size - 8 * n + 1},
        {"translation table past the end", 16, size - 8 * n + 1},
        {"table offset far out", 12, 0xFFFFFFFF},
        {"N * 8 wraps to 0 in 32 bits", 8, 0x20000000},
        {"N * 8 wraps to 8 in 32 bits", 8, 0x20000001},
        {"translation table runs past the end", 8, (size - translations) / 8 + 1},
        {"source offset at the end", lastSource + 4, size},
        {"translation offset at the end", lastTranslation + 4, size},
        {"source's zero past the end", lastSource, size - Get32(good, lastSource + 4)},
        {"translation length one too long", lastTranslation, Get32(good, lastTranslation) + 1},
        {"offset + length wraps in 32 bits", lastTranslation, 0xFFFFFFFF},
        {"first source offset far out", sources + 4, 0xFFFFFFF0},
    };
    for (const bool big : {false, true}) {
        for (const auto& c : cases) {
            std::string mo = big ? ToBigEndian(good) : good;
            Put32(mo, c.at, c.value, big);
            ExpectInvalid(mo, std::string(c.what) + (big ? ", big-endian" : ""));
        }
    }
    // Entries that all fit, in a table that only a 32-bit N * 8 would take for complete.
    ExpectInvalid(Crafted(0x20000001, 28 + 8), "N * 8 wraps to 8 in 32 bits, valid entries");
    EXPECT_TRUE(Open(Crafted(1, 28 + 8)).Lookup("").found);

    // The terminating zero of the last string is the file's last byte: exactly fitting is fine.
    EXPECT_EQ(Get32(good, lastTranslation + 4) + Get32(good, lastTranslation) + 1, size);
    EXPECT_EQ(Open(good).Count(), n);
}

TEST(MoHeader, FindsFieldsLikeGettext) {
    const std::string mo = Msgfmt(MakePo(kSmall));
    EXPECT_EQ(GetHeaderField(Open(mo).Header(), "Content-Type"), "text/plain; charset=UTF-8");

    const std::string header =
        "Project-Id-Version:no-blank\r\n"
        "content-type:text/plain; charset=ASCII\r"
        "CONTENT-TYPE: \t text/plain; charset=utf-8 \x7f\r\n"
        "Content-Type: second\n"
        "X-Empty: \n"
        "Plural-Forms: nplurals=2;";
    EXPECT_EQ(GetHeaderField(header, "Content-Type"), "text/plain; charset=utf-8");
    EXPECT_EQ(GetHeaderField(header, "content-TYPE"), "text/plain; charset=utf-8");
    EXPECT_EQ(GetHeaderField(header, "Project-Id-Version"), "");  // no blank after the colon
    EXPECT_EQ(GetHeaderField(header, "Plural-Forms"), "nplurals=2;");
    EXPECT_EQ(GetHeaderField(header, "X-Empty"), "");
    EXPECT_EQ(GetHeaderField(header, "Content"), "");
    EXPECT_EQ(GetHeaderField("Content-Type:text/plain; charset=UTF-8\n", "Content-Type"), "");
    EXPECT_EQ(GetHeaderField("", "Content-Type"), "");
}

}  // namespace
}  // namespace cx
