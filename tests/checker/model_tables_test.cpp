// The [Model] section with its tables: each keyword closes the table before
// it, the tables reach their readers, [Composite Current] finds its waveform.
#include "ModelFixture.h"

#include "IbisParser/crv.h"
#include "IbisParser/ramp.h"
#include "IbisParser/wvfrm.h"

namespace {

using namespace modeltest;

const std::string kOutputHead =
    "Model_type Output\nC_comp 1p 1p 1p\nVmeas = 1.5\n[Voltage Range] 3.3 3.0 3.6\n";
const std::string kRamp = "[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n";

TEST_F(ModelTest, TablesReachTheirReaders) {
    const std::string body =
        "[Model] o\n" + kOutputHead +                                                // 4-8
        "[Pulldown]\n-1 -1m -1m -1m\n1 1m 1m 1m\n"                                   // 9-11
        "[Pullup]\n-1 1m 1m 1m\n1 -1m -1m -1m\n"                                     // 12-14
        "[GND Clamp]\n-1 -1m -1m -1m\n0 0 0 0\n"                                     // 15-17
        "[POWER Clamp]\n-1 1m 1m 1m\n0 0 0 0\n" + kRamp +                            // 18-23
        "[Rising Waveform]\nR_fixture = 50\nV_fixture = 0\n0 0 0 0\n1n 1 1 1\n"      // 24-28
        "[Composite Current]\n0 0 0 0\n1n 1m 1m 1m\n"                                // 29-31
        "[Falling Waveform]\nR_fixture = 50\nV_fixture = 3.3\n0 1 1 1\n1n 0 0 0\n"   // 32-36
        "[Composite Current]\n0 0 0 0\n1n 1m 1m 1m\n"                                // 37-39
        "[Composite Current]\n0 0 0 0\n"                                             // 40-41
        "[ISSO PD]\n0 0 0 0\n1 1m 1m 1m\n"                                           // 42-44
        "[Receiver Thresholds]\n[Model Spec]\n[End]\n";                              // 45-47
    CHECKPASS_BeginFile();
    std::string path = Write("m.ibs", Header("5.0", "m.ibs") + body);
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    EXPECT_EQ(Output(), "\nChecking m.ibs for IBIS 5.0 Compatibility...\n\n" +
                            Err(40, "[Composite Current] should be preceded by a [Rising Waveform] "
                                    "or [Falling Waveform] section") +
                            Err(45, "[Receiver Thresholds] should be specified immediately after all "
                                    "the subparameters of a model and before the other keywords of "
                                    "a model except [Model Spec]") +
                            Warn(45, "[Receiver Thresholds] should not be specified for model type Output") +
                            Err(46, "[Model Spec] should be specified immediately after all the "
                                    "subparameters of a model and before the other keywords of a model"));
    MDL *m = ParsedModels();
    ASSERT_NE(m, nullptr);
    for (CRV *c : {m->pulldown, m->pullup, m->gndClamp, m->powerClamp, m->ISSO_PD}) {
        ASSERT_NE(c, nullptr);
        ASSERT_NE(c->points, nullptr);
        EXPECT_NE(c->points->next, nullptr);  // both rows
    }
    EXPECT_EQ(m->ISSO_PU, nullptr);
    ASSERT_NE(m->ramp, nullptr);
    EXPECT_NE(m->ramp->dVdt_r, nullptr);
    EXPECT_NE(m->ramp->dVdt_f, nullptr);
    ASSERT_NE(m->risingWaveform, nullptr);
    ASSERT_NE(m->fallingWaveform, nullptr);
    EXPECT_NE(m->risingWaveform->composite, nullptr);
    ASSERT_NE(m->fallingWaveform->composite, nullptr);
    EXPECT_NE(m->fallingWaveform->composite->points->next, nullptr);
    EXPECT_EQ(m->fallingWaveform->composite->points->next->next, nullptr);  // not the orphan rows
    CHECKPASS_EndFile();
}

// Each keyword ends the table before it: its end checks run then.
TEST_F(ModelTest, EachKeywordClosesTheTableBeforeIt) {
    EXPECT_EQ(Run("5.0", "[Model] o\n" + kOutputHead +
                             "[Pulldown]\n0 0 0 0\n[Ramp]\nR_load = 50\n[Rising Waveform]\n0 0 0 0\n" +
                             InputModel("i") + "[End]\n"),
              Expected("5.0", Err("Require at least 2 Voltage Points for Pulldown Beginning at Line 9") +
                                  Err("dV/dt_r Not Defined For Ramp Beginning on Line 11") +
                                  Err("dV/dt_f Not Defined For Ramp Beginning on Line 11") +
                                  Err("R_fixture Not Defined For Rising Waveform Beginning on Line 13") +
                                  Err("V_fixture Not Defined For Rising Waveform Beginning on Line 13") +
                                  Err("Require at least 2 Data Points for Rising Waveform Beginning at Line 13") +
                                  Tail("i")));
}

// [Composite Current] goes with the waveform table just before it.
TEST_F(ModelTest, CompositeCurrentAfterAWaveform) {
    const std::string falling = "[Falling Waveform]\nR_fixture = 50\nV_fixture = 3.3\n0 1 1 1\n1n 0 0 0\n";
    const std::string composite = "[Composite Current]\n0 0 0 0\n1n 1m 1m 1m\n";
    CHECKPASS_BeginFile();
    std::string path = Write("m.ibs", Header("5.0", "m.ibs") + "[Model] o\n" + kOutputHead + kRamp +
                                          falling + falling + composite + "[End]\n");
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    EXPECT_EQ(Output(), "\nChecking m.ibs for IBIS 5.0 Compatibility...\n\n");
    MDL *m = ParsedModels();
    ASSERT_NE(m, nullptr);
    ASSERT_NE(m->fallingWaveform, nullptr);
    ASSERT_NE(m->fallingWaveform->next, nullptr);
    EXPECT_EQ(m->fallingWaveform->composite, nullptr);
    EXPECT_NE(m->fallingWaveform->next->composite, nullptr);  // the last table
    CHECKPASS_EndFile();
}

// The keywords that [Model Spec] and [Receiver Thresholds] must come before:
// the ISSO tables count for [Model Spec] only; [External Reference] and the
// blocks count for neither.
TEST_F(ModelTest, WhatTheOrderRulesCount) {
    const std::string body =
        "[Model] a\nModel_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\n"  // 4-8
        "[External Reference] 1 1 1\n[ISSO PD]\n0 0 0 0\n1 1m 1m 1m\n"            // 9-12
        "[Receiver Thresholds]\n[Model Spec]\n"                                     // 13-14
        "[Model] b\nModel_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\n"  // 15-19
        "[Algorithmic Model]\n[End Algorithmic Model]\n[Begin EMI Model]\n[End EMI Model]\n"
        "[External Model]\n[End External Model]\n[Model Spec]\n[Receiver Thresholds]\n"
        "[Voltage Range] 3.3 3.0 3.6\n[End]\n";
    std::string refs;
    for (const char *r : {"Pullup Reference", "Pulldown Reference", "POWER Clamp Reference",
                          "GND Clamp Reference"})
        refs += Err(std::string("Model 'a': ") + r + " Required when No Voltage Range is Specified");
    EXPECT_EQ(Run("5.0", body),
              Expected("5.0", Err(14, "[Model Spec] should be specified immediately after all the "
                                      "subparameters of a model and before the other keywords of a "
                                      "model") +
                                  refs +
                                  // the empty [External Model] block's own end checks
                                  Err(25, "No Typ Corner Defined for [External Model](required)") +
                                  Warn("External Model for <b> has suspiciously few PORTS (0)") +
                                  Err("[External Model] <b> corner <ALL> type <Input> does not "
                                      "contain reserved port <D_receive> REQUIRED") +
                                  Err("[External Model] <b> corner <ALL> type <Input> does not "
                                      "contain reserved port <A_signal> REQUIRED") +
                                  Tail("b")));
}

TEST_F(ModelTest, SeriesTables) {
    const std::string body =
        "[Model] ser\nModel_type Series\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"  // 4-7
        "[Series Current]\n0 0 0 0\n1 1m 1m 1m\n"                                      // 8-10
        "[Series MOSFET]\nVds = 1.0\n0 0 0 0\n1 1m 1m 1m\n"                            // 11-14
        "[Pullup]\n-1 1m 1m 1m\n1 -1m -1m -1m\n" + kRamp +                             // 15-20
        "[Model] io\nModel_type I/O\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.5\n"  // 21-26
        "[Voltage Range] 3.3 3.0 3.6\n" + kRamp +                                      // 27-30
        "[Series Current]\n0 0 0 0\n1 1m 1m 1m\n[Series MOSFET]\nVds = 1\n[End]\n";    // 31-36
    EXPECT_EQ(Run("5.0", body),
              Expected("5.0", Err("Model 'ser': Ramp Not Allowed for Series and Series_switch") +
                                  Err("Model 'ser': Pullup is not allowed when Model_type is Series") +
                                  Err(31, "Keyword is valid only for Series and Series_switch models") +
                                  Err(32, "Keyword is valid only for Series and Series_switch models") +
                                  Err(33, "Keyword is valid only for Series and Series_switch models") +
                                  Err(34, "Keyword is valid only for Series and Series_switch models") +
                                  Err(35, "Keyword is valid only for Series and Series_switch models") +
                                  Tail("io")));
}

}  // namespace
