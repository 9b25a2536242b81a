// Catalogue files on Windows: msgfmt's output mapped and searched, and every way a file can be unusable
// turned into its message, never into a crash.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "i18n/mo_file.h"
#include "platform/errors.h"
#include "support/install_folder.h"
#include "translation/translation_paths.h"

namespace cx {
namespace {

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file) << "cannot create the file: " << ::GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(bytes.empty() ||
                (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                 written == bytes.size()));
}

void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

std::uint32_t Get32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// What a raised error says.
template <typename F>
std::wstring ErrorOf(F&& f) {
    try {
        f();
    } catch (const EGGIOError& error) {
        return error.Message();
    }
    return L"(nothing raised)";
}

// Expected lookups in tests/translation/sample.po (UTF-8 bytes).
struct Expected {
    std::string key;
    std::string translation;
};
const Expected kSample[] = {
    {"Add Content as Corvane2 Note", "Inhalt als Corvane2-Notiz hinzuf\xC3\xBCgen"},
    {"Add Content as Corvane2 Reference", "Inhalt als Corvane2-Referenz hinzuf\xC3\xBCgen"},
    {"Add URL as Corvane2 Reference", "URL als Corvane2-Referenz hinzuf\xC3\xBCgen"},
    {"Click \"Yes\" to install %s addin for MS Word,\nClick \"No\" to uninstall %0:s addin for MS Word",
     "\xE5\x8D\x95\xE5\x87\xBB\xE2\x80\x9C\xE6\x98\xAF\xE2\x80\x9D\xE4\xB8\xBA MS Word "
     "\xE5\xAE\x89\xE8\xA3\x85 %s "
     "\xE5\x8A\xA0\xE8\xBD\xBD\xE9\xA1\xB9\xEF\xBC\x8C\n\xE5\x8D\x95\xE5\x87\xBB\xE2\x80\x9C\xE5\x90\xA6\xE2"
     "\x80\x9D"
     "\xE4\xBB\x8E MS Word \xE5\x8D\xB8\xE8\xBD\xBD %0:s \xE5\x8A\xA0\xE8\xBD\xBD\xE9\xA1\xB9"},
    {"Emoji", "Notiz \xF0\x9F\x93\x9D"},
    {"Line\n", "Zeile\n"},
};

class MoFileTest : public ::testing::Test {
protected:
    MoFileTest() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        // Characters outside the ANSI code page: the wide API must carry them to the file system.
        dir_ = std::wstring(temp) + L"cx-mo-file \u4E2D\u6587\\";
        cxtest::RemoveTree(dir_.substr(0, dir_.size() - 1));
        cxtest::MakeDirs(dir_.substr(0, dir_.size() - 1));
    }
    ~MoFileTest() override { cxtest::RemoveTree(dir_.substr(0, dir_.size() - 1)); }

    std::wstring Write(const std::wstring& name, const std::string& bytes) const {
        WriteAll(dir_ + name, bytes);
        return dir_ + name;
    }

    std::wstring dir_;
};

TEST_F(MoFileTest, LooksUpWhatMsgfmtWroteInEitherByteOrder) {
    for (const wchar_t* name : {L"sample", L"sample-big-endian"}) {
        SCOPED_TRACE(::testing::PrintToString(std::wstring(name)));
        // Copied into a folder whose name the ANSI code page cannot hold.
        const std::wstring path = Write(L"x.mo", ReadAll(cxtest::TestCatalogue(name)));
        const MoFile file(path, 0, std::nullopt);
        for (const Expected& e : kSample) {
            const auto found = file.Lookup(e.key);
            EXPECT_TRUE(found.found) << e.key;
            EXPECT_EQ(found.text, e.translation);
        }
        // msgfmt leaves out entries without a translation; neighbours of real keys are not found.
        for (const char* key : {"Untranslated", "Emoj", "Emojii", "Line", "zzz"}) {
            const auto missing = file.Lookup(key);
            EXPECT_FALSE(missing.found) << key;
            EXPECT_EQ(missing.text, key);
        }
        EXPECT_NE(file.Header().find("charset=UTF-8"), std::string_view::npos);
    }
}

TEST_F(MoFileTest, MissingAndEmptyFilesGiveTheirMessages) {
    const std::wstring missing = dir_ + L"none.mo";
    EXPECT_EQ(ErrorOf([&] { MoFile(missing, 0, std::nullopt); }), L"Cannot open file " + missing);
    const std::wstring empty = Write(L"empty.mo", "");
    EXPECT_EQ(ErrorOf([&] { MoFile(empty, 0, std::nullopt); }), L"Cannot create memory map on file " + empty);
}

// Every cut of a catalogue loses at least the last string's terminating zero, so every one is refused.
TEST_F(MoFileTest, EveryTruncatedCatalogueIsRejected) {
    const std::string whole = ReadAll(cxtest::TestCatalogue(L"sample"));
    ASSERT_GT(whole.size(), 100u);
    const std::wstring path = dir_ + L"cut.mo";
    for (std::size_t length = 1; length < whole.size(); ++length) {
        WriteAll(path, whole.substr(0, length));
        const std::wstring message = ErrorOf([&] { MoFile(path, 0, std::nullopt); });
        ASSERT_EQ(message, L"This file is not a valid GNU gettext mo file: " + path) << "length " << length;
    }
}

TEST_F(MoFileTest, OffsetsAndLengthsPastTheEndAreRejected) {
    const std::string good = ReadAll(cxtest::TestCatalogue(L"sample"));
    const auto size = static_cast<std::uint32_t>(good.size());
    const std::uint32_t sources = Get32(good, 12);
    struct Damage {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Damage damages[] = {
        {"magic", 0, 0x12345678},
        {"count", 8, 0x20000000},
        {"source table", 12, size - 4},
        {"translation table", 16, 0xFFFFFFF8},
        {"first source length", sources, 0xFFFFFFFF},
        {"first source offset", sources + 4, size},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::string bytes = good;
        Put32(bytes, damage.at, damage.value);
        const std::wstring path = Write(L"damaged.mo", bytes);
        EXPECT_EQ(ErrorOf([&] { MoFile(path, 0, std::nullopt); }),
                  L"This file is not a valid GNU gettext mo file: " + path);
    }
}

// An embedded catalogue is a stretch of a larger file; a stretch that leaves the file is refused.
TEST_F(MoFileTest, ReadsACatalogueInsideAnotherFile) {
    const std::string catalogue = ReadAll(cxtest::TestCatalogue(L"sample"));
    const std::string padding(1000, 'x');
    const std::wstring path = Write(L"host.bin", padding + catalogue + padding);
    const MoFile file(path, padding.size(), catalogue.size());
    EXPECT_EQ(file.Lookup("Emoji").text, "Notiz \xF0\x9F\x93\x9D");

    const std::wstring invalid = L"This file is not a valid GNU gettext mo file: " + path;
    EXPECT_EQ(ErrorOf([&] { MoFile(path, padding.size(), catalogue.size() - 1); }), invalid);
    EXPECT_EQ(ErrorOf([&] { MoFile(path, 2 * padding.size(), catalogue.size()); }), invalid);
    EXPECT_EQ(ErrorOf([&] { MoFile(path, 1ull << 40, 10); }), invalid);
}

}  // namespace
}  // namespace cx
