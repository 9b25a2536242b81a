// Reads and prepares the registry directly, through the wide API, the way the tests check the tool.
// `view` (KEY_WOW64_64KEY or KEY_WOW64_32KEY) reaches the other registry view from this 32-bit process
// in a 64-bit prefix; 0 is the process's own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cxtest {

struct RegValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    // REG_SZ / REG_EXPAND_SZ data up to the first NUL.
    std::wstring Text() const;
    std::uint32_t Dword() const;
};

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0);
std::optional<RegValue> ReadValue(HKEY root, const std::wstring& path, const std::wstring& name,
                                  REGSAM view = 0);
std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const std::wstring& name,
                                       REGSAM view = 0);
std::optional<std::uint32_t> ReadDword(HKEY root, const std::wstring& path, const std::wstring& name);
// Direct sub-key names, in enumeration order.
std::vector<std::wstring> SubKeys(HKEY root, const std::wstring& path, REGSAM view = 0);

void CreateKey(HKEY root, const std::wstring& path);
void WriteString(HKEY root, const std::wstring& path, const std::wstring& name, const std::wstring& text,
                 DWORD type = REG_SZ, REGSAM view = 0);
void WriteDword(HKEY root, const std::wstring& path, const std::wstring& name, std::uint32_t value);
void WriteRaw(HKEY root, const std::wstring& path, const std::wstring& name, DWORD type, const void* data,
              DWORD size, REGSAM view = 0);
void DeleteTree(HKEY root, const std::wstring& path, REGSAM view = 0);
// Replaces the DACL of an existing key with the one given in SDDL, e.g. "D:(D;;SD;;;WD)(A;;KA;;;WD)";
// records a test failure when that is not possible.
void SetKeyDacl(HKEY root, const std::wstring& path, const wchar_t* sddl);

// Every key and value below `path` (empty: the whole root), one line each, sorted: for comparing
// before and after a run.
std::vector<std::wstring> ExportTree(HKEY root, const std::wstring& path);

// Moves a key's tree aside for a test and puts it back afterwards, so that registrations other tests
// made (a Word stand-in's, say) survive the test's changes.
class SavedTree {
public:
    SavedTree(HKEY root, std::wstring path);
    ~SavedTree();
    SavedTree(const SavedTree&) = delete;
    SavedTree& operator=(const SavedTree&) = delete;

private:
    HKEY root_;
    std::wstring path_;
    std::wstring backup_;
    bool saved_ = false;
};

// What Windows shows an unelevated program of this user under HKEY_CLASSES_ROOT: its own classes
// (HKEY_CURRENT_USER\Software\Classes) over the machine's. Wine does not lay them over each other, so
// this points this process's HKEY_CLASSES_ROOT at the user's classes while it lives; the machine's stay
// reachable under HKEY_LOCAL_MACHINE\Software\Classes.
class UserClassesFirst {
public:
    UserClassesFirst();
    ~UserClassesFirst();
    UserClassesFirst(const UserClassesFirst&) = delete;
    UserClassesFirst& operator=(const UserClassesFirst&) = delete;
};

}  // namespace cxtest
