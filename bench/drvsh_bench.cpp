// Speed of [Driver Schedule] with many rows: the rows alone (name, duplicate
// check, delays), and a whole check pass of a file whose model schedules every
// other model of the file. Both should grow linearly with the row count.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/drvsh.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "bench/check_loop.h"
#include "bench/complete_ibis.h"

namespace {

std::string RowName(int64_t i) { return "m" + std::to_string(i); }

void BM_DriverScheduleRows(benchmark::State &state) {
    const int64_t rows = state.range(0);
    std::string lines;
    for (int64_t i = 0; i < rows; ++i)
        lines += RowName(i) + " 1n NA 2n NA\n";
    benchfiles::Silence quiet;
    PARSE_SetIbisVersion(5);
    for (auto _ : state) {
        DRVSH *schedule = nullptr;
        DRVSH_Init("[Driver Schedule]", &schedule, "drv");
        for (size_t at = 0; at < lines.size();) {
            size_t end = lines.find('\n', at);
            std::string line = lines.substr(at, end - at);
            DRVSH_ParseLine(line.c_str(), schedule, "drv");
            at = end + 1;
        }
        DRVSH_EndKeyword(schedule, "drv");
        DRVSH_Free(schedule);
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetComplexityN(rows);
}

// A file of `rows` output models and one more that schedules all of them.
std::string Generate(int64_t rows) {
    const std::string dir = benchfiles::ScratchDir("drvsh-bench");
    std::string path = dir + "/sched.ibs";
    std::ofstream out(path, std::ios::binary);
    out << "[IBIS Ver] 5.0\n[File Name] sched.ibs\n[File Rev] 1.0\n"
        << "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m 1m 1m\n"
        << "[Pin] signal_name model_name\n1 a drv\n"
        << "[Model] drv\nModel_type Output\nC_comp 1p 1p 1p\n[Driver Schedule]\n";
    for (int64_t i = 0; i < rows; ++i)
        out << RowName(i) << " 1n NA 2n NA\n";
    for (int64_t i = 0; i < rows; ++i)
        out << "[Model] " << RowName(i) << "\nModel_type Output\nC_comp 1p 1p 1p\n";
    out << "[End]\n";
    return path;
}

void BM_DriverScheduleCheckPass(benchmark::State &state) {
    const int64_t rows = state.range(0);
    benchfiles::CheckRepeatedly(state, Generate(rows));
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetComplexityN(rows);
}

}  // namespace

BENCHMARK(BM_DriverScheduleRows)
    ->RangeMultiplier(4)
    ->Range(1 << 12, 1 << 18)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_DriverScheduleCheckPass)
    ->Arg(25000)
    ->Arg(50000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK_MAIN();
