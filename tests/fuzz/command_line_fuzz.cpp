// libFuzzer target: command-line splitting. Input bytes are read as little-endian UTF-16 units, as
// the command line arrives on Windows. Beyond "no crash": no parameter is empty or holds a quote or
// a zero, and quoting each parameter and splitting again gives the same parameters.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring line;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        line.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));
    }

    const std::vector<std::wstring> params = cx::SplitCommandLine(line);
    std::wstring rebuilt = L"program";
    for (const std::wstring& param : params) {
        if (param.empty() || param.find_first_of(std::wstring_view(L"\"\0", 2)) != std::wstring::npos) {
            std::abort();
        }
        rebuilt += L" \"" + param + L"\"";
    }
    if (cx::SplitCommandLine(rebuilt) != params) std::abort();
    return 0;
}
