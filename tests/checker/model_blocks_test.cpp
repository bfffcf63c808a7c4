// The blocks of a model read and checked in whole .ibs files: [Model Spec],
// [Receiver Thresholds], the EMI block and [Driver Schedule], with the real
// model section around them and their whole-file checks in the check pass.
#include "ModelFixture.h"

namespace {

struct Case {
    const char *what;
    const char *version;
    const char *body;      // after the three header lines: its first line is line 4
    const char *messages;  // between the banner and the summary
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.what; }

const char kVoltage[] = "[Voltage Range] 3.3 3.0 3.6\n";
const char kRamp[] = "[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n";

const std::string kOut = std::string("[Model] out\nModel_type Output\nVmeas = 1.5\nC_comp 1p 1p 1p\n") +
                         kVoltage + kRamp;

const std::string kSpec = std::string(
    "[Model] in\nModel_type Input\nVinl = 0.8\nVinh = 2.0\nC_comp 1p 1p 1p\n"
    "[Model Spec]\nVinh 2.0 1.9 2.1\nVref 1.0 1.0 1.0\nVmeas 1 1 1\nVinh+ 2 2 2\n"
    "Pulse_high 0.9 0.7 1.0\nPulse_time 1n 1n 1n\nS_overshoot_high 0.5 -0.1 0.6\n") + kVoltage;

const std::string kThresholds = std::string(
    "[Model] in\nModel_type Input\nC_comp 1p 1p 1p\n"
    "[Receiver Thresholds]\nVth=1.5\nVinh_ac = 1.8 2\nVinl_ac = x\nVinh_dc 1.7\n"
    "Threshold_sensitivity = 0.5\nReference_supply\nReference_supply pullup_ref\n") + kVoltage +
    "[Begin EMI Model]\nModel_emi_type Ferrite\nModel_emi_type Ferrite\nDomain analog\n"
    "Bogus line\n[End EMI Model]\n";

const std::string kSchedule = std::string(
    "[Model] drv\nModel_type 3-state\nVmeas = 1.5\nC_comp 1p 1p 1p\n") + kVoltage + kRamp +
    "[Driver Schedule] x\nout 1n NA NA 2n\nout NA 1n NA 2n\nin 1n NA 2n NA\nGND -1n NA 2n NA\n"
    "ghost 1n NA NA NA\nabcdefghijklmnopqrstu 1n NA 2n NA\n"
    "[Model] in\nModel_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\n" + kVoltage + kOut;

const char kUnreferenced[] =
    "WARNING - Model %s not referenced in any [Pin], [Model Selector], [Driver Schedule] or "
    "[Series Pin Mapping] sections.\n No more warnings will be generated for un-referenced models\n";

std::string Unreferenced(const char *model) {
    char text[256];
    snprintf(text, sizeof text, kUnreferenced, model);
    return text;
}

const std::string kNoComponent = "ERROR - Required keyword 'Component' not found.\n";

const std::string kSpecMessages =
    "ERROR (line   11) - Unknown Line Among Model Spec Data\n"
    "WARNING (line   12) - Vmeas should not be specified for model type Input\n"
    "WARNING - All  Hystereis Thresholds should be specified for Model Spec defined on line 9\n"
    "WARNING -\n    S_overshoot_high (Min) is less than zero for Model Spec defined on line 9\n"
    "WARNING - Pulse_high(Min) is not greater than Vinl(Min) for Model Spec defined on line 9\n" +
    kNoComponent + Unreferenced("in");

const std::string kThresholdMessages =
    "ERROR (line    9) - Incorrect Number of Line Items (4) For Vinh_ac: Expecting 3\n"
    "ERROR (line   10) - Invalid Vinl_ac Value (\"x\")\n"
    "ERROR (line   11) - Invalid Vinh_dc Line\n"
    "ERROR (line   13) - Invalid Reference_supply Line\n"
    "ERROR (line   14) - Unknown Reference_supply pullup_ref specified\n"
    "ERROR - Model in Receiver Thresholds: Reference Supply must be specified when Threshold "
    "Sensitivity is specified\n"
    "ERROR (line   18) - Model_emi_type is already specified for the EMI Model\n"
    "ERROR (line   19) - Invalid Domain (\"analog\") (try \"Analog\")\n"
    // No component: the model counts as single-ended, and nothing else is said.
    "WARNING - Model in Receiver Thresholds: Vinl_dc must be specified for single ended receivers\n"
    "WARNING - Model in Receiver Thresholds: Tslew_ac must be specified for single ended receivers\n" +
    kNoComponent + Unreferenced("in");

// The scheduled models are referenced: only the scheduling model draws 219.
const std::string kScheduleMessages =
    "ERROR (line   12) -\n    Incorrect Number of Line Items (2) For Driver Schedule: Expecting 1\n"
    "ERROR (line   13) - Rise_on_dly and Fall_off_delay cannot be specified together\n"
    "ERROR (line   14) - Model Name (\"out\") previously used in this Driver Schedule\n"
    "ERROR (line   16) -\n    Invalid Model Name in Driver Schedule (\"GND\"); Reserved Word.\n"
    "ERROR (line   16) - Rise_on_dly is less than zero\n"
    "ERROR (line   17) - At least two delays must be specified\n"
    "ERROR (line   18) - Model Name Over 20 Characters Long\n" +
    NoDriveTables("out") + NoDriveTables("drv") +
    "ERROR - Model abcdefghijklmnopqrst used in the Driver Schedule of Model drv is not defined\n"
    "ERROR - Model ghost used in the Driver Schedule of Model drv is not defined\n"
    "ERROR - Model GND used in the Driver Schedule of Model drv is not defined\n"
    "ERROR -\n    Model in used in the Driver Schedule of Model drv should be an output model\n" +
    kNoComponent + Unreferenced("drv");

const Case kCases[] = {
    {"Model Spec names by version, types and end checks", "3.2", kSpec.c_str(), kSpecMessages.c_str()},
    {"Receiver Thresholds and the EMI block", "5.0", kThresholds.c_str(), kThresholdMessages.c_str()},
    {"Driver Schedule rows and the scheduled models", "3.2", kSchedule.c_str(),
     kScheduleMessages.c_str()},
};

// The model section's test fixture, with the real blocks plugged back in.
class ModelBlocksTest : public modeltest::ModelTest, public ::testing::WithParamInterface<Case> {
protected:
    void SetUp() override {
        const MDL_SUBSECTION_OPS blocks = MDL_subsections;
        const IBIS_CHECKS checks = IBIS_checks;
        ModelTest::SetUp();
        MDL_subsections = blocks;
        IBIS_checks = checks;
    }
};

TEST_P(ModelBlocksTest, WholeOutput) {
    const Case &c = GetParam();
    EXPECT_EQ(Run(c.version, std::string(c.body) + "[End]\n"), Expected(c.version, c.messages));
}

INSTANTIATE_TEST_SUITE_P(Files, ModelBlocksTest, ::testing::ValuesIn(kCases));

}  // namespace
