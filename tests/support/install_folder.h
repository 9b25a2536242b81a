// A throwaway install folder in the prefix, laid out as the product ships: the tool and the stand-ins
// that a scenario asks for, in a folder whose path holds a blank.
#pragma once

#include <string>

namespace cxtest {

// The built tool and the stand-in folder, as Windows paths.
std::wstring ToolExePath();
std::wstring StandinPath(const std::wstring& fileName);

class InstallFolder {
public:
    // `leaf` names the folder under "C:\Program Files\Corvane Tests\"; it is emptied first.
    explicit InstallFolder(const std::wstring& leaf);
    ~InstallFolder();
    InstallFolder(const InstallFolder&) = delete;
    InstallFolder& operator=(const InstallFolder&) = delete;

    // With the trailing backslash.
    const std::wstring& Dir() const { return dir_; }
    std::wstring Path(const std::wstring& name) const { return dir_ + name; }
    std::wstring Tool() const { return Path(L"CXAddinReg.exe"); }

    // Copies a stand-in into the folder, under another name if given.
    void AddStandin(const std::wstring& standin, const std::wstring& asName = std::wstring()) const;
    void CopyIn(const std::wstring& source, const std::wstring& name) const;

private:
    std::wstring dir_;
};

// Removes a directory tree; true when it is gone.
bool RemoveTree(const std::wstring& dir);
// Creates a directory and any missing parents.
void MakeDirs(const std::wstring& dir);

}  // namespace cxtest
