// [Model Spec]: names by version, model-type warnings, duplicates, and the end
// checks of hysteresis, overshoot, pulse limits and rising/falling pairs.
#include "ModelBlockTest.h"

#include "IbisParser/mspec.h"
#include "IbisParser/rng.h"

namespace {

struct Case {
    const char *what;
    int version;
    int type;
    const char *lines;  // the block, its keyword on line 1
    const char *expected;
};

const Case kCases[] = {
    {"a 4.x name in a 3.2 file", 3, MDL_TYPE_IO,
     "[Model Spec]\nVinh 2.0 1.9 2.1\nVref 1.0 1.0 1.0\n",
     "ERROR (line    3) - Unknown Line Among Model Spec Data\n"},
    {"the same name in a 4.x file", 4, MDL_TYPE_IO,
     "[Model Spec]\nVinh 2.0 1.9 2.1\nVref 1.0 1.0 1.0\n", ""},
    {"a 5.0 name in a 4.x file", 4, MDL_TYPE_IO, "[Model Spec]\nD_overshoot_amp_h 1 1 1\n",
     "ERROR (line    2) - Unknown Line Among Model Spec Data\n"},
    {"names compare exactly", 5, MDL_TYPE_IO, "[Model Spec]\nvinh 2.0 1.9 2.1\n",
     "ERROR (line    2) - Unknown Line Among Model Spec Data\n"},
    {"words after the keyword", 5, MDL_TYPE_IO, "[Model Spec] extra words\n",
     "ERROR (line    1) -\n    Incorrect Number of Line Items (3) For Model Spec: Expecting 1\n"},
    {"a second [Model Spec]", 5, MDL_TYPE_IO, "[Model Spec]\nVinh 2 2 2\n[Model Spec]\nVinh 3 3 3\n",
     "ERROR (line    3) - Model Specification: Already Defined for this model\n"},
    {"thresholds outside a receiver", 5, MDL_TYPE_OUTPUT, "[Model Spec]\nVinh 2.0 1.9 2.1\n",
     "WARNING (line    2) - Vinh should not be specified for model type Output\n"},
    {"timing loads on a no-load type", 5, MDL_TYPE_SERIES, "[Model Spec]\nVmeas 1 1 1\n",
     "WARNING (line    2) - Vmeas should not be specified for model type Series\n"},
    {"Rref_diff on any type", 5, MDL_TYPE_IO_DIFF, "[Model Spec]\nRref_diff 100 100 100\n",
     "WARNING (line    2) - Rref_diff should not be specified for model type I/O_diff\n"},
    {"a model without a type", 5, MDL_TYPE_NONE, "[Model Spec]\nCref_diff 1p 1p 1p\n",
     "WARNING (line    2) - Cref_diff should not be specified for model type No Type\n"},
    {"the overshoot areas are not type-checked", 5, MDL_TYPE_TERMINATOR,
     "[Model Spec]\nD_overshoot_amp_h 1 1 1\nD_overshoot_area_h 1 1 1\n", ""},
    {"a name given twice", 5, MDL_TYPE_IO, "[Model Spec]\nVinh 2 2 2\nVinh 3 3 3\n",
     "ERROR (line    3) - Vinh Already Defined For Model 'm1'\n"},
    {"NA as typical", 5, MDL_TYPE_IO, "[Model Spec]\nVinh NA 1 2\n",
     "ERROR (line    2) - 'NA' not allowed for Typical value\n"},
    {"range messages name the sub-parameter", 5, MDL_TYPE_IO, "[Model Spec]\nVinh 2 x\n",
     "ERROR (line    2) - No maximum Value Was Provided for Vinh\n"
     "ERROR (line    2) - Invalid Minimum Value (\"x\")\n"},

    {"half the hysteresis thresholds", 5, MDL_TYPE_IO,
     "[Model Spec]\nVinh+ 1 1 1\nVinh- 2 2 2\n",
     "WARNING - All  Hystereis Thresholds should be specified for Model Spec defined on line 1\n"},
    {"hysteresis thresholds out of order", 5, MDL_TYPE_IO,
     "[Model Spec]\nVinh+ 2.0 1.9 2.1\nVinh- 2.05 1.8 2.1\nVinl+ 0.8 0.7 0.9\nVinl- 0.7 0.6 1.0\n",
     "WARNING - Vinh+(Typ) is not greater than or equal to Vinh-(Typ) for Model Spec defined on line 1\n"
     "WARNING - Vinl+(Max) is not greater than or equal to Vinl-(Max) for Model Spec defined on line 1\n"},
    {"equal hysteresis thresholds", 5, MDL_TYPE_IO,
     "[Model Spec]\nVinh+ 2 2 2\nVinh- 2 2 2\nVinl+ 1 1 1\nVinl- 1 1 1\n", ""},

    {"static overshoot signs", 5, MDL_TYPE_IO,
     "[Model Spec]\nS_overshoot_high 0.5 -0.1 0.6\nS_overshoot_low 0.1 -1 0.2\n",
     "WARNING -\n    S_overshoot_high (Min) is less than zero for Model Spec defined on line 1\n"
     "WARNING -\n    S_overshoot_low (Typ) is greater than zero for Model Spec defined on line 1\n"
     "WARNING -\n    S_overshoot_low (Max) is greater than zero for Model Spec defined on line 1\n"},
    {"an NA column takes the typical value", 5, MDL_TYPE_IO,
     "[Model Spec]\nS_overshoot_high -1 NA 2\n",
     "WARNING -\n    S_overshoot_high (Typ) is less than zero for Model Spec defined on line 1\n"
     "WARNING -\n    S_overshoot_high (Min) is less than zero for Model Spec defined on line 1\n"},
    // A line that leaves out min and max: for the signs those corners take
    // the typical value; a comparison needs the column in both ranges.
    {"a short line signs every corner with its typical value", 5, MDL_TYPE_IO,
     "[Model Spec]\nS_overshoot_high -1\n",
     "ERROR (line    2) - No minimum Value Was Provided for S_overshoot_high\n"
     "ERROR (line    2) - No maximum Value Was Provided for S_overshoot_high\n"
     "WARNING -\n    S_overshoot_high (Typ) is less than zero for Model Spec defined on line 1\n"
     "WARNING -\n    S_overshoot_high (Max) is less than zero for Model Spec defined on line 1\n"
     "WARNING -\n    S_overshoot_high (Min) is less than zero for Model Spec defined on line 1\n"},
    {"a short line is compared at its typical value only", 5, MDL_TYPE_IO,
     "[Model Spec]\nS_overshoot_high 1 0.9 1.1\nD_overshoot_high 0.5\nD_overshoot_time 1n 1n 1n\n",
     "ERROR (line    3) - No minimum Value Was Provided for D_overshoot_high\n"
     "ERROR (line    3) - No maximum Value Was Provided for D_overshoot_high\n"
     "WARNING - D_overshoot_high(Typ) is not greater than S_overshoot_high(Typ) for Model Spec defined on line 1\n"},
    {"dynamic overshoot alone", 5, MDL_TYPE_IO, "[Model Spec]\nD_overshoot_high 1 1 1\n",
     "ERROR - D_overshoot_high requires S_overshoot_high to be specified for Model Spec defined on line 1\n"
     "ERROR - D_overshoot_high requires D_overshoot_time to be specified for Model Spec defined on line 1\n"},
    {"dynamic overshoot inside the static one", 5, MDL_TYPE_IO,
     "[Model Spec]\nS_overshoot_high 1.0 0.9 1.1\nD_overshoot_high 1.2 0.8 1.3\n"
     "S_overshoot_low -0.5 -0.4 -0.6\nD_overshoot_low -0.7 -0.3 -0.8\nD_overshoot_time 1n 1n 1n\n",
     "WARNING - D_overshoot_high(Min) is not greater than S_overshoot_high(Min) for Model Spec defined on line 1\n"
     "WARNING - D_overshoot_low(Min) is not less than S_overshoot_low(Min) for Model Spec defined on line 1\n"},
    {"an orphan overshoot time", 5, MDL_TYPE_IO, "[Model Spec]\nD_overshoot_time -1n -1n -1n\n",
     "WARNING - orphan D_overshoot_time found for Model Spec defined on line 1\n"},
    {"a negative overshoot time", 5, MDL_TYPE_IO,
     "[Model Spec]\nS_overshoot_low -1 -1 -1\nD_overshoot_low -2 -2 -2\nD_overshoot_time 1n -1n 1n\n",
     "WARNING -\n    D_overshoot_time (Min) is less than zero for Model Spec defined on line 1\n"},
    {"an overshoot area without its amplitude", 5, MDL_TYPE_IO,
     "[Model Spec]\nD_overshoot_area_h -1 -2 1\nD_overshoot_amp_l -1 -1 -1\nD_overshoot_area_l 1 1 1\n",
     "WARNING -\n    D_overshoot_area_h (Typ) is less than zero for Model Spec defined on line 1\n"
     "WARNING -\n    D_overshoot_area_h (Min) is less than zero for Model Spec defined on line 1\n"
     "ERROR - D_overshoot_amp_h must be specified when D_overshoot_area_h is specified for [Model Spec] defined on line 1\n"
     "WARNING -\n    D_overshoot_amp_l (Typ) is less than zero for Model Spec defined on line 1\n"
     "WARNING -\n    D_overshoot_amp_l (Max) is less than zero for Model Spec defined on line 1\n"
     "WARNING -\n    D_overshoot_amp_l (Min) is less than zero for Model Spec defined on line 1\n"},

    {"a pulse above the Model Spec Vinl", 5, MDL_TYPE_IO,
     "[Model Spec]\nVinl 0.8 0.7 0.9\nPulse_high 0.9 0.6 1.0\nPulse_time 1n 1n 1n\n",
     "WARNING - Pulse_high(Min) is not greater than Vinl(Min) for Model Spec defined on line 1\n"},
    {"a pulse without thresholds or time", 5, MDL_TYPE_IO, "[Model Spec]\nPulse_high 3 3 3\n",
     "ERROR - Pulse_high requires Pulse_time to be specified for Model Spec defined on line 1\n"
     "ERROR - Pulse_high requires Thresholds or Hysteresis Thresholds to be specified for Model Spec defined on line 1\n"},
    {"a pulse below the hysteresis threshold", 5, MDL_TYPE_IO,
     "[Model Spec]\nVinh+ 2 2 2\nVinh- 1.8 1.8 1.8\nVinl+ 1 1 1\nVinl- 0.8 0.8 0.8\nVinh 0.5 0.5 0.5\n"
     "Pulse_low 1 0.9 1.1\nPulse_time 1n 1n 1n\n",
     "WARNING -\n    Pulse_low(Typ) is not less than Vinl+(Typ) for Model Spec defined on line 1\n"
     "WARNING -\n    Pulse_low(Max) is not less than Vinl+(Max) for Model Spec defined on line 1\n"},
    {"a pulse with NA typical is not checked", 5, MDL_TYPE_IO, "[Model Spec]\nPulse_low NA 1 1\n",
     "ERROR (line    2) - 'NA' not allowed for Typical value\n"},
    {"an orphan pulse time", 5, MDL_TYPE_IO, "[Model Spec]\nPulse_time 1n 1n 1n\n",
     "WARNING - orphan Pulse_time found for Model Spec defined on line 1\n"},
    {"a threshold with NA typical does not count", 5, MDL_TYPE_IO,
     "[Model Spec]\nVinl NA 1 1\nPulse_high 3 3 3\nPulse_time 1n 1n 1n\n",
     "ERROR (line    2) - 'NA' not allowed for Typical value\n"
     "ERROR - Pulse_high requires Thresholds or Hysteresis Thresholds to be specified for Model Spec defined on line 1\n"},

    {"a rising value alone", 5, MDL_TYPE_IO, "[Model Spec]\nVmeas_rising 1 1 1\n",
     "ERROR - Vmeas_falling must be specified when Vmeas_rising is specified\n"},
    {"both edges next to the plain value", 5, MDL_TYPE_IO,
     "[Model Spec]\nRref 50 50 50\nRref_rising 50 50 50\nRref_falling 50 50 50\n"
     "Cref_falling 1p 1p 1p\n",
     "ERROR - Cref_rising must be specified when Cref_falling is specified\n"
     "ERROR - Rref must not be specified when Rref_rising is specified\n"
     "ERROR - Rref must not be specified when Rref_falling is specified\n"},
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.what; }

class MspecTest : public ModelBlockTest, public ::testing::WithParamInterface<Case> {};

TEST_P(MspecTest, WholeOutput) {
    const Case &c = GetParam();
    PARSE_SetIbisVersion(c.version);
    MDL *m = NewModel("m1", c.type);
    EXPECT_EQ(Feed(m, c.lines), c.expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, MspecTest, ::testing::ValuesIn(kCases));

using MspecRecordTest = ModelBlockTest;

TEST_F(MspecRecordTest, FirstValueStaysAndHysteresisIsMarked) {
    PARSE_SetIbisVersion(5);
    MDL *m = NewModel("m1", MDL_TYPE_IO);
    Feed(m, "[Model Spec]\nVinh 2 1.9 2.1\nVinh 3 3 3\nVinh+ 1 1 1\nVinh- 1 1 1\nVinl+ 1 1 1\n"
            "Vinl- 1 1 1\n");
    ASSERT_NE(m->modelSpec, nullptr);
    EXPECT_EQ(m->modelSpec->Vinh->typ, 2);
    EXPECT_EQ(m->modelSpec->Vinh->min, 1.9);
    EXPECT_EQ(m->modelSpec->hysteresisComplete, 1);
}

TEST_F(MspecRecordTest, PulseAgainstTheModelsOwnThreshold) {
    PARSE_SetIbisVersion(5);
    MDL *m = NewModel("m1", MDL_TYPE_INPUT);
    m->Vinl = static_cast<double *>(malloc(sizeof(double)));
    *m->Vinl = 0.8;
    EXPECT_EQ(Feed(m, "[Model Spec]\nPulse_high 0.9 0.7 NA\nPulse_time 1n 1n 1n\n"),
              "WARNING - Pulse_high(Min) is not greater than Vinl(Min) for Model Spec defined on line 1\n");
    // A second block replaces the first; its end checks start afresh.
    EXPECT_EQ(Feed(m, "[Model Spec]\nPulse_high 0.9 0.9 0.9\nPulse_time 1n 1n 1n\n"),
              "ERROR (line    1) - Model Specification: Already Defined for this model\n");
}

}  // namespace
