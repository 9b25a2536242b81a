// The built executable itself: what it asks Windows for, and what it loads at every start.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/install_folder.h"

namespace {

std::vector<char> ReadFileBytes(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The names of the DLLs in the import table, upper-cased.
std::vector<std::string> ImportedDlls(const std::vector<char>& image) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(image.data() + dos->e_lfanew);
    const auto* sections = IMAGE_FIRST_SECTION(nt);
    auto offsetOf = [&](DWORD rva) -> std::size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + std::max(s.Misc.VirtualSize, s.SizeOfRawData)) {
                return rva - s.VirtualAddress + s.PointerToRawData;
            }
        }
        return 0;
    };
    std::vector<std::string> names;
    const DWORD rva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(image.data() + offsetOf(rva));
         entry->Name != 0; ++entry) {
        std::string name = image.data() + offsetOf(entry->Name);
        std::transform(name.begin(), name.end(), name.begin(), [](char c) { return std::toupper(c); });
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Executable, IsA32BitGuiProgramThatAsksForAdministratorRights) {
    const std::vector<char> image = ReadFileBytes(cxtest::ToolExePath());
    ASSERT_GT(image.size(), 4096u);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(
        image.data() + reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data())->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    HMODULE module = ::LoadLibraryExW(cxtest::ToolExePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_TRUE(resource);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(module, resource)));
    const std::string manifest(data, ::SizeofResource(module, resource));
    ::FreeLibrary(module);
    for (const char* expected : {"name=\"UAC.Admin\"", "version=\"1.0.0.0\"", "processorArchitecture=\"X86\"",
                                 "type=\"win32\"", "level=\"requireAdministrator\"", "uiAccess=\"false\""}) {
        EXPECT_NE(manifest.find(expected), std::string::npos) << expected;
    }
}

// user32, ole32 and oleaut32 are bound at their first call: a probe must not pay for loading them.
TEST(Executable, LoadsOnlyKernelRegistryAndRuntimeDllsAtStartUp) {
    EXPECT_EQ(ImportedDlls(ReadFileBytes(cxtest::ToolExePath())),
              (std::vector<std::string>{"ADVAPI32.DLL", "KERNEL32.DLL", "MSVCRT.DLL"}));
}

}  // namespace
