// Sums of I-V tables and the AC/DC checks when memory runs out at each
// request in turn: a bug message, nothing half-made left behind (the
// sanitizer build checks for leaks), the inputs as found.
#include <regex>

#include "AllocFail.h"
#include "IbisParser/acdc.h"
#include "IbisParser/crvop.h"
#include "IbisParser/mdl.h"
#include "tests/checker/CheckerTest.h"
#include "tests/checker/CurveTest.h"

namespace {

using CrvopAllocTest = CheckerTest;

const char kOutOfMemory[] =
    "ERROR - Memory allocation failed.  This request N.\n\nPROGRAM BUG - Out of Memory\n";

std::string Plain(const std::string &out) {
    return std::regex_replace(out, std::regex("request [0-9]+"), "request N");
}

TEST_F(CrvopAllocTest, MergeFailsAtEveryRequest) {
    CRV *a = MakeCurve({"0 0 0 0", "1 1 1 1", "2 2 2 2"});
    CRV *b = MakeCurve({"0 0 0 0", "2 2 2 2", "1 10 10 10", "3 3 3 3"});  // read sorted
    const std::string before = CurveText(a) + "|" + CurveText(b);
    Output();
    int failures = 0;
    for (int n = 1;; ++n) {
        FailCalloc(n);
        CRV *sum = CRVOP_Merge(a, b, CRVOP_ALL);
        FailCalloc(0);
        EXPECT_EQ(CurveText(a) + "|" + CurveText(b), before);
        if (sum != nullptr) {
            EXPECT_EQ(Output(), "");
            EXPECT_EQ(CurveText(sum), "0 0 0 0; 1 11 11 11; 2 4 4 4; 3 6 6 6");
            CRV_Free(sum);
            break;
        }
        ++failures;
        EXPECT_EQ(Plain(Output()), kOutOfMemory) << n;
    }
    EXPECT_EQ(failures, 6);  // the result, the sorted copy, four rows
    CRV_Free(a);
    CRV_Free(b);
}

TEST_F(CrvopAllocTest, CombinedCurvesFailQuietlyBesideTheBug) {
    MDL m{};
    m.Model_type = MDL_TYPE_OUTPUT;
    m.pulldown = MakeCurve({"0 0 NA NA", "3 0.3 NA NA"});
    m.pullup = MakeCurve({"0 0 NA NA", "3 -0.3 NA NA"});
    m.gndClamp = MakeCurve({"-1 -1 NA NA", "0 0 NA NA"});
    Output();
    for (int n = 1;; ++n) {
        FailCalloc(n);
        const int ok = ACDC_CheckCombinedCurves(&m, CRVOP_TYP);
        FailCalloc(0);
        if (ok) {
            EXPECT_EQ(Output(), "");
            break;
        }
        EXPECT_EQ(Plain(Output()), kOutOfMemory) << n;
    }
    CRV_Free(m.pulldown);
    CRV_Free(m.pullup);
    CRV_Free(m.gndClamp);
}

}  // namespace
