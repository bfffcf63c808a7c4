// [Receiver Thresholds]: value and Reference_supply lines, the end check, and
// the whole-file check of single-ended against differential receivers.
#include "ModelBlockTest.h"

#include <vector>

#include "IbisParser/pin.h"
#include "IbisParser/rcvth.h"

namespace {

struct Case {
    const char *what;
    const char *lines;
    const char *expected;
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.what; }

const Case kCases[] = {
    {"values with and without blanks", "[Receiver Thresholds]\nVth=1.5\nVinh_ac = 1.8V\n", ""},
    {"words after the keyword", "[Receiver Thresholds] x\n",
     "ERROR (line    1) -\n    Incorrect Number of Line Items (2) For Receiver Threshold: Expecting 1\n"},
    {"a second block", "[Receiver Thresholds]\nVth = 1\n[Receiver Thresholds]\n",
     "ERROR (line    3) - Receiver Threshold: Already Defined for this model\n"},
    {"an unknown name", "[Receiver Thresholds]\nVfoo = 1\nvth = 1\n",
     "ERROR (line    2) - Unknown Line Among Receiver Threshold Data\n"
     "ERROR (line    3) - Unknown Line Among Receiver Threshold Data\n"},
    {"a value given twice", "[Receiver Thresholds]\nVth = 1.5\nVth = 2\n",
     "ERROR (line    3) - Vth Already Defined For Receiver Threshold\n"},
    {"a value line without its value", "[Receiver Thresholds]\nVth =\n",
     "ERROR (line    2) - Invalid Vth Line\n"},
    {"a value line without '='", "[Receiver Thresholds]\nVth 1.5 2\n",
     "ERROR (line    2) - Invalid Vth Line\n"},
    {"a value line with more words", "[Receiver Thresholds]\nVth = 1.5 2\n",
     "ERROR (line    2) - Incorrect Number of Line Items (4) For Vth: Expecting 3\n"},
    {"a value that is no number", "[Receiver Thresholds]\nVdiff_ac = abc\n",
     "ERROR (line    2) - Invalid Vdiff_ac Value (\"abc\")\n"},
    {"a known reference supply", "[Receiver Thresholds]\nReference_supply Pullup_ref\n", ""},
    {"a reference supply with '='", "[Receiver Thresholds]\nReference_supply = Pullup_ref\n",
     "ERROR (line    2) - Invalid Reference_supply Line\n"},
    {"a reference supply in the wrong case", "[Receiver Thresholds]\nReference_supply pullup_ref\n",
     "ERROR (line    2) - Unknown Reference_supply pullup_ref specified\n"},
    {"a reference supply without its value", "[Receiver Thresholds]\nReference_supply\n",
     "ERROR (line    2) - Invalid Reference_supply Line\n"},
    {"a reference supply of three words", "[Receiver Thresholds]\nReference_supply Ext_ref x\n",
     "ERROR (line    2) -\n    Incorrect Number of Line Items (3) For Reference_supply: Expecting 2\n"},
    {"a reference supply of four words",
     "[Receiver Thresholds]\nReference_supply Ext_ref x y\nReference_supply Ext_ref\n",
     "ERROR (line    2) -\n    Incorrect Number of Line Items (4) For Reference_supply: Expecting 2\n"
     "ERROR (line    3) - Reference_supply Already Defined For Receiver Threshold\n"},
    {"sensitivity without a reference supply", "[Receiver Thresholds]\nThreshold_sensitivity = 0.5\n",
     "ERROR - Model m1 Receiver Thresholds: Reference Supply must be specified when Threshold Sensitivity is specified\n"},
    {"sensitivity with a refused reference supply",
     "[Receiver Thresholds]\nThreshold_sensitivity = 0.5\nReference_supply Vdd\n",
     "ERROR (line    3) - Unknown Reference_supply Vdd specified\n"
     "ERROR - Model m1 Receiver Thresholds: Reference Supply must be specified when Threshold Sensitivity is specified\n"},
    {"sensitivity with its reference supply",
     "[Receiver Thresholds]\nThreshold_sensitivity = 0.5\nReference_supply Gnd_clamp_ref\n", ""},
};

class RcvthTest : public ModelBlockTest, public ::testing::WithParamInterface<Case> {};

TEST_P(RcvthTest, WholeOutput) {
    MDL *m = NewModel("m1", MDL_TYPE_INPUT);
    EXPECT_EQ(Feed(m, GetParam().lines), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RcvthTest, ::testing::ValuesIn(kCases));

using RcvthRecordTest = ModelBlockTest;

TEST_F(RcvthRecordTest, ValuesAndSlots) {
    MDL *m = NewModel("m1", MDL_TYPE_INPUT);
    Feed(m, "[Receiver Thresholds]\nVth=1.5\nVth = 2\nVinl_dc = x\nTslew_ac = 2n\n"
            "Reference_supply Power_clamp_ref\n");
    const RCVTH *r = m->receiverThresholds;
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(*r->Vth, 1.5);
    ASSERT_NE(r->Vinl_dc, nullptr);  // a refused value still counts as given
    EXPECT_EQ(*r->Vinl_dc, 0.0);
    EXPECT_DOUBLE_EQ(*r->Tslew_ac, 2e-9);
    EXPECT_STREQ(r->Reference_supply, "Power_clamp_ref");
    EXPECT_EQ(r->Vinh_ac, nullptr);
}

// The whole-file check with a stand-in for the component section.
class RcvthCheckAllTest : public ModelBlockTest {
protected:
    void SetUp() override {
        ModelBlockTest::SetUp();
        saved_ = RCVTH_ops;
        asked_.clear();
        RCVTH_ops.isModelOnDiffPin = [](MDL *m, PIN **pin) {
            asked_.push_back(m->name);
            if (m->name[0] != 'd')
                return 0;
            m->single_ended = 0;
            static PIN diffPin = [] {
                PIN p{};
                snprintf(p.pin, sizeof p.pin, "7");
                return p;
            }();
            *pin = &diffPin;
            return 1;
        };
    }
    void TearDown() override {
        if (root_ != nullptr)
            root_->components = nullptr;
        RCVTH_ops = saved_;
        ModelBlockTest::TearDown();
    }
    // A root with a component, as after a file with [Component] was read.
    void WithComponent() {
        ASSERT_TRUE(IBIS_Create());
        ASSERT_TRUE(IBIS_GetCurrent(&root_));
        root_->components = reinterpret_cast<CMPNT *>(&component_);
    }

    static std::vector<std::string> asked_;
    IBIS *root_ = nullptr;
    RCVTH_OPS saved_{};
    long component_ = 0;
};
std::vector<std::string> RcvthCheckAllTest::asked_;

TEST_F(RcvthCheckAllTest, DifferentialAndSingleEndedReceivers) {
    WithComponent();
    MDL *se = NewModel("se", MDL_TYPE_INPUT);
    Feed(se, "[Receiver Thresholds]\nVth = 1\nVinh_ac = 1\nVinl_ac = 1\nVcross_low = 1\n");
    MDL *diff = NewModel("diff", MDL_TYPE_INPUT);
    Feed(diff, "[Receiver Thresholds]\nVth = 1\nVdiff_dc = 1\n");
    NewModel("plain", MDL_TYPE_OUTPUT);
    RCVTH_CheckAll(List());
    EXPECT_EQ(Output(),
              "WARNING - Model diff Receiver Thresholds: Vcross_low must be specified for differential receivers (Pin 7)\n"
              "WARNING - Model diff Receiver Thresholds: Vcross_high must be specified for differential receivers (Pin 7)\n"
              "WARNING - Model diff Receiver Thresholds: Vdiff_ac must be specified for differential receivers (Pin 7)\n"
              "WARNING - Model diff Receiver Thresholds: Tdiffslew_ac must be specified for differential receivers (Pin 7)\n"
              "WARNING - Model se Receiver Thresholds: Vinh_dc must be specified for single ended receivers\n"
              "WARNING - Model se Receiver Thresholds: Vinl_dc must be specified for single ended receivers\n"
              "WARNING - Model se Receiver Thresholds: Tslew_ac must be specified for single ended receivers\n");
    // Every model is asked, with thresholds or without, newest first.
    EXPECT_EQ(asked_, (std::vector<std::string>{"plain", "diff", "se"}));
    EXPECT_EQ(diff->single_ended, 0);
}

TEST_F(RcvthCheckAllTest, WithoutAComponentNoModelIsOnADiffPin) {
    MDL *diff = NewModel("diff", MDL_TYPE_INPUT);
    Feed(diff, "[Receiver Thresholds]\nVth = 1\nVinh_ac = 1\nVinl_ac = 1\nVinh_dc = 1\nVinl_dc = 1\n");
    RCVTH_CheckAll(List());
    EXPECT_EQ(Output(),
              "WARNING - Model diff Receiver Thresholds: Tslew_ac must be specified for single ended receivers\n");
    EXPECT_TRUE(asked_.empty());
    EXPECT_EQ(diff->single_ended, 2);
}

TEST_F(RcvthCheckAllTest, WithoutTheComponentSectionEveryModelIsSingleEnded) {
    WithComponent();
    RCVTH_ops.isModelOnDiffPin = nullptr;
    MDL *diff = NewModel("diff", MDL_TYPE_INPUT);
    Feed(diff, "[Receiver Thresholds]\nVth = 1\nVinh_ac = 1\nVinl_ac = 1\nVinh_dc = 1\nVinl_dc = 1\n"
               "Tslew_ac = 1n\n");
    RCVTH_CheckAll(List());
    EXPECT_EQ(Output(), "");
}

}  // namespace
