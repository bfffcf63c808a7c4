// AMI parameter files when memory runs out at each request of a check pass
// in turn: a line the reader cannot hold fails the read, so no text cut
// short is parsed; a parse that cannot get memory is the program bug of the
// AMI checks; the pass goes on, and nothing is left behind (the sanitizer
// build checks for leaks).
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
    const int64_t requests = FailEachRequestInTurn([&] {
        const std::string out = pass();
        internal += out.find(kInternal) != std::string::npos;
        return out;
    });
    EXPECT_GT(requests, 10);
    EXPECT_LE(requests, kMostRequestsFailed);
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

// The whole-line reader tells a line it could not hold from the end of the
// file (whose state the reader's own tests hold): its first block, then the
// growth past it, fail.
TEST_F(AlgmodAllocTest, LineReaderTellsNoMemoryFromTheEnd) {
    const std::string path = Write("l.ami", std::string(200, 'x') + "\n");
    const struct { int request; const char *message; } kRows[] = {
        {1, "ERROR - Memory allocation failed.  This request 128.\n\n"},
        {2, "ERROR - Memory reallocation failed.  This request 256.\n\n"},
    };
    for (const auto &row : kRows) {
        FILE *f = fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        size_t size = 0;
        int state = CMN_LINE_WHOLE;
        FailAlloc(row.request);
        EXPECT_EQ(CMN_ReadLineAlloc(&size, f, &state), nullptr);
        FailAlloc(0);
        EXPECT_EQ(state, CMN_LINE_NO_MEMORY) << row.request;
        EXPECT_EQ(Output(), row.message);
        fclose(f);
    }
}

// An ordinary parameter file, read line by line, one line past the first
// block a line gets: whichever line cannot be held, the read fails and the
// text before it is not checked as if it were the file.
const char kOrdinaryAmi[] =
    "(tx\n"
    " (Description \"A transmitter\n"
    "   over two lines\")\n"
    " (Reserved_Parameters\n"
    "  (Init_Returns_Impulse (Usage Info) (Type Boolean) (Default False) (Description \"i\"))\n"
    "  (GetWave_Exists (Usage Info) (Type Boolean) (Default True) (Description \"g\")))\n"
    " | the model's own\n"
    " (Model_Specific\n"
    "  (Swing (Usage In) (Type Float) (Default 0.50) (Description \"s\")\n"
    "   (Format List 0.10 0.15 0.20 0.25 0.30 0.35 0.40 0.45 0.50 0.55 0.60 0.65 0.70 0.75 0.80 0.85 "
    "0.90 0.95 1.00 1.05 1.10 1.15 1.20))))\n";

TEST_F(AlgmodAllocTest, OrdinaryFileAloneAndNamedByAModel) {
    Write("tx.ami", kOrdinaryAmi);
    Write("tx.so", "");
    const std::string ibs = Header("5.0", "t.ibs") +
                            "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\nL_pkg 1n NA NA\n"
                            "C_pkg 1p NA NA\n[Pin] signal_name model_name\n1 s a\n"
                            "[Model] a\nModel_type Input\nVinl = 0.8\nVinh = 2.0\n"
                            "C_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
                            "[Algorithmic Model]\nExecutable Linux_gcc_64 tx.so tx.ami\n[End Algorithmic Model]\n[End]\n";
    for (const auto &[name, kind] : {std::pair<std::string, int>{"tx.ami", FILE_AMI}, {"t.ibs", FILE_IBS}}) {
        SCOPED_TRACE(name);
        const std::string path = name == "t.ibs" ? Write(name, ibs) : dir_.path() + "/" + name;
        auto pass = [&, kind = kind] {
            CMN_ResetFileState();
            passed_ = CHECKPASS_CheckFile(path.c_str(), kind, 0);
            return Output();
        };
        EXPECT_NE(pass().find("File Passed"), std::string::npos) << pass();
        EXPECT_GT(FailEachRequestInTurn(pass), 10);
    }
}

}  // namespace
