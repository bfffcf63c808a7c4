// The EMI block of a model: Model_emi_type and Domain lines, repeats and
// unknown lines.
#include "ModelBlockTest.h"

#include "IbisParser/mdlemi.h"

namespace {

struct Case {
    const char *what;
    const char *lines;
    const char *expected;
    int domain;
    int emiType;
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.what; }

const Case kCases[] = {
    {"both settings", "[Begin EMI Model]\nModel_emi_type Not_a_ferrite\nDomain Digital\n", "", 2, 2},
    {"words after the keyword", "[Begin EMI Model] x\nDomain Analog\n",
     "ERROR (line    1) -\n    Incorrect Number of Line Items (2) For EMI Model: Expecting 1\n", 1, 0},
    {"a value in the wrong case", "[Begin EMI Model]\nDomain analog\n",
     "ERROR (line    2) - Invalid Domain (\"analog\") (try \"Analog\")\n", 0, 0},
    {"an unknown value", "[Begin EMI Model]\nModel_emi_type Bead\n",
     "ERROR (line    2) - Invalid Model_emi_type (\"Bead\")\n", 0, 0},
    {"a setting given twice", "[Begin EMI Model]\nModel_emi_type Ferrite\nModel_emi_type Ferrite\n",
     "ERROR (line    3) - Model_emi_type is already specified for the EMI Model\n", 0, 1},
    {"a repeat is read again", "[Begin EMI Model]\nDomain Analog\nDomain Mixed\n",
     "ERROR (line    3) - Domain is already specified for the EMI Model\n"
     "ERROR (line    3) - Invalid Domain (\"Mixed\")\n", 0, 0},
    {"two values", "[Begin EMI Model]\nDomain Analog Digital\n",
     "ERROR (line    2) - Incorrect Number of Line Items (3) For Domain: Expecting 2\n", 0, 0},
    {"no value", "[Begin EMI Model]\nDomain\n",
     "ERROR (line    2) - 'Domain' Subparameter Missing Setting\n", 0, 0},
    {"unknown lines pass silently", "[Begin EMI Model]\nFoo bar\ndomain Analog\nDomain=Analog\n", "",
     0, 0},
    {"a second block starts empty", "[Begin EMI Model]\nDomain Analog\n[Begin EMI Model]\n",
     "ERROR (line    3) - EMI Model: Already Defined for this model\n", 0, 0},
};

class MdlemiTest : public ModelBlockTest, public ::testing::WithParamInterface<Case> {};

TEST_P(MdlemiTest, OutputAndRecord) {
    const Case &c = GetParam();
    MDL *m = NewModel("m1", MDL_TYPE_IO);
    EXPECT_EQ(Feed(m, c.lines), c.expected);
    ASSERT_NE(m->emiModel, nullptr);
    EXPECT_EQ(m->emiModel->Domain, c.domain);
    EXPECT_EQ(m->emiModel->Model_emi_type, c.emiType);
}

INSTANTIATE_TEST_SUITE_P(Cases, MdlemiTest, ::testing::ValuesIn(kCases));

}  // namespace
