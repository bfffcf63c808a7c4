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
    auto secondFilesAlone = [&](const std::string &out, int64_t n) {
        for (const SecondFile &f : kSecondFiles)
            ASSERT_EQ(Check(f.name, Header("5.0", f.name) + f.body + "[End]\n", f.kind), f.alone)
                << f.name << " after request " << n << " failed in\n" << out;
    };
    const int64_t requests = FailEachRequestInTurn(
        [&] { return Check(kExt[c.kind], first, c.kind); },
        [&](const std::string &clean, const std::string &out, int64_t n) {
            ExpectFailedCheckPass(clean, out, n);
            secondFilesAlone(out, n);
        });
    EXPECT_GT(requests, 0);
    secondFilesAlone(Check(kExt[c.kind], first, c.kind), 0);
}

INSTANTIATE_TEST_SUITE_P(Sections, SectionLifeAllocTest, ::testing::ValuesIn(kOpenCases),
                         CaseName<OpenCase>);

}  // namespace
