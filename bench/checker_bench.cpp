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

#include "IbisParser/acdc.h"
#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/crvop.h"
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

// A table of n rows: rising x (0), falling x (1), x that steps back at every
// other row (2), or rising x with the min column "NA" but at both ends (3).
CRV *MakeTable(int n, int shape) {
    CRV *c = nullptr;
    CMN_Alloc(&c, sizeof(CRV));
    RNGP *tail = nullptr;
    for (int i = 0; i < n; ++i) {
        RNGP *r = nullptr;
        RNGP_Create(&r);
        double x = shape == 1 ? n - i : shape == 2 ? i + (i % 2 ? -1.5 : 0.0) : i;
        CRVOP_SetPoint(r, CRVOP_TYP, x * 0.01, x * 1e-3);
        CRVOP_SetPoint(r, CRVOP_MIN, x * 0.01, x * 0.9e-3);
        CRVOP_SetPoint(r, CRVOP_MAX, x * 0.01, x * 1.1e-3);
        if (shape == 3 && i > 0 && i + 1 < n)
            r->min_state = CMN_VALUE_NA;
        r->prev = tail;
        (tail ? tail->next : c->points) = r;
        tail = r;
    }
    return c;
}

// The sum of two large tables (the AC/DC checks merge every I-V table with
// others): a rising one with one of the shapes above. Reports rows per
// second; the sizes show the growth.
void BM_MergeLargeTables(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    CRV *a = MakeTable(n, 0);
    CRV *b = MakeTable(n, static_cast<int>(state.range(1)));
    for (auto _ : state) {
        CRV *sum = CRVOP_Merge(a, b, CRVOP_ALL);
        benchmark::DoNotOptimize(sum);
        CRV_Free(sum);
    }
    CRV_Free(a);
    CRV_Free(b);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * n);
}

// Dynamic_clamp submodels "<i>" of the [Add Submodel] benchmark, each a
// ground clamp of two rows at voltages of its own.
std::vector<CRV *> g_clamps;
int FindClamp(const char *name, SUBMDL *, int *type, const CRV **gnd, const CRV **power) {
    size_t i = strtoul(name, nullptr, 10);
    if (i >= g_clamps.size())
        return 0;
    *type = 2;
    *gnd = g_clamps[i];
    *power = nullptr;
    return 1;
}

// One model adding N such submodels in all modes: their clamps are summed
// per corner and mode, a sum that grows with every one added.
void BM_AddSubmodelClamps(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    MDL model{};
    model.Model_type = MDL_TYPE_IO;
    std::vector<ADD_SUBMDL> entries(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        CRV *c = MakeTable(2, 0);
        CRVOP_ShiftX(c, -1e-3 * i);
        g_clamps.push_back(c);
        snprintf(entries[i].name, sizeof entries[i].name, "%d", i);
        entries[i].mode = 2;
        entries[i].next = i + 1 < n ? &entries[i + 1] : nullptr;
    }
    model.addSubmodel = entries.data();
    model.gndClamp = MakeTable(2, 0);
    const ACDC_OPS saved = ACDC_ops;
    ACDC_ops.findSubmodel = FindClamp;
    Silence quiet;
    for (auto _ : state)
        benchmark::DoNotOptimize(ACDC_CheckAddSubmodels(&model, nullptr));
    ACDC_ops = saved;
    CRV_Free(model.gndClamp);
    for (CRV *c : g_clamps)
        CRV_Free(c);
    g_clamps.clear();
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

}  // namespace

BENCHMARK(BM_AddSubmodelClamps)->Arg(1000)->Arg(8000)->Arg(64000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeLargeTables)
    ->ArgsProduct({{1000, 8000, 64000}, {1, 2, 3}})
    ->ArgNames({"rows", "shape"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckLargeIbs)->Arg(8)->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurveRows)->Arg(20000)->Arg(80000)->Arg(200000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Waveforms)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesMosfets)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
