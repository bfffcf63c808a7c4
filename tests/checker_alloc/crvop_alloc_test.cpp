// Sums of I-V tables and the AC/DC checks when memory runs out at each
// request in turn: a bug message, nothing half-made left behind (the
// sanitizer build checks for leaks), the inputs as found.
#include <cstring>
#include <regex>

#include "AllocFail.h"
#include "IbisParser/acdc.h"
#include "IbisParser/crvop.h"
#include "IbisParser/mdl.h"
#include "IbisParser/submdl.h"
#include "tests/checker/CheckerTest.h"
#include "tests/checker/CurveTest.h"

namespace {

using CrvopAllocTest = CheckerTest;

const char kFailed[] = "ERROR - Memory allocation failed.  This request N.\n\n";
const char kBug[] = "PROGRAM BUG - Out of Memory\n";
const std::string kOutOfMemory = std::string(kFailed) + kBug;

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

// A model that names one Dynamic_clamp three times: its clamps are counted
// by name, the count and every sum can fail. Whatever fails, the check says
// so or says what the clean pass says, and holds nothing afterwards.
TEST_F(CrvopAllocTest, AddedClampsFailAtEveryRequest) {
    MDL m{};
    strcpy(m.name, "out");
    m.Model_type = MDL_TYPE_OUTPUT;
    m.gndClamp = MakeCurve({"-1 -2 NA NA", "0 0 NA NA"});
    ADD_SUBMDL entries[3] = {{"dc", 0, &entries[1]}, {"dc", 2, &entries[2]}, {"dc", 0, nullptr}};
    m.addSubmodel = entries;
    SUBMDL sub{};
    strcpy(sub.name, "dc");
    sub.Submodel_type = SUBMDL_TYPE_DYNAMIC_CLAMP;
    sub.gndClamp = MakeCurve({"-1 0 NA NA", "0 0 NA NA", "1 -1 NA NA"});
    const std::string turns =
        "WARNING -\n    Combined Clamp in Driving Mode for Model out Typical data is "
        "non-monotonic\n";
    Output();
    const int failures = FailEachRequestInTurn([&] {
        ACDC_CheckAddSubmodels(&m, &sub);
        return Output();
    });
    EXPECT_GT(failures, 0);
    EXPECT_LT(failures, 10000);
    for (int n = 1; n <= failures; ++n) {
        FailCalloc(n);
        ACDC_CheckAddSubmodels(&m, &sub);
        FailCalloc(0);
        // One failure, reported; a failed sum (bug 3300) checks nothing, a
        // failed count of the names sums one entry at a time.
        const std::string out = Plain(Output());
        const std::string::size_type at = out.find(kFailed);
        ASSERT_NE(at, std::string::npos) << n;
        std::string rest = out.substr(0, at) + out.substr(at + sizeof kFailed - 1);
        const std::string::size_type bug = rest.find(kBug);
        if (bug != std::string::npos)
            rest.erase(bug, sizeof kBug - 1);
        EXPECT_TRUE(rest == turns || rest == "") << n << ": " << out;
    }
    ACDC_CheckAddSubmodels(&m, &sub);
    EXPECT_EQ(Output(), turns);
    CRV_Free(m.gndClamp);
    CRV_Free(sub.gndClamp);
}

}  // namespace
