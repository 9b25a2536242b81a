// Catalogue lookups: MoCatalogue::Lookup against the C library's dgettext, on the same msgfmt-built
// catalogues (100, 10,000 and 100,000 entries) and the same keys, for keys present and absent; also
// the cost of opening a catalogue (both tables are checked then). Numbers only mean something in a
// Release build without sanitizers:
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCX_SANITIZE=OFF -DCX_BUILD_TESTS=OFF
//   cmake --build build/bench -j2 --target mo_lookup_bench && build/bench/bench/mo_lookup_bench
// glibc only uses catalogues when LC_MESSAGES is not "C"; C.UTF-8 plus LANGUAGE is enough, and the
// program sets both itself.
#include <benchmark/benchmark.h>
#include <libintl.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "i18n/mo_catalogue.h"
#include "platform/errors.h"

namespace {

const char kLanguage[] = "de";
const std::vector<int> kSizes = {100, 10000, 100000};

struct Catalogue {
    std::string domain;
    std::string bytes;
    std::unique_ptr<cx::MoCatalogue> reader;
    std::vector<std::string> hits;    // every key, shuffled
    std::vector<std::string> misses;  // as many keys that are not in it
};

std::string PoString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Texts shaped like a program's messages: a few words, a number to keep them apart, some non-ASCII.
std::vector<std::string> MakeKeys(int count, std::mt19937& random) {
    static const std::vector<std::string> words = {
        "Cannot", "open",     "the",   "file",  "registry", "key",      "Word",   "add-in",
        "was",    "not",      "found", "Größe", "über",     "注册表",   "please", "%s",
        "error",  "Continue", "?",     "the",   "version",  "Microsoft"};
    std::vector<std::string> keys;
    for (int i = 0; i < count; ++i) {
        std::string key;
        for (int n = 2 + random() % 8; n > 0; --n) key += words[random() % words.size()] + " ";
        keys.push_back(key + std::to_string(i));
    }
    return keys;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Catalogue MakeCatalogue(const std::filesystem::path& root, int size) {
    std::mt19937 random(size);
    Catalogue c;
    c.domain = "bench" + std::to_string(size);
    c.hits = MakeKeys(size, random);
    std::string po = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n";
    for (const std::string& key : c.hits) {
        po += "\nmsgid " + PoString(key) + "\nmsgstr " + PoString("[" + key + "]") + "\n";
    }
    for (const std::string& key : c.hits) c.misses.push_back(key + " (absent)");
    std::shuffle(c.hits.begin(), c.hits.end(), random);
    std::shuffle(c.misses.begin(), c.misses.end(), random);

    const auto dir = root / kLanguage / "LC_MESSAGES";
    std::filesystem::create_directories(dir);
    const auto poPath = root / (c.domain + ".po");
    const auto moPath = dir / (c.domain + ".mo");
    std::ofstream(poPath, std::ios::binary) << po;
    const std::string command =
        std::string(CX_MSGFMT) + " -o '" + moPath.string() + "' '" + poPath.string() + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    c.bytes = ReadFile(moPath);
    c.reader = std::make_unique<cx::MoCatalogue>(c.bytes.data(), c.bytes.size(), L"bench.mo");
    bindtextdomain(c.domain.c_str(), root.c_str());

    // Both sides must translate every key alike, or the comparison means nothing.
    for (const std::string& key : c.hits) {
        const std::string expected = "[" + key + "]";
        if (c.reader->Lookup(key).text != expected || dgettext(c.domain.c_str(), key.c_str()) != expected) {
            throw std::runtime_error("not translated alike: " + key);
        }
    }
    for (const std::string& key : c.misses) {
        if (c.reader->Lookup(key).found || dgettext(c.domain.c_str(), key.c_str()) != key) {
            throw std::runtime_error("absent key translated: " + key);
        }
    }
    return c;
}

void Ours(benchmark::State& state, const Catalogue* c, const std::vector<std::string>* keys) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c->reader->Lookup((*keys)[i]));
        if (++i == keys->size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void Glibc(benchmark::State& state, const Catalogue* c, const std::vector<std::string>* keys) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dgettext(c->domain.c_str(), (*keys)[i].c_str()));
        if (++i == keys->size()) i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

void Open(benchmark::State& state, const Catalogue* c) {
    for (auto _ : state) {
        const cx::MoCatalogue catalogue(c->bytes.data(), c->bytes.size(), L"bench.mo");
        benchmark::DoNotOptimize(catalogue.Count());
    }
}

// Keeps each run's time per lookup so that the ratios can be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.run_type == Run::RT_Iteration) {
                timeNs_[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const {
        std::printf("\n%-8s %-6s %12s %12s %16s\n", "entries", "keys", "ours ns", "glibc ns",
                    "ours/glibc speed");
        for (const int size : kSizes) {
            for (const char* kind : {"hit", "miss"}) {
                const std::string suffix = std::string("/") + kind + "/" + std::to_string(size);
                const auto ours = timeNs_.find("ours" + suffix), glibc = timeNs_.find("glibc" + suffix);
                if (ours == timeNs_.end() || glibc == timeNs_.end()) continue;
                std::printf("%-8d %-6s %12.1f %12.1f %15.2fx\n", size, kind, ours->second, glibc->second,
                            glibc->second / ours->second);
            }
        }
    }

  private:
    std::map<std::string, double> timeNs_;
};

}  // namespace

int main(int argc, char** argv) {
    setenv("LANGUAGE", kLanguage, 1);
    setenv("LC_ALL", "C.UTF-8", 1);
    if (std::setlocale(LC_ALL, "") == nullptr) {
        std::fprintf(stderr, "locale C.UTF-8 is missing\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    const auto root =
        std::filesystem::temp_directory_path() / ("cx_mo_bench_" + std::to_string(std::random_device{}()));
    std::vector<std::unique_ptr<Catalogue>> catalogues;
    try {
        for (const int size : kSizes) {
            catalogues.push_back(std::make_unique<Catalogue>(MakeCatalogue(root, size)));
            const Catalogue* c = catalogues.back().get();
            const std::string n = std::to_string(size);
            benchmark::RegisterBenchmark(("ours/hit/" + n).c_str(), Ours, c, &c->hits);
            benchmark::RegisterBenchmark(("glibc/hit/" + n).c_str(), Glibc, c, &c->hits);
            benchmark::RegisterBenchmark(("ours/miss/" + n).c_str(), Ours, c, &c->misses);
            benchmark::RegisterBenchmark(("glibc/miss/" + n).c_str(), Glibc, c, &c->misses);
            benchmark::RegisterBenchmark(("open/" + n).c_str(), Open, c)->Unit(benchmark::kMicrosecond);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        std::filesystem::remove_all(root);
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    std::filesystem::remove_all(root);
    return 0;
}
