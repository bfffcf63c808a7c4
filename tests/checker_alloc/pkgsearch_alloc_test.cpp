// The package-file search when memory runs out at each request of a pass in
// turn: a directory that cannot be listed or scanned for lack of memory says
// so (the memory message, then a bug message) and finds nothing; the model
// it did not find is not called missing. Every run gives a whole report,
// nothing leaks.
#include <gmock/gmock.h>

#include "AllocFail.h"
#include "tests/checker/CheckerTest.h"

namespace {

using PkgSearchAllocTest = CheckerTest;

TEST_F(PkgSearchAllocTest, EveryRequestOfASearchingPassFails) {
    // A name past what a string keeps in place needs a request of its own.
    for (const std::string name : {"a.pkg", "package_long_name.pkg"}) {
        SCOPED_TRACE(name);
        testsupport::TempDir dir;
        dir.Write(name, "[IBIS Ver] 3.2\n[File Name] " + name + "\n[File Rev] 1\n"
                        "[Define Package Model] PKG1\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
                        "[Number Of Pins] 1\n[Pin Numbers]\n1\n[Model Data]\n"
                        "[Inductance Matrix] Full_matrix\n[Row] 1\n1n\n[Capacitance Matrix] Sparse_matrix\n"
                        "[Row] 1\n1 1p\n[End Model Data]\n[End Package Model]\n[End]\n");
        dir.Write("f.ibs", "[IBIS Ver] 3.2\n[File Name] f.ibs\n[File Rev] 1\n[Component] C\n"
                           "[Manufacturer] m\n[Package Model] PKG1\n[Package]\nR_pkg 1m 1m 1m\n"
                           "L_pkg 1n 1n 1n\nC_pkg 1p 1p 1p\n[Pin] signal_name model_name\n"
                           "1 s POWER\n[End]\n");
        std::string clean;
        bool listingFailed = false;
        const int64_t requests = FailEachRequestInTurn([&] {
            CMN_ResetFileState();
            passed_ = CHECKPASS_CheckFile((dir.path() + "/f.ibs").c_str(), FILE_IBS, 0);
            const std::string out = Output();
            if (clean.empty())
                return clean = out;
            if (out == clean)
                return out;
            // Any other run is a whole report of a failed file.
            EXPECT_THAT(out, ::testing::EndsWith("\nFile Failed\n"));
            EXPECT_FALSE(passed_) << out;
            // A listing short of memory says so; it is no empty directory.
            if (out.find("PROGRAM BUG - tmpnam() failed.\n") != std::string::npos) {
                listingFailed = true;
                EXPECT_NE(out.find("ERROR - Memory "), std::string::npos) << out;
                EXPECT_EQ(out.find("Checking " + name), std::string::npos) << out;
                EXPECT_EQ(out.find("Package Model 'PKG1'"), std::string::npos) << out;
            }
            return out;
        });
        EXPECT_NE(clean.find("Checking " + name), std::string::npos) << clean;
        EXPECT_NE(clean.find("File Passed"), std::string::npos) << clean;
        EXPECT_TRUE(listingFailed);
        EXPECT_GE(requests, 20);
        EXPECT_LE(requests, kMostRequestsFailed);
    }
}

}  // namespace
