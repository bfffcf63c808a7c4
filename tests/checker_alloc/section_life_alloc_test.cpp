// A first file left open inside a section while memory runs out at each of
// its requests in turn: whatever the sections kept of it, the next passes
// print what they print alone (run under AddressSanitizer).
#include "AllocFail.h"
#include "tests/checker/SectionFile.h"
#include "tests/checker/SectionLife.h"

namespace {

class SectionLifeAllocTest : public SectionFileTest,
                             public ::testing::WithParamInterface<OpenCase> {};

TEST_P(SectionLifeAllocTest, TheNextPassesPrintWhatTheyPrintAlone) {
    static const char *const kExt[] = {"", "open.ibs", "open.pkg", "open.ebd"};
    const OpenCase &c = GetParam();
    const std::string first = Header(c.version, kExt[c.kind]) + c.body + "[Bogus]\n[End]\n";
    const std::string clean = Check(kExt[c.kind], first, c.kind);
    int n = 1;
    for (; n < 10000; ++n) {
        FailAlloc(n);
        const std::string out = Check(kExt[c.kind], first, c.kind);
        FailAlloc(0);
        for (const SecondFile &f : kSecondFiles)
            ASSERT_EQ(Check(f.name, Header("5.0", f.name) + f.body + "[End]\n", f.kind), f.alone)
                << f.name << " after request " << n << " failed in\n" << out;
        if (out == clean)
            break;
    }
    EXPECT_LT(n, 10000);
}

INSTANTIATE_TEST_SUITE_P(Sections, SectionLifeAllocTest, ::testing::ValuesIn(kOpenCases),
                         CaseName<OpenCase>);

}  // namespace
