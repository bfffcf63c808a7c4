// Sanity checks: each case is a small .ibs file and every message it gives
// (the body starts on line 4). The AC/DC checks are left out, so that the
// placeholder tables of the models do not draw their messages.
#include "ModelFixture.h"
#include "SectionFile.h"

#include "IbisParser/chk.h"
#include "IbisParser/ibis.h"
#include "IbisParser/stringlist.h"

namespace {

using modeltest::Err;
using modeltest::Unreferenced;
using modeltest::Warn;

const char kRamp[] = "[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n";
const char kPullup[] = "[Pullup]\n0 0 0 0\n3.3 -0.1 -0.1 -0.1\n";
const char kPulldown[] = "[Pulldown]\n0 0 0 0\n3.3 0.1 0.1 0.1\n";

std::string Component(const std::string &package, const std::string &pins) {
    return "[Component] c\n[Manufacturer] m\n[Package]\n" + package +
           "[Pin] signal_name model_name R_pin L_pin C_pin\n" + pins;
}
const char kPackage[] = "R_pkg 1m NA NA\nL_pkg 1n NA NA\nC_pkg 1p NA NA\n";

std::string Model(const std::string &name, const std::string &type, const std::string &rest) {
    return "[Model] " + name + "\nModel_type " + type + "\nC_comp 1p 1p 1p\n" + rest +
           "[Voltage Range] 3.3 3.0 3.6\n";
}
const char kReceiver[] = "Vinl = 0.8\nVinh = 2.0\n";
const char kOpenLoad[] = "Vmeas = 1.0\nVref = 3.3\nRref = 50\n";

std::string Waveform(const std::string &edge, const std::string &v0, const std::string &v1) {
    return "[" + edge + " Waveform]\nR_fixture = 50\nV_fixture = 0\n0 " + v0 + " " + v0 + " " +
           v0 + "\n1n " + v1 + " " + v1 + " " + v1 + "\n";
}
std::string Composite(std::initializer_list<const char *> times) {
    std::string out = "[Composite Current]\n";
    for (const char *t : times)
        out += std::string(t) + " 1m 1m 1m\n";
    return out;
}

const FileCase kCases[] = {
    // Each given corner outside its range, then max below min; absent and
    // NA corners are not looked at. Values are shown in Ohm, nH and pF.
    {"package ranges", "5.0",
     Component("R_pkg 0.2 0.1 60\nL_pkg 2u NA NA\nC_pkg 1p 0.3p 1.1n\n", "1 a GND\n") +
         "[Component] d\n[Manufacturer] m\n[Package]\n"
         "R_pkg 0.3 0.3 0.2\nL_pkg 1n -1n 1n\nC_pkg 1p 1p 2n\n[Pin] signal_name model_name\n"
         "1 a GND\n",
     // Components newest first.
     Warn("CMPT 'd': Rpkg Max value < Min value") +
         Warn("CMPT 'd': Lpkg MIN value -1nH not within expected range (0nH, 1000nH)") +
         Warn("CMPT 'd': Cpkg MAX value 2000pF not within expected range (0pF, 1000pF)") +
         Warn("CMPT 'c': Rpkg MAX value 60 Ohms not within expected range (0 Ohms, 50 Ohms)") +
         Warn("CMPT 'c': Lpkg TYP value 2000nH not within expected range (0nH, 1000nH)") +
         Warn("CMPT 'c': Cpkg MAX value 1100pF not within expected range (0pF, 1000pF)")},
    {"package values on the bounds pass", "5.0",
     Component("R_pkg 50 0 50\nL_pkg 1n 0 1n\nC_pkg 1p 0 1p\n", "1 a GND\n"), ""},
    // Only the row's own values, and only above the ceiling.
    {"pin parasitics", "5.0",
     Component(kPackage, "1 a GND 51 2u 2p\n2 b GND -1 -1n 1.5n\n3 c GND NA NA NA\n"
                         "4 d GND 50 1n 1n\n5 e GND\n"),
     Warn("CMPT 'c', Pin '1': Pin Resistance 51 Ohms greater than 50 Ohms") +
         Warn("CMPT 'c', Pin '1': Pin Inductance 2000nH greater than 1000nH") +
         Warn("CMPT 'c', Pin '2': Pin Capacitance 1500pF greater than 1000pF")},
    // Two equal names give one error, three give three; names are compared
    // with their case.
    {"duplicate node names", "5.0",
     Component(kPackage, "1 a GND\n") +
         "[Node Declarations]\nA A\nb B\nC\nC C\n[End Node Declarations]\n",
     Err("Component <c>: Duplicate Node Name <C>") +
         Err("Component <c>: Duplicate Node Name <C>") +
         Err("Component <c>: Duplicate Node Name <C>") +
         Err("Component <c>: Duplicate Node Name <A>")},
    // Declared names are kept newest first, and each one is held against
    // those after it: the later-declared name is reported first.
    {"duplicate node names in declaration order", "5.0",
     Component(kPackage, "1 a GND\n") + "[Node Declarations]\nx y\nx y\n[End Node Declarations]\n",
     Err("Component <c>: Duplicate Node Name <y>") + Err("Component <c>: Duplicate Node Name <x>")},
    // Every pin against every node of its name, pins in file order.
    {"node names equal to pin names", "5.0",
     Component(kPackage, "1 a GND\n2 b GND\nA2 c GND\n") +
         "[Node Declarations]\nA2 2 n a\n2\n[End Node Declarations]\n",
     Err("Component <c>: Duplicate Node Name <2>") +
         Err("Component <c>: Illegal Node: <2> same as pin <2>") +
         Err("Component <c>: Illegal Node: <2> same as pin <2>") +
         Err("Component <c>: Illegal Node: <A2> same as pin <A2>")},
    {"component capacitances", "5.0",
     "[Model] in\nModel_type Input\nC_comp 1p -1p 2n\nC_comp_pullup 1p 1p 3n\n"
     "C_comp_pulldown -2p -3p 1p\nC_comp_power_clamp 1p 1p 1.1n\nC_comp_gnd_clamp 1.2n 1p 1.3n\n" +
         std::string(kReceiver) + "[Voltage Range] 3.3 3.0 3.6\n",
     Warn("Model 'in': C_comp MIN value -1pF out of expected range (0pF, 1000pF)  ") +
         Warn("Model 'in': C_comp MAX value 2000pF out of expected range (0pF, 1000pF)  ") +
         Warn("Model 'in': C_comp_pullup MAX value 3000pF out of expected range (0pF, 1000pF)  ") +
         Warn("Model 'in': C_comp_pulldown TYP value -2pF out of expected range (0pF, 1000pF)  ") +
         Warn("Model 'in': C_comp_pulldown MIN value -3pF out of expected range (0pF, 1000pF)  ") +
         Warn("Model 'in': C_comp_power_clamp MAX value 1100pF out of expected range (0pF, "
              "1000pF)  ") +
         Warn("Model 'in': C_comp_gnd_clamp TYP value 1200pF out of expected range (0pF, "
              "1000pF)  ") +
         Warn("Model 'in': C_comp_gnd_clamp MAX value 1300pF out of expected range (0pF, "
              "1000pF)  ") +
         Unreferenced("in")},
    // A ramp time above a millisecond, shown in ns.
    {"model and submodel ramp times", "5.0",
     Model("io", "I/O", std::string(kReceiver) + "Vmeas = 1.0\n") + kPullup + kPulldown +
         "[Ramp]\ndV/dt_r 1.0/2m 1/1n 1/1m\ndV/dt_f 1/1n 1/1n 1/5m\n[Add Submodel]\ns All\n"
         "[Submodel] s\nSubmodel_type Bus_hold\n[Submodel Spec]\nV_trigger_r 1 1 1\n"
         "V_trigger_f 2 2 2\n[Pullup]\n-1 1m 1m 1m\n0 0 0 0\n1 -1m -1m -1m\n"
         "[Ramp]\ndV/dt_r 1/1n 1/2m 1/1n\ndV/dt_f 1/1n 1/1n 1/3m\n",
     Warn("Model 'io': TYP Rising Ramptime 2.000e+06nsec unusually large ( > 1.000e+06nsec )") +
         Warn("Model 'io': MAX Falling Ramptime 5.000e+06nsec unusually large ( > "
              "1.000e+06nsec )") +
         Warn("Sub Model 's': MIN Rising Ramptime 2.000e+06nsec unusually large ( > "
              "1.000e+06nsec )") +
         Warn("Sub Model 's': MAX Falling Ramptime 3.000e+06nsec unusually large ( > "
              "1.000e+06nsec )") +
         Unreferenced("io")},
    // Drivers without the tables of their type; an [External Model]
    // describes its own drive, and a receiver needs none. Models newest
    // first.
    {"drive tables by type", "5.0",
     Model("out", "Output", "Vmeas = 1.0\n") + kRamp +
         Model("od", "Open_drain", kOpenLoad) + kPullup + kRamp +
         Model("os", "I/O_open_source", std::string(kReceiver) + kOpenLoad) + kPulldown + kRamp +
         Model("ecl", "3-state_ECL", kOpenLoad) + kPullup + kRamp +
         Model("ext", "I/O", std::string(kReceiver) + "Vmeas = 1.0\n") + kRamp +
         "[External Model]\nLanguage SPICE\nCorner Typ t.sp t\n"
         "Ports A_signal my_drive my_enable my_receive\n"
         "D_to_A D_drive my_drive A_gnd 0 1 1n 1n\nD_to_A D_enable my_enable A_gnd 0 1 1n 1n Typ\n"
         "A_to_D D_receive my_receive A_gnd 0.8 2.0\n[End External Model]\n" +
         Model("in", "Input", kReceiver),
     Warn("[Model] ecl has no description of the buffer's low state DC\n"
          "         drive characteristics (no [Pulldown] table).  This warning\n"
          "         can be silenced by using an open source Model_type or by\n"
          "         adding a [Pulldown] table.") +
         Warn("[Model] os has no description of the buffer's high state\n"
              "         DC drive characteristics (no [Pullup] table).  This warning\n"
              "         can be silenced by changing the Model_type or by adding a\n"
              "         [Pullup] table.") +
         Warn("[Model] od has no description of the buffer's low state DC\n"
              "         drive characteristics (no [Pulldown] table).  This warning\n"
              "         can be silenced by changing the Model_type or by adding a\n"
              "         [Pulldown] table.") +
         NoDriveTables("out") + Unreferenced("in")},
    // Waveforms are numbered among all of their edge, with or without a
    // composite current.
    {"composite current time points", "5.0",
     Model("io", "I/O", std::string(kReceiver) + "Vmeas = 1.0\n") + kPullup + kPulldown + kRamp +
         Waveform("Rising", "0", "3") + Composite({"0", "1n"}) + Waveform("Rising", "0", "3") +
         Waveform("Rising", "0", "3") + Composite({"0", "1.1n"}) +
         Waveform("Falling", "3", "0") + Composite({"0", "1n", "2n"}) +
         Waveform("Falling", "3", "0") + Composite({"0", "1.0000001n"}),
     Err("Model io: Rising Waveform [3] and its Composite Current don't have identical time "
         "points") +
         Err("Model io: Falling Waveform [1] and its Composite Current don't have identical time "
             "points") +
         Unreferenced("io")},
};

class ChkFileTest : public FileCaseTest {
protected:
    void SetUp() override {
        FileCaseTest::SetUp();
        IBIS_checks.acdcCheckModels = nullptr;
        IBIS_checks.acdcCheckAddSubmodels = nullptr;
    }
};

TEST_P(ChkFileTest, Messages) { ExpectMessages(); }

INSTANTIATE_TEST_SUITE_P(Files, ChkFileTest, ::testing::ValuesIn(kCases), CaseName<FileCase>);

// 50,000 pins and as many node names: the duplicate and pin-name checks
// count names through an index, so the file is checked at the pace of the
// other sections, and gives the same messages as a walk over every pair.
TEST_F(SectionFileTest, NodeChecksOnManyPinsAndNodes) {
    const int kCount = 50000;
    std::string body = Component(kPackage, "");
    for (int i = 1; i <= kCount; ++i)
        body += std::to_string(i) + " s GND\n";
    body += "[Node Declarations]\n";
    for (int i = 0; i < kCount; ++i)
        body += "n" + std::to_string(i) + (i % 10 == 9 ? "\n" : " ");
    body += "n5 7 123 7\n[End Node Declarations]\n";
    EXPECT_EQ(Run("5.0", body),
              Err("Component <c>: Duplicate Node Name <7>") +
                  Err("Component <c>: Duplicate Node Name <n5>") +
                  Err("Component <c>: Illegal Node: <7> same as pin <7>") +
                  Err("Component <c>: Illegal Node: <7> same as pin <7>") +
                  Err("Component <c>: Illegal Node: <123> same as pin <123>"));
}

// The list forms return how many records drew a message; switched off they
// check nothing. The single-name form reports each node of the name.
TEST_F(SectionFileTest, CountsSwitchAndSingleNameForm) {
    const std::string body =
        Component("R_pkg 60 NA NA\nL_pkg 1n NA NA\nC_pkg 1p NA NA\n", "1 a GND\n") +
        "[Component] d\n[Manufacturer] m\n[Package]\n" + kPackage +
        "[Pin] signal_name model_name\n1 a GND\n" + Model("a", "Input", kReceiver) +
        Model("b", "Input", kReceiver) + Model("od", "Open_drain", kOpenLoad) + kRamp +
        "[Submodel] s\nSubmodel_type Dynamic_clamp\n[GND Clamp]\n-1 -1m -1m -1m\n0 0 0 0\n"
        "[Ramp]\ndV/dt_r 1/1n 1/1n 1/2m\ndV/dt_f 1/1n 1/1n 1/1n\n";
    const std::string path = Write("t.ibs", Header("5.0", "t.ibs") + body + "[End]\n");
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    IBIS *root = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    Output();

    EXPECT_EQ(CHK_CheckComponents(root->components), 1);
    EXPECT_EQ(CHK_CheckModels(root->models), 1);
    EXPECT_EQ(CHK_CheckSubmodels(root->submodels), 1);
    EXPECT_EQ(Output(),
              Warn("CMPT 'c': Rpkg TYP value 60 Ohms not within expected range (0 Ohms, 50 Ohms)") +
                  Warn("[Model] od has no description of the buffer's low state DC\n"
                       "         drive characteristics (no [Pulldown] table).  This warning\n"
                       "         can be silenced by changing the Model_type or by adding a\n"
                       "         [Pulldown] table.") +
                  Warn("Sub Model 's': MAX Rising Ramptime 2.000e+06nsec unusually large ( > "
                       "1.000e+06nsec )"));

    CHK_SetEnabled(0);
    const int off = CHK_CheckComponents(root->components) + CHK_CheckModels(root->models) +
                    CHK_CheckSubmodels(root->submodels);
    CHK_SetEnabled(7);
    EXPECT_EQ(off, 0);
    EXPECT_EQ(Output(), "");

    STRING_LIST *nodes = STRING_PushList(nullptr, "p", "q", "p", nullptr);
    EXPECT_EQ(CHK_CheckNodeName(nodes, "p", "c"), 2);
    EXPECT_EQ(CHK_CheckNodeName(nodes, "r", "c"), 0);
    EXPECT_EQ(Output(), Err("Component <c>: Duplicate Node Name <p>") +
                            Err("Component <c>: Duplicate Node Name <p>"));
    STRING_Free(nodes);
    CHECKPASS_EndFile();
}

}  // namespace
