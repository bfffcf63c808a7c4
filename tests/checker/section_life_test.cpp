// The submodel, selector and test sections across file kinds and passes:
// end handlers that run without a record of their own, and state that
// must not outlive the root it points into (run under AddressSanitizer).
#include "SectionFile.h"

namespace {

// Every keyword of the four sections with a data line, in a package or
// board file: each opening keyword is refused, nothing else is said.
const char kSectionKeywords32[] =
    "[Model Selector] ms\nm1 first\n[Submodel] s\nSubmodel_type Bus_hold\n[Submodel Spec]\n"
    "V_trigger_r 1 1 1\n[Pulldown]\n0 0 0 0\n[GND Pulse Table]\n0 0 0 0\n[Ramp]\n"
    "R_load = 50\n[Rising Waveform]\n0 0 0 0\n";
const char kSectionKeywords42[] =
    "[Test Data] d\nTest_data_type Single_ended\n[Rising Waveform Near]\n0 0 0 0\n"
    "[Test Load] t\nC1_near = 1p\n[Submodel] s\n[Falling Waveform]\n0 0 0 0\n"
    "[Model Selector] ms\nm1 first\n";

const FileCase kRefusedCases[] = {
    {"package 3.2", "3.2", kSectionKeywords32,
     "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line    6) - Illegal keyword for a '.pkg' file.\n"},
    {"board 3.2", "3.2", kSectionKeywords32,
     "ERROR (line    4) - Illegal keyword for a '.ebd' file.\n"
     "ERROR (line    6) - Illegal keyword for a '.ebd' file.\n"},
    {"package 4.2", "4.2", kSectionKeywords42,
     "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line    8) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line   10) - Illegal keyword for a '.pkg' file.\n"
     "ERROR (line   13) - Illegal keyword for a '.pkg' file.\n"},
};

class RefusedSectionTest : public FileCaseTest {};

TEST_P(RefusedSectionTest, OnlyTheOpeningKeywordsAreReported) {
    ExpectMessages(std::string(GetParam().name).find("board") == 0 ? FILE_EBD : FILE_PKG);
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedSectionTest, ::testing::ValuesIn(kRefusedCases),
                         CaseName<FileCase>);

// A file that ends inside a section (an unknown keyword leaves it open),
// then a package file that holds that section's keywords: the end handlers
// of the second pass must not reach the first file's freed records.
TEST_F(SectionFileTest, OpenSectionsDoNotReachTheNextFile) {
    const char *const openAtEnd[] = {
        "[Submodel] s\nSubmodel_type Bus_hold\n[Rising Waveform]\nR_fixture = 50\n0 0 0 0\n",
        "[Submodel] s\nSubmodel_type Bus_hold\n[Submodel Spec]\nV_trigger_r 1 1 1\n",
        "[Submodel] s\n[Pullup]\n0 0 0 0\n",
        "[Test Data] d\nTest_data_type Single_ended\n[Diff Rising Waveform Far]\n0 0 0 0\n",
        "[Test Load] t\nTest_load_type Single_ended\n",
        "[Model Selector] ms\nm1 first\nm2 second\n",
    };
    for (const char *open : openAtEnd) {
        Run("4.2", std::string(open) + "[Bogus]\n");
        EXPECT_EQ(Run("4.2", kSectionKeywords42, FILE_PKG),
                  "ERROR (line    4) - Illegal keyword for a '.pkg' file.\n"
                  "ERROR (line    8) - Illegal keyword for a '.pkg' file.\n"
                  "ERROR (line   10) - Illegal keyword for a '.pkg' file.\n"
                  "ERROR (line   13) - Illegal keyword for a '.pkg' file.\n")
            << open;
    }
}

}  // namespace
