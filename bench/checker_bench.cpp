// Speed of the check pass on a large generated .ibs file: header, long
// notes, comment lines and section keywords with data lines. Reports MB/s;
// the sizes show that the time grows linearly. Then the table readers on
// tables of many rows and models of many tables, and on package files with
// large sparse and full matrices.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/smos.h"
#include "IbisParser/wvfrm.h"

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

// A file of `count` models, each with its sub-parameters, a few keywords and
// tables, an [Add Submodel] row and an [Algorithmic Model]; every tenth name
// repeats an earlier one.
std::string GenerateModels(int count, size_t *bytes) {
    char tmpl[] = "/tmp/checker-bench-models-XXXXXX";
    if (mkdtemp(tmpl) == nullptr)
        abort();
    std::string path = std::string(tmpl) + "/models.ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] models.ibs\n[File Rev] 1.0\n";
    for (int i = 0; i < count; ++i) {
        int n = i % 10 == 9 ? i / 2 : i;
        out << "[Model] model_" << n << "\nModel_type I/O\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.5\n"
            << "C_comp 1p 0.9p 1.1p\n[Voltage Range] 3.3 3.0 3.6\n[TTgnd] 1n 1n 1n\n"
            << "[Pulldown]\n-1 -1m -1m -1m\n1 1m 1m 1m\n[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\n"
            << "dV/dt_f 1/1n 1/1n 1/1n\n[Rising Waveform]\nR_fixture = 50\nV_fixture = 0\n"
            << "0 0 0 0\n1n 1 1 1\n[Composite Current]\n0 0 0 0\n1n 1m 1m 1m\n"
            << "[Add Submodel]\nsub_" << n << " All\n[Algorithmic Model]\n"
            << "Executable Linux_gcc_64 m" << n << ".so m" << n << ".ami\n"
            << "Executable Windows_cl_64 m" << n << ".dll m" << n << ".ami\n"
            << "[End Algorithmic Model]\n";
    }
    out << "[End]\n";
    out.close();
    FILE *f = fopen(path.c_str(), "rb");
    fseek(f, 0, SEEK_END);
    *bytes = static_cast<size_t>(ftell(f));
    fclose(f);
    return path;
}

// Models per second: the time grows linearly with the number of models.
void BM_CheckManyModels(benchmark::State &state) {
    size_t bytes = 0;
    const int count = static_cast<int>(state.range(0));
    std::string path = GenerateModels(count, &bytes);
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
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// The table readers, driven as a section drives them, on tables far past
// their limits: the time per row or table must not grow with the count.
struct Silence {
    FILE *sink = fopen("/dev/null", "w");
    Silence() { MSG_SetOutput(sink); }
    ~Silence() {
        MSG_SetOutput(nullptr);
        fclose(sink);
    }
};

// One I-V table of N rows (distinct voltages, each checked against all
// earlier ones for repeats).
void BM_CurveRows(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    std::vector<std::string> lines;
    for (int i = 0; i < rows; ++i)
        lines.push_back(std::to_string(i) + "m " + std::to_string(i) + "u NA NA");
    Silence quiet;
    for (auto _ : state) {
        CRV *table = nullptr;
        CRV_Init("[Pulldown]", "Pulldown", &table);
        for (const std::string &line : lines)
            CRV_ParseLine(line.c_str(), table, "Pulldown");
        CRV_EndKeyword("m", MDL_TYPE_IO, KW_PULLDOWN, table, "Pulldown", "Model");
        CRV_Free(table);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * rows);
}

// One model with N rising waveforms of two rows each.
void BM_Waveforms(benchmark::State &state) {
    const int tables = static_cast<int>(state.range(0));
    Silence quiet;
    for (auto _ : state) {
        WVFRM *list = nullptr;
        for (int i = 0; i < tables; ++i) {
            WVFRM_Init("[Rising Waveform]", &list, "Rising Waveform");
            WVFRM_ParseLine("R_fixture = 50", "Rising Waveform");
            WVFRM_ParseLine("V_fixture = 0", "Rising Waveform");
            WVFRM_ParseLine("0 0 0 0", "Rising Waveform");
            WVFRM_ParseLine("1n 1 1 1", "Rising Waveform");
            WVFRM_EndKeyword("Rising", WVFRM_KIND_WAVEFORM);
        }
        WVFRM_Free(list);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * tables);
}

// N [Series MOSFET] entries of distinct Vds, then the search for equal ones.
void BM_SeriesMosfets(benchmark::State &state) {
    const int entries = static_cast<int>(state.range(0));
    Silence quiet;
    for (auto _ : state) {
        SMOS *list = nullptr;
        for (int i = 0; i < entries; ++i) {
            SMOS *entry = nullptr;
            SMOS_Init("[Series MOSFET]", &list, &entry);
            SMOS_ParseLine(("Vds = " + std::to_string(i) + "m").c_str());
            SMOS_CheckTable("m", MDL_TYPE_SERIES, KW_SERIES_MOSFET);
        }
        SMOS_CheckDuplicateVds(list, "m", "[On]");
        SMOS_Free(list);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * entries);
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
    int passed = 0;
    {
        Silence quiet;
        for (auto _ : state) {
            PARSE_SetIbisVersion(0);
            CMN_ResetFileState();
            passed = CHECKPASS_CheckFile(path.c_str(), FILE_PKG, 0);
        }
    }
    remove(path.c_str());
    remove(path.substr(0, path.rfind('/')).c_str());
    if (!passed)
        state.SkipWithError("the generated package file did not pass");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// A directory with a board file of `pins` pins, one path per pin from the
// pin through a section to the same pin of a component, and the .ibs file
// of that component. Returns the board file's path.
std::string GenerateBoard(int pins, size_t *bytes) {
    char tmpl[] = "/tmp/checker-bench-XXXXXX";
    if (mkdtemp(tmpl) == nullptr)
        abort();
    std::string dir = tmpl;
    std::ofstream ibs(dir + "/chip.ibs", std::ios::binary);
    ibs << "[IBIS Ver] 5.0\n[File Name] chip.ibs\n[File Rev] 1\n[Component] C\n[Manufacturer] m\n"
        << "[Package]\nR_pkg 1m 1m 1m\nL_pkg 1n 1n 1n\nC_pkg 1p 1p 1p\n[Pin] signal_name model_name\n";
    for (int i = 1; i <= pins; ++i)
        ibs << i << " s" << i << " POWER\n";
    ibs << "[End]\n";
    ibs.close();
    std::string path = dir + "/board.ebd";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] board.ebd\n[File Rev] 1\n[Begin Board Description] B\n"
        << "[Manufacturer] m\n[Number Of Pins] " << pins << "\n[Pin List] signal_name\n";
    for (int i = 1; i <= pins; ++i)
        out << "b" << i << " s" << i << "\n";
    for (int i = 1; i <= pins; ++i)
        out << "[Path Description] p" << i << "\nPin b" << i << " Len=1 L=1n C=1p / Node U1." << i << "\n";
    out << "[Reference Designator Map]\nU1 chip.ibs C\n[End Board Description]\n[End]\n";
    out.close();
    *bytes = FileSize(path) + FileSize(dir + "/chip.ibs");
    return path;
}

// range(0) pins; the board's own checks, its end pass and the check of the
// component file it references.
void BM_CheckBoard(benchmark::State &state) {
    size_t bytes = 0;
    std::string path = GenerateBoard(static_cast<int>(state.range(0)), &bytes);
    int passed = 0;
    {
        Silence quiet;
        for (auto _ : state) {
            PARSE_SetIbisVersion(0);
            CMN_ResetFileState();
            passed = CHECKPASS_CheckFile(path.c_str(), FILE_EBD, 0);
        }
    }
    std::string dir = path.substr(0, path.rfind('/'));
    remove(path.c_str());
    remove((dir + "/chip.ibs").c_str());
    remove(dir.c_str());
    if (!passed)
        state.SkipWithError("the generated board did not pass");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

}  // namespace

BENCHMARK(BM_CheckManyModels)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckLargeIbs)->Arg(8)->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurveRows)->Arg(20000)->Arg(80000)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Waveforms)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesMosfets)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPackage)
    ->Args({5000, 20})
    ->Args({1000, 0})
    ->Args({2500, 20})
    ->Args({500, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckBoard)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
