// How the context-menu removal and the key-tree deletion scale with the number of keys.
//   cx_registry_bench.exe "<path of CXAddinReg.exe>"
// Prints one line per size: the median and the fastest of several runs, and the fastest per key.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "hosts/browser/ie_context_menu.h"
#include "platform/handles.h"
#include "platform/registry/registry_ex.h"

namespace {

constexpr wchar_t kMenuExt[] = L"Software\\Microsoft\\Internet Explorer\\MenuExt";
constexpr wchar_t kTree[] = L"Software\\CXBench\\Tree";
constexpr int kRuns = 9;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The fastest run: the least disturbed by other work on the machine.
double Fastest(const std::vector<double>& samples) {
    return *std::min_element(samples.begin(), samples.end());
}

void CreateKeyWithPage(const std::wstring& path, const std::wstring& page) {
    cx::UniqueKey key;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                      nullptr);
    const DWORD contexts = 57;
    ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(page.c_str()),
                     static_cast<DWORD>((page.size() + 1) * sizeof(wchar_t)));
    ::RegSetValueExW(key.get(), L"Contexts", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&contexts),
                     sizeof contexts);
}

// `count` entries of other programs, none of which the removal touches.
void FillMenuExt(int count) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kMenuExt);
    for (int i = 0; i < count; ++i) {
        CreateKeyWithPage(std::wstring(kMenuExt) + L"\\Other entry " + std::to_wstring(i),
                          L"C:\\Program Files\\Other\\page" + std::to_wstring(i) + L".htm");
    }
}

// A tree of `count` keys: the root, `count / 100` children, the rest spread below them as grandchildren.
void BuildTree(int count) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kTree);
    const int children = std::max(1, count / 100);
    int made = 1;
    cx::UniqueKey root;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kTree, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root.put(), nullptr);
    for (int c = 0; c < children && made < count; ++c, ++made) {
        cx::UniqueKey child;
        ::RegCreateKeyExW(root.get(), (L"child " + std::to_wstring(c)).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                          nullptr, child.put(), nullptr);
        const int grandchildren = (count - 1) / children - 1 + (c < (count - 1) % children ? 1 : 0);
        for (int g = 0; g < grandchildren && made < count; ++g, ++made) {
            cx::UniqueKey grandchild;
            ::RegCreateKeyExW(child.get(), (L"grandchild " + std::to_wstring(g)).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, grandchild.put(), nullptr);
        }
    }
}

DWORD SubKeyCount(const wchar_t* path) {
    cx::UniqueKey key;
    DWORD count = 0;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS) {
        ::RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr);
    }
    return count;
}

double RunTool(const std::wstring& tool, const wchar_t* args) {
    std::wstring line = L"\"" + tool + L"\" " + args;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const double start = Now();
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info)) {
        std::printf("cannot start the tool: %lu\n", ::GetLastError());
        return -1;
    }
    ::WaitForSingleObject(info.hProcess, INFINITE);
    const double elapsed = Now() - start;
    DWORD code = 1;
    ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    if (code != 0) std::printf("  the tool exited with %ld\n", static_cast<long>(code));
    return elapsed;
}

void BenchRemoval(const std::wstring& tool) {
    std::printf("Context-menu removal among unrelated MenuExt entries (%d runs each; ms)\n", kRuns);
    std::printf("%8s %12s %12s %14s %14s %14s\n", "entries", "in-process", "fastest", "us/entry",
                "\"/eu\" run", "fastest");
    for (const int count : {10, 100, 1000, 3000}) {
        FillMenuExt(count);
        std::vector<double> inProcess;
        std::vector<double> viaTool;
        for (int run = 0; run < kRuns; ++run) {
            const double start = Now();
            if (!cx::RegisterIEContextMenu(false)) std::printf("  removal reported false\n");
            inProcess.push_back(Now() - start);
            viaTool.push_back(RunTool(tool, L"/eu"));
        }
        // Nothing in them is ours: every entry must still be there.
        if (SubKeyCount(kMenuExt) != static_cast<DWORD>(count)) std::printf("  entries were removed\n");
        const double fastest = Fastest(inProcess) * 1e3;
        std::printf("%8d %12.2f %12.2f %14.1f %14.2f %14.2f\n", count, Median(inProcess) * 1e3, fastest,
                    fastest * 1e3 / count, Median(viaTool) * 1e3, Fastest(viaTool) * 1e3);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kMenuExt);
}

void BenchTreeDeletion() {
    std::printf("\nDeleteRegKeyTree (%d runs each; building the tree is not timed; ms)\n", kRuns);
    std::printf("%8s %12s %12s %14s\n", "keys", "median", "fastest", "us/key");
    for (const int count : {100, 1000, 10000}) {
        std::vector<double> samples;
        for (int run = 0; run < kRuns; ++run) {
            BuildTree(count);
            const double start = Now();
            const bool deleted = cx::DeleteRegKeyTree(HKEY_CURRENT_USER, std::wstring(L"\\") + kTree);
            samples.push_back(Now() - start);
            if (!deleted) std::printf("  the tree was not deleted\n");
        }
        const double fastest = Fastest(samples) * 1e3;
        std::printf("%8d %12.2f %12.2f %14.1f\n", count, Median(samples) * 1e3, fastest,
                    fastest * 1e3 / count);
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::printf("usage: cx_registry_bench.exe <path of CXAddinReg.exe>\n");
        return 2;
    }
    BenchRemoval(argv[1]);
    BenchTreeDeletion();
    return 0;
}
