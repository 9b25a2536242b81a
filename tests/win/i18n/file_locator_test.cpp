// The file locator: one shared object per catalogue file, and catalogues appended to an executable.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "i18n/file_locator.h"
#include "platform/errors.h"
#include "support/install_folder.h"
#include "translation/translation_paths.h"

namespace cx {
namespace {

std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    const UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    char buffer[65536];
    DWORD read = 0;
    while (file && ::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        bytes.append(buffer, read);
    return bytes;
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    const UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ASSERT_TRUE(bytes.empty() ||
                ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::string Le64(std::uint64_t value) {
    std::string bytes(8, '\0');
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
    return bytes;
}

std::uint64_t GetLe64(const std::string& bytes, std::size_t at) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

class FileLocatorTest : public ::testing::Test {
protected:
    FileLocatorTest() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        dir_ = std::wstring(temp) + L"cx-file-locator\\";
        cxtest::RemoveTree(dir_.substr(0, dir_.size() - 1));
        cxtest::MakeDirs(dir_.substr(0, dir_.size() - 1));
        sample_ = ReadAll(cxtest::TestCatalogue(L"sample"));
    }
    ~FileLocatorTest() override { cxtest::RemoveTree(dir_.substr(0, dir_.size() - 1)); }

    std::wstring dir_;
    std::string sample_;
};

// Two domains asking for one file: one object, one mapping; the file stays locked until the second
// release destroys the object.
TEST_F(FileLocatorTest, OneFileIsOneObjectUntilItsLastUserReleasesIt) {
    const std::wstring path = dir_ + L"default.mo";
    WriteAll(path, sample_);
    FileLocator locator;
    MoFile& first = locator.AcquireCatalogue(path);
    MoFile& second = locator.AcquireCatalogue(dir_ + L"DEFAULT.MO");  // the file system ignores case
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.UseCount(), 2);
    EXPECT_EQ(locator.OpenCount(), 1u);

    locator.ReleaseCatalogue(first);
    EXPECT_EQ(locator.OpenCount(), 1u);
    EXPECT_EQ(second.Lookup("Emoji").text, "Notiz \xF0\x9F\x93\x9D");
    EXPECT_FALSE(::DeleteFileW(path.c_str())) << "the file is still open";

    locator.ReleaseCatalogue(second);
    EXPECT_EQ(locator.OpenCount(), 0u);
    EXPECT_TRUE(::DeleteFileW(path.c_str())) << "closed with the object: " << ::GetLastError();
}

TEST_F(FileLocatorTest, DifferentFilesAreDifferentObjectsAndAFailedOpenKeepsNothing) {
    WriteAll(dir_ + L"a.mo", sample_);
    WriteAll(dir_ + L"b.mo", sample_);
    WriteAll(dir_ + L"empty.mo", "");
    FileLocator locator;
    MoFile& a = locator.AcquireCatalogue(dir_ + L"a.mo");
    MoFile& b = locator.AcquireCatalogue(dir_ + L"b.mo");
    EXPECT_NE(&a, &b);
    EXPECT_THROW(locator.AcquireCatalogue(dir_ + L"empty.mo"), EGGIOError);
    EXPECT_THROW(locator.AcquireCatalogue(dir_ + L"missing.mo"), EGGIOError);
    EXPECT_EQ(locator.OpenCount(), 2u);
    locator.ReleaseCatalogue(a);
    locator.ReleaseCatalogue(b);
    EXPECT_EQ(locator.OpenCount(), 0u);
}

// The build appends the shipped catalogues to a copy of the tool; this reads that copy's marker the
// way the tool reads its own, follows the chain and compares every entry with the shipped file.
TEST_F(FileLocatorTest, FindsTheCataloguesAppendedToTheTool) {
    const std::wstring exe = dir_ + L"CXAddinReg.exe";
    ASSERT_TRUE(::CopyFileW(cxtest::EmbeddedToolPath().c_str(), exe.c_str(), FALSE));
    const std::string image = ReadAll(exe);
    const std::string marker = "6637DB2E-62E1-4A60-AC19-C23867046A89";
    const std::size_t at = image.find(marker);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(image.find(marker, at + 1), std::string::npos);
    const std::uint64_t chain = GetLe64(image, at + marker.size());
    ASSERT_NE(chain, 0u);

    FileLocator locator;
    locator.ScanEmbeddedCatalogues(exe, chain);
    const std::wstring german = dir_ + L"locale\\de\\LC_MESSAGES\\CXAddinReg.mo";
    EXPECT_TRUE(locator.IsEmbeddedCatalogue(german));
    EXPECT_TRUE(locator.IsEmbeddedCatalogue(dir_ + L"LOCALE\\de\\lc_messages\\cxaddinreg.mo"));
    EXPECT_TRUE(locator.IsEmbeddedCatalogue(dir_ + L"locale\\zh_CN\\LC_MESSAGES\\CXAddinReg.mo"));
    EXPECT_FALSE(locator.IsEmbeddedCatalogue(dir_ + L"locale\\fr\\LC_MESSAGES\\CXAddinReg.mo"));
    EXPECT_FALSE(locator.IsEmbeddedCatalogue(L"C:\\elsewhere\\locale\\de\\LC_MESSAGES\\CXAddinReg.mo"));
    EXPECT_FALSE(::GetFileAttributesW(german.c_str()) != INVALID_FILE_ATTRIBUTES) << "no file on disk";

    MoFile& embedded = locator.AcquireCatalogue(german);
    EXPECT_EQ(embedded.Path(), exe);
    EXPECT_GT(embedded.Offset(), 0u);
    FileLocator plain;
    MoFile& shipped = plain.AcquireCatalogue(cxtest::ShippedCatalogue(L"de"));
    ASSERT_EQ(embedded.Catalogue().Count(), shipped.Catalogue().Count());
    for (std::uint32_t i = 0; i < shipped.Catalogue().Count(); ++i) {
        const auto found = embedded.Lookup(shipped.Catalogue().SourceAt(i));
        EXPECT_TRUE(found.found);
        EXPECT_EQ(found.text, shipped.Catalogue().TranslationAt(i));
    }
    plain.ReleaseCatalogue(shipped);
    locator.ReleaseCatalogue(embedded);
}

// A chain written here record by record, with damage after the first good record: the scan keeps
// what it found before the damage, and ends.
TEST_F(FileLocatorTest, ADamagedChainKeepsTheRecordsBeforeTheDamage) {
    struct Record {
        std::uint64_t next, offset, size;
        std::string name;
    };
    const std::string head(64, 'P');
    const std::uint64_t data = head.size();
    const std::uint64_t chain = data + sample_.size();
    const std::uint64_t second = chain + 24 + 16;
    const auto write = [&](const std::vector<Record>& records) {
        std::string bytes = head + sample_;
        for (const Record& r : records) bytes += Le64(r.next) + Le64(r.offset) + Le64(r.size) + r.name;
        WriteAll(dir_ + L"host.exe", bytes);
        return bytes.size();
    };
    const auto found = [&](std::uint64_t start) {
        FileLocator locator;
        locator.ScanEmbeddedCatalogues(dir_ + L"host.exe", start);
        std::vector<std::wstring> names;
        for (const wchar_t* name : {L"a.mo", L"b.mo", L"A.mo"}) {
            if (locator.IsEmbeddedCatalogue(dir_ + name)) names.push_back(name);
        }
        return names;
    };
    const std::string first = "\t a.mo   \r\n     ";  // trimmed at both ends; 16 bytes up to the next record
    ASSERT_EQ(first.size(), 16u);
    const std::vector<std::wstring> onlyFirst{L"a.mo", L"A.mo"};

    write({{second, data, sample_.size(), first}, {0, data, sample_.size(), "b.mo"}});
    EXPECT_EQ(found(chain), (std::vector<std::wstring>{L"a.mo", L"b.mo", L"A.mo"}));
    write({{second, data, sample_.size(), first}, {0, data, sample_.size() + 1000, "b.mo"}});
    EXPECT_EQ(found(chain), onlyFirst) << "data past the end";
    write({{second, data, sample_.size(), first}, {chain, data, sample_.size(), "b.mo"}});
    EXPECT_EQ(found(chain), onlyFirst) << "a record pointing back";
    write({{second, data, sample_.size(), first}, {0, data, sample_.size(), "A.MO"}});
    EXPECT_EQ(found(chain), onlyFirst) << "the same name twice";
    write({{second, data, sample_.size(), first}, {0, data, sample_.size(), "   "}});
    EXPECT_EQ(found(chain), onlyFirst) << "no name";
    const auto total = write({{second, data, sample_.size(), first}});
    EXPECT_EQ(found(chain), onlyFirst) << "the next record lies past the end";
    EXPECT_TRUE(found(total + 8).empty()) << "the chain starts past the end";

    // Bytes appended after the chain, as signing appends a signature: a zero byte ends the last name
    // however much follows; a name without one (an older chain) takes them in.
    const std::string appended = std::string(3, '\0') + std::string(5000, 'S');
    const std::string ended = std::string("b.mo\0  ", 7);
    write({{second, data, sample_.size(), first}, {0, data, sample_.size(), ended + appended}});
    EXPECT_EQ(found(chain), (std::vector<std::wstring>{L"a.mo", L"b.mo", L"A.mo"})) << "a long signature";
    write({{second, data, sample_.size(), first}, {0, data, sample_.size(), ended + "\x30\x82\x05\xFA"}});
    EXPECT_EQ(found(chain), (std::vector<std::wstring>{L"a.mo", L"b.mo", L"A.mo"})) << "a short one";
    write({{second, data, sample_.size(), first}, {0, data, sample_.size(), "b.mo  \x30\x82\x05\xFA"}});
    EXPECT_EQ(found(chain), onlyFirst) << "no zero byte";

    write({{second, data, sample_.size(), first}, {0, data, sample_.size(), "b.mo"}});
    FileLocator locator;
    locator.ScanEmbeddedCatalogues(dir_ + L"host.exe", chain);
    MoFile& a = locator.AcquireCatalogue(dir_ + L"a.mo");
    MoFile& b = locator.AcquireCatalogue(dir_ + L"b.mo");
    EXPECT_EQ(&a, &b) << "two names for one stretch of one file share the object";
    EXPECT_EQ(a.Lookup("Emoji").text, "Notiz \xF0\x9F\x93\x9D");
    locator.ReleaseCatalogue(a);
    locator.ReleaseCatalogue(b);
}

}  // namespace
}  // namespace cx
