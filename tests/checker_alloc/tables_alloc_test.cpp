// The component's pin mapping, diff pin, series and EMI tables, the models
// with their tables and blocks, and the node names that the sanity checks
// index, when memory runs out at each request of a whole check pass in turn:
// the pass goes on, and nothing is left behind (the sanitizer build checks
// for leaks).
#include <fstream>
#include <sstream>

#include "AllocFail.h"
#include "tests/checker/CheckerTest.h"

namespace {

using TablesAllocTest = CheckerTest;

TEST_F(TablesAllocTest, EveryRequestOfAPassFails) {
    for (const char *seed : {"pintables42", "series32", "emi50", "model50", "ibs42tables",
                             "ibs50-model-blocks", "chk50"}) {
        SCOPED_TRACE(seed);
        std::ifstream in(std::string(VARNHOLT_SOURCE_DIR "/fuzz/corpus/checkpass/") + seed,
                         std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const std::string body = text.str().substr(1);  // after the fuzzer's kind byte
        const int64_t requests = FailEachRequestInTurn([&] { return Check("f.ibs", body, FILE_IBS); });
        EXPECT_GT(requests, 40);  // the pass makes many requests to fail
        EXPECT_LE(requests, kMostRequestsFailed);
    }
}

}  // namespace
