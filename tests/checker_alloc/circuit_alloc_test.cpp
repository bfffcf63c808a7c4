// External descriptions, node declarations and circuit calls when memory
// runs out at each request of a whole check pass in turn: the pass goes on,
// and nothing is left behind (the sanitizer build checks for leaks).
#include <fstream>
#include <sstream>

#include "AllocFail.h"
#include "tests/checker/CheckerTest.h"

namespace {

using CircuitAllocTest = CheckerTest;

TEST_F(CircuitAllocTest, EveryRequestOfAPassFails) {
    std::ifstream seed(VARNHOLT_SOURCE_DIR "/fuzz/corpus/checkpass/circuit50", std::ios::binary);
    std::stringstream text;
    text << seed.rdbuf();
    const std::string file = text.str().substr(1);  // after the fuzzer's kind byte
    ASSERT_NE(file.find("[Circuit Call]"), std::string::npos);
    // An [External Model] as well, ahead of the circuits.
    const std::string body =
        file.substr(0, file.find("[External Circuit]")) +
        "[Model] m\nModel_type I/O\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3 3.6\n[External Model]\n"
        "Language SPICE\nCorner Typ m.sp m\nPorts A_signal a b\nD_to_A D_drive a A_gnd 0 1 1n 1n\n"
        "A_to_D D_receive b A_gnd 0 1\nA_to_D D_receive b A_gnd 0 1 Min\n[End External Model]\n" +
        file.substr(file.find("[External Circuit]"));
    const int64_t requests = FailEachRequestInTurn([&] { return Check("f.ibs", body, FILE_IBS); });
    EXPECT_GT(requests, 150);  // the pass makes many requests to fail
    EXPECT_LE(requests, kMostRequestsFailed);
}

}  // namespace
