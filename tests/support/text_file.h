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

}  // namespace cxtest
