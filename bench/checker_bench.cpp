// Speed of the check pass on a large generated .ibs file: header, long
// notes, comment lines and section keywords with data lines. Reports MB/s;
// the sizes show that the time grows linearly.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace {

size_t FileSize(const std::string &path) {
    FILE *f = fopen(path.c_str(), "rb");
    if (f == nullptr)
        abort();
    fseek(f, 0, SEEK_END);
    size_t size = static_cast<size_t>(ftell(f));
    fclose(f);
    return size;
}

// Writes a file of about `mb` megabytes; returns its path and size.
std::string Generate(int mb, size_t *bytes) {
    static std::string dir;
    if (dir.empty()) {
        char tmpl[] = "/tmp/checker-bench-XXXXXX";
        if (mkdtemp(tmpl) == nullptr)
            abort();
        dir = tmpl;
    }
    std::string path = dir + "/big" + std::to_string(mb) + ".ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] big" << mb << ".ibs\n[File Rev] 1.0\n[Date] today\n"
        << "[Source] generated\n[Notes] notes follow\n";
    const size_t target = static_cast<size_t>(mb) << 20;
    size_t written = 0;
    int n = 0;
    // A third notes, then comments, then model sections.
    while (written < target / 3) {
        std::string line = "  note line " + std::to_string(n++) +
                           " with some ordinary text of a typical length for notes\n";
        out << line;
        written += line.size();
    }
    out << "[Disclaimer] none\n";
    while (written < 2 * target / 3) {
        std::string line = "| comment " + std::to_string(n++) + " |||||||||||||||||||||||||||||||||||\n";
        out << line;
        written += line.size();
    }
    out << "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m 1m 1m\n";
    while (written < target) {
        std::string block = "[Model] m" + std::to_string(n++) +
                            "\nModel_type I/O\nC_comp 1p 1p 1p | comment\n[Pulldown]\n"
                            "-1.0 -10m -9m -11m\n0.0 0 0 0\n1.0 10m 9m 11m\n";
        out << block;
        written += block.size();
    }
    out << "[End]\n";
    out.close();
    *bytes = FileSize(path);
    return path;
}

void BM_CheckLargeIbs(benchmark::State &state) {
    size_t bytes = 0;
    std::string path = Generate(static_cast<int>(state.range(0)), &bytes);
    FILE *sink = fopen("/dev/null", "w");
    MSG_SetOutput(sink);
    for (auto _ : state) {
        PARSE_SetIbisVersion(0);
        CMN_ResetFileState();
        benchmark::DoNotOptimize(CHECKPASS_CheckFile(path.c_str(), FILE_IBS, 0));
    }
    MSG_SetOutput(nullptr);
    fclose(sink);
    remove(path.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// A .pkg file of one model with `pins` pins whose inductance and capacitance
// matrices are sparse with `entries` entries per row (entries 0: full
// matrices, ten values per line).
std::string GeneratePackage(int pins, int entries, size_t *bytes) {
    char tmpl[] = "/tmp/checker-bench-XXXXXX";
    if (mkdtemp(tmpl) == nullptr)
        abort();
    std::string name = "p" + std::to_string(pins) + ".pkg";
    std::string path = std::string(tmpl) + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] " << name << "\n[File Rev] 1\n"
        << "[Define Package Model] P\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
        << "[Number Of Pins] " << pins << "\n[Pin Numbers]\n";
    for (int i = 1; i <= pins; ++i)
        out << "p" << i << "\n";
    out << "[Model Data]\n";
    for (const char *matrix : {"Inductance", "Capacitance"}) {
        out << "[" << matrix << " Matrix] " << (entries > 0 ? "Sparse_matrix" : "Full_matrix") << "\n";
        for (int k = 1; k <= pins; ++k) {
            out << "[Row] p" << k << "\n";
            if (entries > 0) {
                for (int c = k; c < k + entries && c <= pins; ++c)
                    out << "p" << c << " " << (c == k ? "1.5n" : "0.25n") << "\n";
                continue;
            }
            for (int c = k; c <= pins; ++c)
                out << (c == k ? "1.5n" : "0.25n") << ((c - k) % 10 == 9 || c == pins ? "\n" : " ");
        }
    }
    out << "[End Model Data]\n[End Package Model]\n[End]\n";
    out.close();
    *bytes = FileSize(path);
    return path;
}

// range(0) pins, range(1) sparse entries per row (0: full).
void BM_CheckPackage(benchmark::State &state) {
    size_t bytes = 0;
    std::string path = GeneratePackage(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), &bytes);
    FILE *sink = fopen("/dev/null", "w");
    MSG_SetOutput(sink);
    int passed = 0;
    for (auto _ : state) {
        PARSE_SetIbisVersion(0);
        CMN_ResetFileState();
        passed = CHECKPASS_CheckFile(path.c_str(), FILE_PKG, 0);
    }
    MSG_SetOutput(nullptr);
    fclose(sink);
    remove(path.c_str());
    remove(path.substr(0, path.rfind('/')).c_str());
    if (!passed)
        state.SkipWithError("the generated package file did not pass");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(BM_CheckLargeIbs)->Arg(8)->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPackage)
    ->Args({5000, 20})
    ->Args({1000, 0})
    ->Args({2500, 20})
    ->Args({500, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
