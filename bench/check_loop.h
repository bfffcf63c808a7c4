// The timed loop of the checker benchmarks: check passes over one generated
// file, messages going nowhere, and the file's scratch directory removed
// after them.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "bench/complete_ibis.h"

namespace benchfiles {

// Messages go nowhere while one lives.
struct Silence {
    FILE *saved = MSG_GetOutput();
    FILE *sink = fopen("/dev/null", "w");
    Silence() { MSG_SetOutput(sink); }
    ~Silence() {
        MSG_SetOutput(saved);
        fclose(sink);
    }
};

// One check pass over path per iteration, each from a fresh state. Returns
// the last pass's result.
inline int TimeCheckPasses(benchmark::State &state, const std::string &path, int kind) {
    Silence quiet;
    int passed = 0;
    for (auto _ : state) {
        PARSE_SetIbisVersion(0);
        CMN_ResetFileState();
        benchmark::DoNotOptimize(passed = CHECKPASS_CheckFile(path.c_str(), kind, 0));
    }
    return passed;
}

// The same, then the scratch directory of path goes with all it holds.
inline int CheckRepeatedly(benchmark::State &state, const std::string &path,
                           int kind = FILE_IBS) {
    const int passed = TimeCheckPasses(state, path, kind);
    RemoveScratchDirOf(path);
    return passed;
}

}  // namespace benchfiles
