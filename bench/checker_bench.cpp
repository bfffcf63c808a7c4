// Speed of the check pass on a large generated .ibs file: header, long
// notes, comment lines and section keywords with data lines. Reports MB/s;
// the sizes show that the time grows linearly. Then the table readers on
// tables of many rows and models of many tables, and on package files with
// large sparse and full matrices.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "IbisParser/acdc.h"
#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpntemi.h"
#include "IbisParser/crv.h"
#include "IbisParser/crvop.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/rng.h"
#include "IbisParser/smos.h"
#include "IbisParser/sswch.h"
#include "IbisParser/wvfrm.h"
#include "bench/check_loop.h"
#include "bench/complete_ibis.h"

namespace {

using benchfiles::CheckRepeatedly;
using benchfiles::FileSize;
using benchfiles::Silence;

// A new scratch directory for one generated file, which CheckRepeatedly
// removes.
std::string BenchDir() { return benchfiles::ScratchDir("checker-bench"); }

// Writes a file of about `mb` megabytes; returns its path and size.
std::string Generate(int mb, size_t *bytes) {
    std::string path = BenchDir() + "/big" + std::to_string(mb) + ".ibs";
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
    CheckRepeatedly(state, Generate(static_cast<int>(state.range(0)), &bytes));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

using benchfiles::PinName;

// A component of `pins` pins over 64 models, a fifth of the pins in [Diff Pin]
// pairs and a few alternate package models. Returns its path.
std::string GenerateComponent(int pins) {
    std::string path = BenchDir() + "/pins" + std::to_string(pins) + ".ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] pins" << pins << ".ibs\n[File Rev] 1.0\n"
        << "[Component] big\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\nL_pkg 1n NA NA\n"
        << "C_pkg 1p NA NA\n[Pin] signal_name model_name R_pin L_pin C_pin\n";
    for (int i = 0; i < pins; ++i) {
        const std::string model = i % 10 == 0   ? "GND"
                                  : i % 10 == 1 ? "POWER"
                                                : "m" + std::to_string(i % 64);
        out << PinName(i) << " s" << i << " " << model << " 10m 1n 1p\n";
    }
    out << "[Diff Pin] inv_pin vdiff tdelay_typ tdelay_min tdelay_max\n";
    for (int i = 2; i + 1 < pins; i += 10)
        out << PinName(i) << " " << PinName(i + 1) << " 0.1 0 NA NA\n";
    out << "[Alternate Package Models]\n";
    for (int i = 0; i < 8; ++i)
        out << "alt" << i << "\n";
    out << "[End Alternate Package Models]\n";
    for (int m = 0; m < 64; ++m)
        out << "[Model] m" << m << "\nModel_type I/O\nC_comp 1p 1p 1p\n[Pulldown]\n"
            << "-1.0 -10m -9m -11m\n0.0 0 0 0\n1.0 10m 9m 11m\n";
    out << "[End]\n";
    return path;
}

// A component of 5,000 pins (and more, to show the growth) from read to checks.
void BM_CheckComponentPins(benchmark::State &state) {
    CheckRepeatedly(state, GenerateComponent(static_cast<int>(state.range(0))));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// A component of `pins` pins with a full [Pin Mapping] whose POWER and GND
// rows come last (every signal bus is found only at the end of the table)
// and pins / 5 [Diff Pin] rows. Clean: no message.
std::string GeneratePinTables(int pins) {
    std::string path = BenchDir() + "/tables" + std::to_string(pins) + ".ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] tables" << pins << ".ibs\n[File Rev] 1.0\n"
        << "[Component] big\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\nL_pkg 1n NA NA\n"
        << "C_pkg 1p NA NA\n[Pin] signal_name model_name\n";
    const int supplies = pins / 10;  // the last pins: half POWER, half GND
    auto bus = [](int i) { return std::to_string(i % 50); };  // 50 buses of each kind
    for (int i = 0; i < pins; ++i) {
        const bool supply = i >= pins - supplies;
        const std::string model = !supply ? "io" : i % 2 == 0 ? "POWER" : "GND";
        out << PinName(i) << " s" << i << " " << model << "\n";
    }
    out << "[Pin Mapping] pulldown_ref pullup_ref gnd_clamp_ref power_clamp_ref ext_ref\n";
    for (int i = 0; i < pins; ++i) {
        const bool supply = i >= pins - supplies;
        if (!supply)
            out << PinName(i) << " G" << bus(i) << " P" << bus(i) << " G" << bus(i) << " P"
                << bus(i) << " P" << bus(i) << "\n";
        else if (i % 2 == 0)
            out << PinName(i) << " NC P" << bus(i / 2) << " NC NC NC\n";
        else
            out << PinName(i) << " G" << bus(i / 2) << " NC NC NC NC\n";
    }
    out << "[Diff Pin] inv_pin vdiff tdelay_typ tdelay_min tdelay_max\n";
    for (int i = 0; i < pins / 5; ++i)
        out << PinName(2 * i) << " " << PinName(2 * i + 1) << " 0.1 1n 0.5n 2n\n";
    out << "[Model] io\nModel_type I/O\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.5\n"
        << "C_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n[Pulldown]\n-1.0 -10m -9m -11m\n"
        << "0.0 0 0 0\n1.0 10m 9m 11m\n[Pullup]\n-1.0 10m 9m 11m\n0.0 0 0 0\n"
        << "1.0 -10m -9m -11m\n[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n"
        << "[End]\n";
    return path;
}

// The 5,000-pin component with its tables (1,000 [Diff Pin] rows), and
// larger ones to show that the time grows linearly.
void BM_CheckPinTables(benchmark::State &state) {
    CheckRepeatedly(state, GeneratePinTables(static_cast<int>(state.range(0))));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// A file of `count` models, each with its sub-parameters, a few keywords and
// tables, an [Add Submodel] row and an [Algorithmic Model]; every tenth name
// repeats an earlier one.
std::string GenerateModels(int count, size_t *bytes) {
    const std::string dir = benchfiles::ScratchDir("checker-bench-models");
    std::string path = dir + "/models.ibs";
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
    *bytes = FileSize(path);
    return path;
}

// Models per second: the time grows linearly with the number of models.
void BM_CheckManyModels(benchmark::State &state) {
    size_t bytes = 0;
    const int count = static_cast<int>(state.range(0));
    CheckRepeatedly(state, GenerateModels(count, &bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// A file of external descriptions with `count` names: kind 0 gives `count`
// [External Circuit] sections (every tenth name repeats an earlier one),
// kind 1 one [External Model] with `count` ports, a D_to_A row for every
// second port in the Typ corner and again in the Min corner; kind 2 a
// component with `count` declared nodes and one call that maps a circuit's
// `count` ports onto them; kind 3 a component with `count` calls of a
// two-port circuit, each between a node all calls share and one of its own;
// kind 4 a component with count / 8 calls of a circuit of `count` ports
// that cannot float (A_gnd) and one that each call maps.
std::string GenerateExternal(int kind, int count, size_t *bytes) {
    const std::string dir = benchfiles::ScratchDir("checker-bench-ext");
    std::string path = dir + "/ext.ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] ext.ibs\n[File Rev] 1.0\n";
    if (kind == 0) {
        for (int i = 0; i < count; ++i) {
            const int n = i % 10 == 9 ? i / 2 : i;
            out << "[External Circuit] c" << n << "\nLanguage SPICE\nCorner Typ c.sp c\nPorts a b\n"
                << "D_to_A d" << n << " a b 0 1 1n 1n\nA_to_D r" << n << " b a 0 1\n"
                << "[End External Circuit]\n";
        }
    } else if (kind == 1) {
        out << "[Model] m\nModel_type I/O\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3 3.6\n"
            << "[External Model]\nLanguage SPICE\nCorner Typ m.sp m\n";
        for (int i = 0; i < count; i += 8) {
            out << "Ports";
            for (int k = i; k < i + 8 && k < count; ++k)
                out << " port_" << k;
            out << "\n";
        }
        for (const char *corner : {"Typ", "Min"})
            for (int i = 0; i + 1 < count; i += 2)
                out << "D_to_A D_drive port_" << i << " port_" << i + 1 << " 0 1 1n 1n " << corner
                    << "\n";
        out << "[End External Model]\n";
    } else if (kind == 4) {
        out << "[External Circuit] x\nLanguage SPICE\nCorner Typ x.sp x\nPorts port_0\n";
        for (int i = 0; i < count; ++i)
            out << "Ports A_gnd\n";
        out << "[End External Circuit]\n[Component] c\n[Manufacturer] m\n[Package]\n"
            << "R_pkg 1m NA NA\nL_pkg 1n NA NA\nC_pkg 1p NA NA\n[Pin] signal_name model_name\n"
            << "1 s CIRCUITCALL\n[Node Declarations]\nshared\n[End Node Declarations]\n";
        for (int i = 0; i < count / 8; ++i)
            out << "[Circuit Call] x\nSignal_pin 1\nPort_map port_0 shared\n[End Circuit Call]\n";
    } else {
        const bool one = kind == 2;
        const int ports = one ? count : 2;
        out << "[External Circuit] x\nLanguage SPICE\nCorner Typ x.sp x\n";
        for (int i = 0; i < ports; i += 8) {
            out << "Ports";
            for (int k = i; k < i + 8 && k < ports; ++k)
                out << " port_" << k;
            out << "\n";
        }
        out << "[End External Circuit]\n[Component] c\n[Manufacturer] m\n[Package]\n"
            << "R_pkg 1m NA NA\nL_pkg 1n NA NA\nC_pkg 1p NA NA\n[Pin] signal_name model_name\n"
            << "1 s CIRCUITCALL\n[Node Declarations]\nshared\n";
        for (int i = 0; i < count; i += 8) {
            for (int k = i; k < i + 8 && k < count; ++k)
                out << " node_" << k;
            out << "\n";
        }
        out << "[End Node Declarations]\n";
        for (int i = 0; i < (one ? 1 : count); ++i) {
            out << "[Circuit Call] x\nSignal_pin 1\n";
            if (one) {
                for (int k = 0; k < count; ++k)
                    out << "Port_map port_" << k << " node_" << k << "\n";
            } else {
                out << "Port_map port_0 shared\nPort_map port_1 node_" << i << "\n";
            }
            out << "[End Circuit Call]\n";
        }
    }
    out << "[End]\n";
    out.close();
    *bytes = FileSize(path);
    return path;
}

// Names per second: the time grows linearly with the number of names.
void BM_CheckExternal(benchmark::State &state) {
    size_t bytes = 0;
    const int count = static_cast<int>(state.range(1));
    CheckRepeatedly(state, GenerateExternal(static_cast<int>(state.range(0)), count, &bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// A file of `count` blocks, each a model with its selector, a submodel, a
// test load and a test data that name each other; every tenth block reuses
// an earlier block's names, so the duplicate checks and the lookups at the
// end of the file meet both found and repeated names.
std::string GenerateNamedSections(int count, size_t *bytes) {
    std::string path = BenchDir() + "/named" + std::to_string(count) + ".ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] named" << count << ".ibs\n[File Rev] 1.0\n";
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
    *bytes = FileSize(path);
    return path;
}

// Blocks per second: the time grows linearly with the number of names.
void BM_CheckNamedSections(benchmark::State &state) {
    size_t bytes = 0;
    const int count = static_cast<int>(state.range(0));
    CheckRepeatedly(state, GenerateNamedSections(count, &bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// The table readers, driven as a section drives them, on tables far past
// their limits: the time per row or table must not grow with the count.

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

// A switch group of N names over N / 10 lines and an EMI block of N [Pin EMI]
// and N [Pin Domain EMI] rows, every tenth name repeating an earlier one: the
// repeats are found through indexes, so the time per name stays flat.
void BM_NameTables(benchmark::State &state) {
    const int names = static_cast<int>(state.range(0));
    auto name = [](int i) { return i % 10 == 9 ? i / 2 : i; };
    std::vector<std::string> groupLines(1, "On");
    std::vector<std::string> pinLines, domainLines;
    for (int i = 0; i < names; ++i) {
        if (i % 10 == 0)
            groupLines.emplace_back();
        groupLines.back() += " g" + std::to_string(name(i));
        pinLines.push_back(PinName(name(i)) + " d" + std::to_string(i % 50) + " 1");
        domainLines.push_back("d" + std::to_string(name(i)) + " 50");
    }
    groupLines.push_back("/");
    Silence quiet;
    for (auto _ : state) {
        SSWCH *groups = nullptr;
        for (const std::string &line : groupLines)
            SSWCH_AddLine(&groups, line.c_str());
        SSWCH_CheckAll(groups, nullptr, "c");
        SSWCH_Free(groups);
        CMPNTEMI *emi = nullptr;
        CMPNTEMI_ParseLine(LINE_KEYWORD, KW_BEGIN_EMI_COMPONENT, "", &emi);
        CMPNTEMI_ParseLine(LINE_KEYWORD, KW_PIN_EMI, "domain_name clock_div", &emi);
        for (const std::string &line : pinLines)
            CMPNTEMI_ParseLine(LINE_DATA, KW_PIN_EMI, line.c_str(), &emi);
        CMPNTEMI_ParseLine(LINE_KEYWORD, KW_PIN_DOMAIN_EMI, "percentage", &emi);
        for (const std::string &line : domainLines)
            CMPNTEMI_ParseLine(LINE_DATA, KW_PIN_DOMAIN_EMI, line.c_str(), &emi);
        CMPNTEMI_ParseLine(LINE_KEYWORD, KW_END_EMI_COMPONENT, "", &emi);
        CMPNTEMI_Free(emi);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * names);
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

// A driver whose [Pulldown] of N rows lists its voltages in shuffled order:
// the combined pulldown follows every step back, and each of its x is read
// from the head of the table by binary search. Reports rows per second.
std::string GenerateShuffledTable(int rows, size_t *bytes) {
    std::string path = BenchDir() + "/shuffled" + std::to_string(rows) + ".ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] shuffled" << rows << ".ibs\n[File Rev] 1\n"
        << "[Model] d\nModel_type Output\nVmeas = 1.5\nVref = 0\nRref = 50\nCref = 0\n"
        << "C_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n[Pulldown]\n";
    std::vector<int> order(static_cast<size_t>(rows));
    for (int i = 0; i < rows; ++i)
        order[static_cast<size_t>(i)] = i;
    uint64_t state = 26;
    for (size_t i = order.size(); i > 1; --i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        std::swap(order[i - 1], order[(state >> 33) % i]);
    }
    char line[120];
    for (int i : order) {
        const double v = -3.3 + 9.9 * i / rows;
        snprintf(line, sizeof line, "%.7f %.6fm %.6fm %.6fm\n", v, 20 * v, 18 * v, 22 * v);
        out << line;
    }
    out << "[Pullup]\n-3.3 66m 60m 72m\n0 0 0 0\n3.3 -66m -60m -72m\n"
        << "[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n[End]\n";
    out.close();
    *bytes = FileSize(path);
    return path;
}

void BM_CheckShuffledTable(benchmark::State &state) {
    size_t bytes = 0;
    Silence quiet;
    CheckRepeatedly(state, GenerateShuffledTable(static_cast<int>(state.range(0)), &bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// The AC/DC checks of one driver with N rising and N falling waveforms on
// drive tables of M rows: every waveform's load lines are solved on the
// combined curves of each corner by their search trees. Reports waveforms
// per second.
void BM_WaveformEndpoints(benchmark::State &state) {
    const int waveforms = static_cast<int>(state.range(0));
    const int rows = static_cast<int>(state.range(1));
    MDL model{};
    strcpy(model.name, "d");
    model.Model_type = MDL_TYPE_IO;
    RNG range{3.3, CMN_VALUE_NUMBER, 3.0, CMN_VALUE_NUMBER, 3.6, CMN_VALUE_NUMBER};
    model.voltageRange = &range;
    model.pulldown = MakeTable(rows, 0);
    model.pullup = MakeTable(rows, 0);
    {
        Silence quiet;
        for (int falling = 0; falling < 2; ++falling) {
            const char *caption = falling ? "Falling Waveform" : "Rising Waveform";
            for (int i = 0; i < waveforms; ++i) {
                WVFRM_Init("[Waveform]", falling ? &model.fallingWaveform : &model.risingWaveform,
                           caption);
                WVFRM_ParseLine("R_fixture = 50", caption);
                WVFRM_ParseLine(i % 2 ? "V_fixture = 3.3" : "V_fixture = 0", caption);
                const std::string low = "0 " + std::to_string(i % 7 * 0.01) + " 0 0";
                const std::string high = "1n " + std::to_string(3.3 - i % 5 * 0.1) + " 3 3.6";
                WVFRM_ParseLine((falling ? high : low).c_str(), caption);
                WVFRM_ParseLine((falling ? low : high).c_str(), caption);
                WVFRM_EndKeyword(falling ? "Falling" : "Rising", WVFRM_KIND_WAVEFORM);
            }
        }
        for (auto _ : state)
            benchmark::DoNotOptimize(ACDC_CheckModel(&model));
    }
    WVFRM_Free(model.risingWaveform);
    WVFRM_Free(model.fallingWaveform);
    CRV_Free(model.pulldown);
    CRV_Free(model.pullup);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 2 * waveforms);
}

// A file of `count` driver models as vendors write them: four I-V tables of
// 100 rows and a rising and a falling waveform of 100 rows each.
std::string GenerateDrivers(int count, size_t *bytes) {
    const std::string dir = benchfiles::ScratchDir("checker-bench-drivers");
    std::string path = dir + "/drivers.ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] drivers.ibs\n[File Rev] 1.0\n";
    static const char *const kTables[] = {"[Pulldown]", "[Pullup]", "[GND Clamp]", "[POWER Clamp]"};
    char line[120];
    for (int i = 0; i < count; ++i) {
        out << "[Model] d" << i << "\nModel_type I/O\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.5\n"
            << "Vref = 0\nRref = 50\nC_comp 1p 0.9p 1.1p\n[Voltage Range] 3.3 3.0 3.6\n";
        for (int t = 0; t < 4; ++t) {
            out << kTables[t] << "\n";
            for (int r = 0; r < 100; ++r) {
                double v = -3.3 + r * 0.0666, ma = (t % 2 ? -10.0 : 10.0) * v;
                snprintf(line, sizeof line, "%.4f %.5fm %.5fm %.5fm\n", v, ma, ma * 0.9, ma * 1.1);
                out << line;
            }
        }
        out << "[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n";
        for (int falling = 0; falling < 2; ++falling) {
            out << (falling ? "[Falling Waveform]" : "[Rising Waveform]")
                << "\nR_fixture = 50\nV_fixture = 0\n";
            for (int r = 0; r < 100; ++r) {
                double v = (falling ? 99 - r : r) * 0.033;
                snprintf(line, sizeof line, "%dp %.4f %.4f %.4f\n", r * 10, v, v * 0.9, v * 1.1);
                out << line;
            }
        }
    }
    out << "[End]\n";
    out.close();
    *bytes = FileSize(path);
    return path;
}

// The check pass over such a file, with the AC/DC checks (second argument 1)
// and without (0): the difference is what they cost.
void BM_CheckDrivers(benchmark::State &state) {
    size_t bytes = 0;
    std::string path = GenerateDrivers(static_cast<int>(state.range(0)), &bytes);
    ACDC_SetEnabled(static_cast<int>(state.range(1)));
    CheckRepeatedly(state, path);
    ACDC_SetEnabled(1);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// Dynamic_clamp submodels of the [Add Submodel] benchmark, each a ground
// clamp of two rows at voltages of its own, reached through the hooks.
struct BenchSub {
    BenchSub *next;
    char name[21];
    CRV *gnd;
};
const BenchSub *Sub(const SUBMDL *s) { return reinterpret_cast<const BenchSub *>(s); }
SUBMDL *SubFind(const char *name, SUBMDL *list) {
    for (SUBMDL *s = list; s != nullptr; s = reinterpret_cast<SUBMDL *>(Sub(s)->next))
        if (strcmp(Sub(s)->name, name) == 0)
            return s;
    return nullptr;
}
SUBMDL *SubNext(SUBMDL *s) { return reinterpret_cast<SUBMDL *>(Sub(s)->next); }
const char *SubName(const SUBMDL *s) { return Sub(s)->name; }
void SubClamps(const SUBMDL *s, int *type, const CRV **gnd, const CRV **power) {
    *type = 2;
    *gnd = Sub(s)->gnd;
    *power = nullptr;
}

// One model adding N such submodels in all modes: their clamps are summed
// per corner and mode, a sum that grows with every one added.
void BM_AddSubmodelClamps(benchmark::State &state) {
    const int n = static_cast<int>(state.range(0));
    MDL model{};
    model.Model_type = MDL_TYPE_IO;
    std::vector<ADD_SUBMDL> entries(static_cast<size_t>(n));
    std::vector<BenchSub> subs(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        subs[i].gnd = MakeTable(2, 0);
        CRVOP_ShiftX(subs[i].gnd, -1e-3 * i);
        snprintf(subs[i].name, sizeof subs[i].name, "%d", i);
        subs[i].next = i + 1 < n ? &subs[i + 1] : nullptr;
        strcpy(entries[i].name, subs[i].name);
        entries[i].mode = 2;
        entries[i].next = i + 1 < n ? &entries[i + 1] : nullptr;
    }
    model.addSubmodel = entries.data();
    model.gndClamp = MakeTable(2, 0);
    const MDL_SUBMODEL_OPS savedModels = MDL_submodelOps;
    const ACDC_OPS saved = ACDC_ops;
    MDL_submodelOps = {SubFind, SubNext, SubName};
    ACDC_ops.clamps = SubClamps;
    SUBMDL *list = reinterpret_cast<SUBMDL *>(subs.data());
    {
        Silence quiet;
        for (auto _ : state)
            benchmark::DoNotOptimize(ACDC_CheckAddSubmodels(&model, list));
    }
    MDL_submodelOps = savedModels;
    ACDC_ops = saved;
    CRV_Free(model.gndClamp);
    for (BenchSub &s : subs)
        CRV_Free(s.gnd);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

// A .pkg file of one model with `pins` pins whose inductance and capacitance
// matrices are sparse with `entries` entries per row (entries 0: full
// matrices, ten values per line).
std::string GeneratePackage(int pins, int entries, size_t *bytes) {
    const std::string dir = benchfiles::ScratchDir("checker-bench");
    std::string name = "p" + std::to_string(pins) + ".pkg";
    std::string path = dir + "/" + name;
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
    const int passed = CheckRepeatedly(state, path, FILE_PKG);
    if (!passed)
        state.SkipWithError("the generated package file did not pass");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// A directory with a board file of `pins` pins, one path per pin from the
// pin through a section to the same pin of a component, and the .ibs file
// of that component. Returns the board file's path.
std::string GenerateBoard(int pins, size_t *bytes) {
    const std::string dir = benchfiles::ScratchDir("checker-bench");
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
    const int passed = CheckRepeatedly(state, path, FILE_EBD);
    if (!passed)
        state.SkipWithError("the generated board did not pass");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// A directory of `files` package files and as many .ibs files, each of
// whose component names a package model that no package file defines, and
// a board file that refers to every .ibs file: each of their passes searches
// the package files. Returns the board file's path.
std::string GenerateBoardOfPackageSearches(int files) {
    const std::string dir = benchfiles::ScratchDir("checker-bench");
    for (int i = 0; i < files; ++i) {
        const std::string n = std::to_string(i);
        std::ofstream pkg(dir + "/p" + n + ".pkg", std::ios::binary);
        pkg << "[IBIS Ver] 3.2\n[File Name] p" << n << ".pkg\n[File Rev] 1\n"
            << "[Define Package Model] pkg" << n << "\n[End]\n";
        std::ofstream ibs(dir + "/c" + n + ".ibs", std::ios::binary);
        ibs << "[IBIS Ver] 3.2\n[File Name] c" << n << ".ibs\n[File Rev] 1\n[Component] C\n"
            << "[Manufacturer] m\n[Package Model] none" << n << "\n[Package]\nR_pkg 1m 1m 1m\n"
            << "L_pkg 1n 1n 1n\nC_pkg 1p 1p 1p\n[Pin] signal_name model_name\n1 s POWER\n[End]\n";
    }
    std::string path = dir + "/board.ebd";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 3.2\n[File Name] board.ebd\n[File Rev] 1\n[Begin Board Description] B\n"
        << "[Manufacturer] m\n[Number Of Pins] " << files << "\n[Pin List] signal_name\n";
    for (int i = 0; i < files; ++i)
        out << "b" << i << " s" << i << "\n";
    for (int i = 0; i < files; ++i)
        out << "[Path Description] p" << i << "\nPin b" << i << "\nNode u" << i << ".1\n";
    out << "[Reference Designator Map]\n";
    for (int i = 0; i < files; ++i)
        out << "u" << i << " c" << i << ".ibs C\n";
    out << "[End Board Description]\n[End]\n";
    return path;
}

// range(0) referenced .ibs files and package files. The directory is listed
// and its files scanned once per check of the board, so the time grows with
// the number of files, not with its square.
void BM_BoardPackageSearch(benchmark::State &state) {
    const int files = static_cast<int>(state.range(0));
    CheckRepeatedly(state, GenerateBoardOfPackageSearches(files), FILE_EBD);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * files);
}

// One .ibs file of `count` components, component i naming package model
// pkg<i>, which only the package file p<i>.pkg beside it defines: every
// component's search reads one more package file into the checked file's
// models. Returns the .ibs file's path.
std::string GenerateComponentsOfPackageFiles(int count) {
    const std::string dir = benchfiles::ScratchDir("checker-bench-pkgfiles");
    std::string path = dir + "/many.ibs";
    std::ofstream ibs(path, std::ios::binary);
    ibs << "[IBIS Ver] 3.2\n[File Name] many.ibs\n[File Rev] 1\n";
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        std::ofstream pkg(dir + "/p" + n + ".pkg", std::ios::binary);
        pkg << "[IBIS Ver] 3.2\n[File Name] p" << n << ".pkg\n[File Rev] 1\n"
            << "[Define Package Model] pkg" << n << "\n[Manufacturer] m\n[OEM] o\n"
            << "[Description] d\n[Number Of Pins] 1\n[Pin Numbers]\n1\n[Model Data]\n"
            << "[Inductance Matrix] Full_matrix\n[Row] 1\n1n\n"
            << "[Capacitance Matrix] Full_matrix\n[Row] 1\n1p\n"
            << "[End Model Data]\n[End Package Model]\n[End]\n";
        ibs << "[Component] C" << n << "\n[Manufacturer] m\n[Package Model] pkg" << n
            << "\n[Package]\nR_pkg 1m 1m 1m\nL_pkg 1n 1n 1n\nC_pkg 1p 1p 1p\n"
            << "[Pin] signal_name model_name\n1 s POWER\n";
    }
    ibs << "[End]\n";
    return path;
}

// range(0) components, each with its package model in a file of its own:
// the models read so far stay found by name, so the time and the memory
// grow with the number of files, not with its square.
void BM_ComponentPackageFiles(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    // The package files go with the scratch directory once the passes end.
    CheckRepeatedly(state, GenerateComponentsOfPackageFiles(count));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
}

// A component of `pins` pins and as many declared node names, of which one
// in a hundred repeats the name before it and one in a hundred is a pin's
// name: the duplicate and pin-name checks over every node and every pin.
std::string GenerateNodeNames(int pins) {
    std::string path = BenchDir() + "/nodes" + std::to_string(pins) + ".ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] nodes" << pins << ".ibs\n[File Rev] 1.0\n"
        << "[Component] big\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\nL_pkg 1n NA NA\n"
        << "C_pkg 1p NA NA\n[Pin] signal_name model_name\n";
    for (int i = 0; i < pins; ++i)
        out << PinName(i) << " s" << i << " GND\n";
    out << "[Node Declarations]\n";
    for (int i = 0; i < pins; ++i) {
        const std::string name = i % 100 == 0    ? PinName(i)
                                 : i % 100 == 50 ? "n" + std::to_string(i - 1)
                                                 : "n" + std::to_string(i);
        out << name << (i % 10 == 9 ? "\n" : " ");
    }
    out << "\n[End Node Declarations]\n[End]\n";
    return path;
}

void BM_CheckNodeNames(benchmark::State &state) {
    CheckRepeatedly(state, GenerateNodeNames(static_cast<int>(state.range(0))));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

// The complete generated file of `mb` megabytes (.ibs and .pkg together),
// kept while the benchmarks of one size run and removed for the next size.
const benchfiles::CompleteFiles &CompleteOf(int mb) {
    static int current = 0;
    static benchfiles::CompleteFiles files;
    if (current != mb) {
        if (current != 0)
            benchfiles::RemoveScratchDirOf(files.ibs);
        const std::string dir = benchfiles::ScratchDir("checker-bench-complete");
        files = benchfiles::GenerateComplete(dir, "complete" + std::to_string(mb),
                                             static_cast<size_t>(mb) << 20);
        current = mb;
    }
    return files;
}

// What any reader of the files must do at least: read their lines with the
// checker's line reader, split them into words and read every word that is a
// number. The whole check pass is compared with this.
void BM_CompleteReadAndSplit(benchmark::State &state) {
    const benchfiles::CompleteFiles &files = CompleteOf(static_cast<int>(state.range(0)));
    size_t numbers = 0;
    for (auto _ : state) {
        numbers = 0;
        for (const std::string *path : {&files.ibs, &files.pkg}) {
            FILE *f = fopen(path->c_str(), "rb");
            char line[1024];
            while (CMN_ReadLine(line, sizeof line, f) != nullptr) {
                WORD_LIST words{};
                CMN_SplitWords(line, 8, &words);
                for (int i = 0; i < words.stored; ++i) {
                    double value = 0;
                    numbers += CMN_GetValue(words.words[i], &value) != 0;
                }
                CMN_FreeWords(&words);
            }
            fclose(f);
        }
        benchmark::DoNotOptimize(numbers);
    }
    state.counters["numbers"] = static_cast<double>(numbers);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(files.bytes));
}

// The whole check pass over the complete file, its package file included
// (found and read through the component's [Package Model]). The file must
// draw no message, so that the time is that of the path good files take.
void BM_CompleteCheck(benchmark::State &state) {
    const benchfiles::CompleteFiles &files = CompleteOf(static_cast<int>(state.range(0)));
    int passed = 0;
    const std::string complaint = benchfiles::FirstComplaint(benchfiles::CheckOutput(files.ibs, FILE_IBS, &passed));
    if (!complaint.empty() || !passed) {
        state.SkipWithError(("the generated file draws: " + complaint).c_str());
        return;
    }
    benchfiles::TimeCheckPasses(state, files.ibs, FILE_IBS);
    state.counters["models"] = files.models;
    state.counters["pins"] = static_cast<double>(files.components) * benchfiles::CompleteShape().pinsPerComponent;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(files.bytes));
}

// Keys a file could be made of to put them all into one run of hash slots,
// had the hashes no secret start: kind 0, a [Model Selector] of N model
// names whose plain FNV-1a hashes share their low bits (as many bits as the
// index of N names has slots); kind 1, a [Pulldown] of N rows whose voltages
// the mix alone would have sent to one slot. The time per key stays flat.
std::string GenerateCollidingKeys(int kind, int count, size_t *bytes) {
    std::string path = BenchDir() + "/collide" + std::to_string(kind) + "_" +
                       std::to_string(count) + ".ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] collide" << kind << "_" << count << ".ibs\n"
        << "[File Rev] 1.0\n[Model] io\nModel_type I/O\nC_comp 1p 1p 1p\n"
        << "[Voltage Range] 3.3 3.0 3.6\n";
    uint32_t slots = 16;
    while (slots < 2u * static_cast<uint32_t>(count) + 2)
        slots *= 2;
    if (kind == 0) {
        out << "[Model Selector] sel\n";
        int found = 0;
        for (uint32_t i = 0; found < count; ++i) {
            const std::string name = "n" + PinName(static_cast<int>(i));
            uint32_t h = 2166136261u;
            for (unsigned char c : name)
                h = (h ^ c) * 16777619u;
            if ((h & (slots - 1)) == 0) {
                out << name << " d\n";
                ++found;
            }
        }
    } else {
        // The inverse of the 64-bit mix, on hashes whose low bits are 0.
        auto inverse = [](uint64_t a) {
            uint64_t x = a;
            for (int i = 0; i < 6; ++i)
                x *= 2 - a * x;
            return x;
        };
        std::vector<double> values;
        for (uint64_t k = 1; static_cast<int>(values.size()) < count; ++k) {
            uint64_t x = k * slots * 1024;
            x ^= x >> 33;
            x *= inverse(0xc4ceb9fe1a85ec53ULL);
            x ^= x >> 33;
            x *= inverse(0xff51afd7ed558ccdULL);
            x ^= x >> 33;
            double v = 0;
            memcpy(&v, &x, sizeof v);
            if (std::isfinite(v) && std::fabs(v) > 1e-30 && std::fabs(v) < 1e30)
                values.push_back(v);
        }
        std::sort(values.begin(), values.end());
        out << "[Pulldown]\n";
        char line[80];
        for (double v : values) {
            snprintf(line, sizeof line, "%.17g 1m 1m 1m\n", v);
            out << line;
        }
    }
    out << "[End]\n";
    out.close();
    *bytes = FileSize(path);
    return path;
}

void BM_CollidingKeys(benchmark::State &state) {
    size_t bytes = 0;
    const int count = static_cast<int>(state.range(1));
    CheckRepeatedly(state, GenerateCollidingKeys(static_cast<int>(state.range(0)), count, &bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * count);
}

// A component whose N [Series Pin Mapping] rows all name one selector of
// N / 10 series switches, with a listed group: clean, and the time per row
// must not grow with the selector.
std::string GenerateSeriesSelector(int rows, size_t *bytes) {
    std::string path = BenchDir() + "/series" + std::to_string(rows) + ".ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] series" << rows << ".ibs\n[File Rev] 1.0\n"
        << "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\nL_pkg 1n NA NA\n"
        << "C_pkg 1p NA NA\n[Pin] signal_name model_name\n";
    for (int i = 0; i < 2 * rows; ++i)
        out << PinName(i) << " s" << i << " NC\n";
    out << "[Series Pin Mapping] pin_2 model_name function_table_group\n";
    for (int i = 0; i < rows; ++i)
        out << PinName(2 * i) << " " << PinName(2 * i + 1) << " sel g\n";
    out << "[Series Switch Groups]\nOn g /\n[Model Selector] sel\n";
    for (int m = 0; m < rows / 10; ++m)
        out << "sw" << m << " a switch\n";
    for (int m = 0; m < rows / 10; ++m)
        out << "[Model] sw" << m << "\nModel_type Series_switch\nC_comp 1p 1p 1p\n"
            << "[Voltage Range] 3.3 3 3.6\n[On]\n[R Series] 1 1 1\n[Off]\n[R Series] 1k 1k 1k\n";
    out << "[End]\n";
    out.close();
    *bytes = FileSize(path);
    return path;
}

void BM_SeriesSelector(benchmark::State &state) {
    size_t bytes = 0;
    CheckRepeatedly(state, GenerateSeriesSelector(static_cast<int>(state.range(0)), &bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}

}  // namespace

// Per size the baseline, then the check pass on the same files.
BENCHMARK(BM_CompleteReadAndSplit)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteCheck)->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteReadAndSplit)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteCheck)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteReadAndSplit)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteCheck)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteReadAndSplit)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompleteCheck)->Arg(64)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_CheckComponentPins)->Arg(5000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckPinTables)->Arg(5000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckDrivers)
    ->ArgsProduct({{250, 1000, 4000}, {0, 1}})
    ->ArgNames({"models", "acdc"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddSubmodelClamps)->Arg(1000)->Arg(8000)->Arg(64000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckShuffledTable)->Arg(25000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveformEndpoints)
    ->Args({5000, 20000})
    ->Args({20000, 5000})
    ->Args({20000, 20000})
    ->ArgNames({"waveforms", "rows"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeLargeTables)
    ->ArgsProduct({{1000, 8000, 64000}, {1, 2, 3}})
    ->ArgNames({"rows", "shape"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckManyModels)->Arg(25000)->Arg(50000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckExternal)
    ->Args({0, 25000})
    ->Args({0, 100000})
    ->Args({1, 25000})
    ->Args({1, 100000})
    ->Args({2, 25000})
    ->Args({2, 100000})
    ->Args({3, 25000})
    ->Args({3, 100000})
    ->Args({4, 25000})
    ->Args({4, 100000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckNamedSections)->Arg(5000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckLargeIbs)->Arg(8)->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NameTables)->Arg(10000)->Arg(100000)->Arg(400000)->Unit(benchmark::kMillisecond);
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
BENCHMARK(BM_BoardPackageSearch)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComponentPackageFiles)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckNodeNames)->Arg(5000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeriesSelector)->Arg(5000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollidingKeys)
    ->ArgsProduct({{0, 1}, {4000, 8000, 16000}})
    ->ArgNames({"kind", "keys"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
