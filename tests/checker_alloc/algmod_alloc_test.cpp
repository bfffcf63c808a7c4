// AMI parameter files when memory runs out at each request of a check pass
// in turn: a parse that cannot get memory is the program bug of the AMI
// checks, the pass goes on, and nothing is left behind (the sanitizer build
// checks for leaks).
#include "AllocFail.h"
#include "tests/checker/CheckerTest.h"

namespace {

using AlgmodAllocTest = CheckerTest;

const char kAmi[] =
    "(m (Reserved_Parameters\n"
    " (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False) (Description \"i\"))\n"
    " (GetWave_Exists (Usage In)))\n"
    " (Model_Specific (a (b (c (Usage X) (Format Range 1))))))\n";
const char kInternal[] = "PROGRAM BUG - Internal error while parsing AMI Parameter file\n";

// Fails each request of the pass in turn; some failure must hit the parse.
template <typename Pass> void ExpectParseFailures(Pass pass) {
    int internal = 0;
    const int failures = FailEachRequestInTurn([&] {
        const std::string out = pass();
        internal += out.find(kInternal) != std::string::npos;
        return out;
    });
    EXPECT_GT(failures, 10);
    EXPECT_LT(failures, 10000);
    EXPECT_GT(internal, 0);
}

TEST_F(AlgmodAllocTest, LoneFile) {
    ExpectParseFailures([&] { return Check("m.ami", kAmi, FILE_AMI); });
}

TEST_F(AlgmodAllocTest, FileNamedByAModel) {
    Write("m.ami", kAmi);
    const std::string ibs = Header("5.0", "t.ibs") +
                            "[Model] a\nModel_type Input\nVinl = 0.8\nVinh = 2.0\n"
                            "C_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
                            "[Algorithmic Model]\nExecutable Linux_gcc_64 m.so m.ami\n"
                            "Executable Linux_gcc_32 m.so m.ami\n[End Algorithmic Model]\n[End]\n";
    ExpectParseFailures([&] { return Check("t.ibs", ibs, FILE_IBS); });
}

}  // namespace
