// Speed of the check pass on a large generated .ibs file: header, long
// notes, comment lines and section keywords with data lines. Reports MB/s;
// the sizes show that the time grows linearly. Then the table readers on
// tables of many rows and models of many tables.
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
    FILE *f = fopen(path.c_str(), "rb");
    fseek(f, 0, SEEK_END);
    *bytes = static_cast<size_t>(ftell(f));
    fclose(f);
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

// A file of `count` blocks, each a model with its selector, a submodel, a
// test load and a test data that name each other; every tenth block reuses
// an earlier block's names, so the duplicate checks and the lookups at the
// end of the file meet both found and repeated names.
std::string GenerateNamedSections(int count, size_t *bytes) {
    std::string path = "/tmp/checker-bench-named-" + std::to_string(count) + ".ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] checker-bench-named-" << count << ".ibs\n"
        << "[File Rev] 1.0\n";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i % 10 == 9 ? i / 2 : i);
        out << "[Model] m" << n << "\nModel_type I/O\nC_comp 1p 1p 1p\n[Add Submodel]\ns" << n
            << " All\n[Model Selector] ms" << n << "\nm" << n << " the model\nm" << i / 2
            << " another\n[Submodel] s" << n << "\nSubmodel_type Dynamic_clamp\n[GND Clamp]\n"
            << "-1 -1m -1m -1m\n0 0 0 0\n[Test Load] t" << n << "\nTest_load_type Single_ended\n"
            << "Receiver_model m" << n << "\n[Test Data] d" << n << "\nTest_data_type Single_ended\n"
            << "Driver_model m" << n << "\nTest_load t" << n << "\n[Rising Waveform Near]\n"
            << "0 0 0 0\n1n 1 1 1\n";
    }
    out << "[End]\n";
    out.close();
    FILE *f = fopen(path.c_str(), "rb");
    fseek(f, 0, SEEK_END);
    *bytes = static_cast<size_t>(ftell(f));
    fclose(f);
    return path;
}

// Blocks per second: the time grows linearly with the number of names.
void BM_CheckNamedSections(benchmark::State &state) {
    size_t bytes = 0;
    const int count = static_cast<int>(state.range(0));
    std::string path = GenerateNamedSections(count, &bytes);
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

}  // namespace

BENCHMARK(BM_CheckNamedSections)->Arg(5000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckLargeIbs)->Arg(8)->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurveRows)->Arg(20000)->Arg(80000)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Waveforms)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesMosfets)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
