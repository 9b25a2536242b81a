// Small file helpers for tests: UTF-8 text files written and read through the wide API.
#pragma once

#include <string>
#include <vector>

namespace cxtest {

void WriteTextFile(const std::wstring& path, const std::wstring& text);
// The lines of a UTF-8 file without their line ends; empty when the file does not exist.
std::vector<std::wstring> ReadLines(const std::wstring& path);
// How many lines of the file hold `text`.
int CountLinesWith(const std::wstring& path, const std::wstring& text);
bool FileExists(const std::wstring& path);
void DeleteFileIfPresent(const std::wstring& path);
// A symbolic link made on the Unix side, as a program of the user could plant one in the prefix (Wine
// makes none from Windows): `link` leads to `target`, both Windows paths, for the object's lifetime
// (/bin/ln and /bin/rm). Declare it after what holds its target, so that it goes first.
class UnixSymlink {
public:
    UnixSymlink(const std::wstring& link, const std::wstring& target);
    ~UnixSymlink();
    UnixSymlink(const UnixSymlink&) = delete;
    UnixSymlink& operator=(const UnixSymlink&) = delete;

    // Whether the link is there.
    bool Made() const { return FileExists(link_); }

private:
    std::wstring link_;
};

}  // namespace cxtest
