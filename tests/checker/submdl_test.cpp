// [Submodel] and [Submodel Spec]: each case is a small .ibs file and every
// message it gives (the body starts on line 4).
#include "SectionFile.h"

#include "IbisParser/crv.h"
#include "IbisParser/rngp.h"
#include "IbisParser/smspec.h"
#include "IbisParser/submdl.h"
#include "IbisParser/wvfrm.h"

namespace {

// Tables that pass their own checks.
const char kPullup[] = "[Pullup]\n-1 1m 1m 1m\n0 0 0 0\n1 -1m -1m -1m\n";
const char kPulldown[] = "[Pulldown]\n-1 -1m -1m -1m\n0 0 0 0\n1 1m 1m 1m\n";
const char kGndClamp[] = "[GND Clamp]\n-1 -1m -1m -1m\n0 0 0 0\n";
const char kRamp[] = "[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n";
const char kGndPulse[] = "[GND Pulse Table]\n0 0 0 0\n1n 1 1 1\n2n 0 0 0\n";
const char kPowerPulse[] = "[POWER Pulse Table]\n0 0 0 0\n1n -1 -1 -1\n2n 0 0 0\n";
const char kTriggers[] = "[Submodel Spec]\nV_trigger_r 1 1 1\nV_trigger_f 2 2 2\n";

// Warning 220 for each submodel no [Add Submodel] names, newest first.
std::string Unref(std::initializer_list<const char *> names) {
    std::string out;
    for (const char *n : names)
        out += "WARNING - Submodel " + std::string(n) +
               " is not referenced by any model [Add Submodel] keyword\n";
    return out;
}

// The text once per corner, "@" standing for the corner's name.
std::string Corners(const std::string &text) {
    std::string out;
    for (const char *corner : {"Typical", "Minimum", "Maximum"}) {
        std::string one = text;
        for (size_t at; (at = one.find('@')) != std::string::npos;)
            one.replace(at, 1, corner);
        out += one;
    }
    return out;
}

// Warning 2413 for the newest model nothing references.
std::string UnusedModel(const std::string &name) {
    return "WARNING - Model " + name + " not referenced in any [Pin], [Model Selector], [Driver Schedule] or "
           "[Series Pin Mapping] sections.\n No more warnings will be generated for un-referenced models\n";
}

std::string Sub(const std::string &type, const std::string &rest) {
    return "[Submodel] s\nSubmodel_type " + type + "\n" + rest;
}

const FileCase kCases[] = {
    {"bus hold complete", "4.2", Sub("Bus_hold", std::string(kTriggers) + kPullup + kRamp), Unref({"s"})},
    {"bus hold without spec, ramp or tables", "4.2", Sub("Bus_hold", ""),
     "ERROR - Submodel s: [Submodel Spec] is required when Submodel_type is Bus_hold\n"
     "ERROR - Submodel s: [Ramp] is required when Submodel_type is Bus_hold\n"
     "ERROR - Submodel s: Either [Pullup] or [Pulldown] is required when Submodel_type is Bus_hold\n" +
         Unref({"s"})},
    {"bus hold spec without triggers, off delay with both tables", "4.2",
     Sub("Bus_hold", "[Submodel Spec]\nOff_delay 1n 1n 1n\n" + std::string(kPullup) + kPulldown + kRamp),
     "ERROR - Submodel s: [Submodel Spec] V_trigger_r is required when Submodel_type is Bus_hold\n"
     "ERROR - Submodel s: [Submodel Spec] V_trigger_f is required when Submodel_type is Bus_hold\n"
     "ERROR - SubModel s: Both Pullup and Pulldown cannot be specified when Off_delay is specified.\n" +
         Unref({"s"})},
    // Off_delay with one of the two tables is what a bus hold is for.
    {"bus hold off delay with pullup only", "4.2",
     Sub("Bus_hold", std::string(kTriggers) + "Off_delay 1n 1n 1n\n" + kPullup + kRamp), Unref({"s"})},
    {"bus hold off delay with pulldown only", "4.2",
     Sub("Bus_hold", std::string(kTriggers) + "Off_delay 1n 1n 1n\n" + kPulldown + kRamp), Unref({"s"})},
    {"dynamic clamp with a GND clamp only", "4.2", Sub("Dynamic_clamp", kGndClamp), Unref({"s"})},
    {"dynamic clamp pulse tables want their triggers", "4.2",
     Sub("Dynamic_clamp", "[Submodel Spec]\nOff_delay 1n 1n 1n\n" + std::string(kGndPulse) + kPowerPulse),
     "ERROR - Submodel s: [Submodel Spec] V_trigger_f is required when GND_Pulse is specified\n"
     "ERROR - Submodel s: [Submodel Spec] V_trigger_r is required when POWER_Pulse is specified\n"
     "ERROR - Submodel s: [Submodel Spec] Off_delay  cannot be specified with Dynamic_clamp submodels\n" +
         Unref({"s"})},
    {"dynamic clamp with nothing", "4.2", Sub("Dynamic_clamp", ""),
     "ERROR - Submodel s: GND Pulse Table or POWER Pulse Table or GND Clamp or POWER Clamp is required when Submodel_type is Dynamic_clamp\n" +
         Unref({"s"})},
    {"fall back without spec and ramp, with both tables", "4.2",
     Sub("Fall_back", std::string(kPullup) + kPulldown),
     "ERROR - Submodel s: [Submodel Spec] is required when Submodel_type is Fall_back\n"
     "ERROR - Submodel s: Pullup and Pulldown  cannot both be specified with Fall_back submodels\n"
     "ERROR - Submodel s: [Ramp] is required when Submodel_type is Fall_back\n" + Unref({"s"})},
    {"fall back spec with off delay only, no tables", "5.0",
     Sub("Fall_back", std::string("[Submodel Spec]\nOff_delay 1n 1n 1n\n") + kRamp),
     "ERROR - Submodel s: [Submodel Spec] V_trigger_r is required when Submodel_type is Fall_back\n"
     "ERROR - Submodel s: [Submodel Spec] V_trigger_f is required when Submodel_type is Fall_back\n"
     "ERROR - Submodel s: Either [Pullup] or [Pulldown] is required when Submodel_type is Fall_back\n"
     "ERROR - Submodel s: [Submodel Spec] Off_delay  cannot be specified with Fall_back submodels\n" +
         Unref({"s"})},
    {"fall back is no type before 4.0", "3.2", Sub("Fall_back", ""),
     "ERROR (line    5) - Invalid Submodel_type (\"Fall_back\")\n" + Unref({"s"})},
    // The suggestion leaves the type invalid, so no type rule runs.
    {"type in the wrong case", "4.2", Sub("bus_hold", ""),
     "ERROR (line    5) - Invalid Submodel_type (\"bus_hold\") (try \"Bus_hold\")\n" + Unref({"s"})},
    {"type line forms", "4.2",
     "[Submodel] a\nSubmodel_type\n[Submodel] b\nSubmodel_type = Bus_hold\n"
     "[Submodel] c\nSubmodel_type Bus_hold x\n[Submodel] d\nsubmodel_type Bus_hold\n"
     "Submodel_type Dynamic_clamp\nSubmodel_type Bus_hold\n" + std::string(kGndClamp),
     "ERROR (line    5) - 'Submodel_type' Subparameter Missing Setting\n"
     "ERROR (line    7) - Invalid Submodel_type Line\n"
     "ERROR (line    9) -\n    Incorrect Number of Line Items (3) For Submodel_type: Expecting 2\n"
     "ERROR (line   11) - Unknown Line Among Sub Model Data\n"
     "ERROR (line   13) - Submodel_type Already Defined For Submodel 'd'\n" + Unref({"d", "c", "b", "a"})},
    {"type not given", "4.2", "[Submodel] s\n" + std::string(kPullup),
     "ERROR - Submodel 's': Submodel_type Not Defined\n" + Unref({"s"})},
    {"names", "4.2",
     "[Submodel]\nSubmodel_type Bus_hold\n[Submodel] a b\nSubmodel_type Dynamic_clamp\n" +
         std::string(kGndClamp) + "[Submodel] gnd\n[Submodel] a\n",
     "ERROR (line    4) - 'Sub Model' Keyword Missing name\n"
     "ERROR - Submodel : [Submodel Spec] is required when Submodel_type is Bus_hold\n"
     "ERROR - Submodel : [Ramp] is required when Submodel_type is Bus_hold\n"
     "ERROR - Submodel : Either [Pullup] or [Pulldown] is required when Submodel_type is Bus_hold\n"
     "ERROR (line    6) -\n    Incorrect Number of Line Items (2) For Keyword Sub Model: Expecting 1\n"
     "ERROR (line   11) - Invalid Sub Model Name (\"gnd\"); Reserved Word.\n"
     "ERROR - Submodel 'gnd': Submodel_type Not Defined\n"
     "ERROR (line   12) - SubModel Name Previously Defined (\"a\")\n"
     "ERROR - Submodel 'a': Submodel_type Not Defined\n" + Unref({"a", "gnd", "a", ""})},
    // A cut name is not checked further; a name equal to the stored 20
    // characters meets the earlier one.
    {"long names", "4.2",
     "[Submodel] abcdefghijklmnopqrstu\nSubmodel_type Dynamic_clamp\n" + std::string(kGndClamp) +
         "[Submodel] abcdefghijklmnopqrstv\nSubmodel_type Dynamic_clamp\n" + kGndClamp +
         "[Submodel] abcdefghijklmnopqrst\nSubmodel_type Dynamic_clamp\n" + kGndClamp,
     "ERROR (line    4) - Sub Model Name Over 20 Characters Long\n"
     "ERROR (line    9) - Sub Model Name Over 20 Characters Long\n"
     "ERROR (line   14) - SubModel Name Previously Defined (\"abcdefghijklmnopqrst\")\n" +
         Unref({"abcdefghijklmnopqrst", "abcdefghijklmnopqrst", "abcdefghijklmnopqrst"})},
    // Each later [Submodel Spec] also comes after a table.
    {"spec after tables, repeated, empty", "4.2",
     Sub("Dynamic_clamp", std::string(kGndClamp) + "[Submodel Spec]\nV_trigger_f 1 1 1\n"
                                                   "[Submodel Spec]\n"),
     "ERROR (line    9) -\n    [Submodel Spec] should be specified before other keywords for a model\n"
     "ERROR (line   11) -\n    [Submodel Spec] should be specified before other keywords for a model\n"
     "ERROR (line   11) - Sub Model Specification: Already Defined for this sub model\n"
     "ERROR - Submodel s: Empty Submodel Spec\n" + Unref({"s"})},
    {"spec lines", "4.2",
     Sub("Dynamic_clamp", std::string(kGndClamp) +
                              "[Pullup]\n-1 1m 1m 1m\n1 -1m -1m -1m\n"
                              "[Submodel Spec] x\nv_trigger_r 1 1 1\nV_trigger_r NA 1 1\n"
                              "V_trigger_r 2 2 2\nV_trigger_f 1\nV_trigger_f 1 1 1\n"),
     "ERROR (line   12) -\n    [Submodel Spec] should be specified before other keywords for a model\n"
     "ERROR (line   12) -\n    Incorrect Number of Line Items (2) For Submodel Spec: Expecting 1\n"
     "ERROR (line   13) - Unknown Line Among Sub Model Spec Data\n"
     "ERROR (line   14) - 'NA' not allowed for Typical value\n"
     "ERROR (line   15) - V_trigger_r Already Defined For Submodel 's'\n"
     "ERROR (line   16) - No minimum Value Was Provided for V_trigger_f\n"
     "ERROR (line   16) - No maximum Value Was Provided for V_trigger_f\n"
     "ERROR (line   17) - V_trigger_f Already Defined For Submodel 's'\n" + Unref({"s"})},
    // Each pulse table is checked when it ends; a second one replaces the
    // first.
    {"pulse tables again", "4.2",
     Sub("Dynamic_clamp", "[Submodel Spec]\nV_trigger_r 1 1 1\nV_trigger_f 1 1 1\n"
                          "[GND Pulse Table]\n0 0 0 0\n[GND Pulse Table]\n0 0 0 0\n1n 1 1 1\n"
                          "[POWER Pulse Table]\n0 0 0 0\n1n 0 0 0\n[POWER Pulse Table]\n0 0 0 0\n"
                          "1n 1 0 0\n"),
     "ERROR - Require at least 2 Data Points for GND Pulse Table Waveform Beginning at Line 9\n"
     "ERROR (line   11) - [GND Pulse Table] Already Defined\n" +
         Corners("ERROR - First @ Value should be the same as the Last for GND Pulse Table Waveform "
                 "Beginning at Line 11\n") +
         "ERROR (line   17) - [POWER Pulse Table] Already Defined\n"
     "ERROR - First Typical Value should be the same as the Last for POWER Pulse Table Waveform Beginning at Line 17\n"
     "WARNING - Found some POWER Pulse Table (Typical) offsets greater than 0 for Table Beginning at Line 17\n" +
         Unref({"s"})},
    // The I-V tables are checked as those of an Output model.
    {"tables of an output model", "4.2",
     Sub("Dynamic_clamp", "[Pulldown]\n-1 1m 1m 1m\n1 -1m -1m -1m\n[POWER Clamp]\n0 1 1 1\n"
                          "1 2 2 2\n[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\n"),
     "WARNING - Submodel s: Pulldown has Decreasing Current\n"
     "WARNING - Submodel s: POWER Clamp has Increasing Current\n" +
         Corners("WARNING - Submodel s: POWER Clamp : @ value never becomes zero\n") +
         "ERROR - dV/dt_f Not Defined For Ramp Beginning on Line 12\n" + Unref({"s"})},
    // Triggers against the ends of each waveform, corner by corner: min and
    // max by numbers, "NA" on one side taking the other side's typ, "NA" on
    // both sides not compared.
    {"triggers against the waveforms", "4.2",
     Sub("Dynamic_clamp", "[Submodel Spec]\nV_trigger_r 0.1 NA 0.5\nV_trigger_f 0.9 0.8 NA\n" +
                              std::string(kGndClamp) +
                              "[Rising Waveform]\nR_fixture = 50\nV_fixture = 0\n"
                              "0 0.2 0.2 NA\n1n 0.05 0.4 NA\n"
                              "[Falling Waveform]\nR_fixture = 50\nV_fixture = 0\n"
                              "0 0.7 0.7 NA\n1n 1.0 0.85 NA\n"),
     "WARNING -\n    Submodel s: V_trigger_r (Typ) is less than the start of Rising Waveform\n"
     "WARNING -\n    Submodel s: V_trigger_r (Min) is less than the start of Rising Waveform\n"
     "WARNING -\n    Submodel s: V_trigger_r (Typ) is greater than the end of Rising Waveform\n"
     "WARNING -\n    Submodel s: V_trigger_r (Max) is greater than the end of Rising Waveform\n"
     "WARNING -\n    Submodel s: V_trigger_f (Typ) is greater than the start of Falling Waveform\n"
     "WARNING -\n    Submodel s: V_trigger_f (Min) is greater than the start of Falling Waveform\n"
     "WARNING -\n    Submodel s: V_trigger_f (Typ) is less than the end of Falling Waveform\n"
     "WARNING -\n    Submodel s: V_trigger_f (Min) is less than the end of Falling Waveform\n" +
         Unref({"s"})},
    // A trigger corner of "NA" stands for the trigger's typ 0.1 V, not for 0:
    // the first point's min and max (0.05) lie below it, the last point's min
    // does not reach it.
    {"trigger NA corners take the typ", "4.2",
     Sub("Dynamic_clamp", "[Submodel Spec]\nV_trigger_r 0.1 NA NA\n" + std::string(kGndClamp) +
                              "[Rising Waveform]\nR_fixture = 50\nV_fixture = 0\n"
                              "0 0.2 0.05 0.05\n1n 1 0.05 1\n"),
     "WARNING -\n    Submodel s: V_trigger_r (Typ) is less than the start of Rising Waveform\n"
     "WARNING -\n    Submodel s: V_trigger_r (Min) is greater than the end of Rising Waveform\n" +
         Unref({"s"})},
    // A corner given on neither side is not compared; every submodel type
    // is checked, an invalid one too.
    {"trigger corners absent", "4.2",
     Sub("dynamic_clamp", "[Submodel Spec]\nV_trigger_r 0.1\n"
                          "[Rising Waveform]\nR_fixture = 50\nV_fixture = 0\n"
                          "0 0.2 0.9 0.9\n1n 1 1 1\n"),
     "ERROR (line    5) -\n    Invalid Submodel_type (\"dynamic_clamp\") (try \"Dynamic_clamp\")\n"
     "ERROR (line    7) - No minimum Value Was Provided for V_trigger_r\n"
     "ERROR (line    7) - No maximum Value Was Provided for V_trigger_r\n"
     "WARNING -\n    Submodel s: V_trigger_r (Typ) is less than the start of Rising Waveform\n" +
         Unref({"s"})},
    // Models name their submodels in [Add Submodel]; both ends are checked.
    {"add submodel references", "4.2",
     "[Model] in\nModel_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\n"
     "[Voltage Range] 3.3 3.0 3.6\n[Add Submodel]\ns Non-Driving\nmissing All\n" +
         Sub("Dynamic_clamp", kGndClamp) + "[Submodel] unused\nSubmodel_type Dynamic_clamp\n" +
         kGndClamp,
     Unref({"unused"}) +
         "ERROR - Could not find definition for Submodel missing of Model in\n" + UnusedModel("in")},
    // A Dynamic_clamp submodel's clamps join the model's in the clamp check.
    {"dynamic clamp joins the model's clamps", "4.2",
     "[Model] io\nModel_type I/O\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.5\n"
     "[Voltage Range] 3.3 3.0 3.6\n[GND Clamp]\n-1 -10m -10m -10m\n0 0 0 0\n1 0 0 0\n"
     "[POWER Clamp]\n-1 10m 10m 10m\n0 0 0 0\n1 0 0 0\n" + std::string(kRamp) +
         "[Add Submodel]\ns All\n" +
         Sub("Dynamic_clamp", "[GND Clamp]\n-1 -1m -1m -1m\n-0.5 5 5 5\n0 0 0 0\n"),
     Corners("NOTE (line   29) - GND Clamp @ data is non-monotonic\n") + NoDriveTables("io") +
         Corners("WARNING - Combined Clamp in Non Driving Mode for Model io @ data is non-monotonic\n"
                 "WARNING -\n    Combined Clamp in Driving Mode for Model io @ data is non-monotonic\n") +
         UnusedModel("io")},
    // The clamps add up in entry order, the model's first: at 0, 1 and 2 V
    // (0.2 + 0.3) + 0.6, (0.3 + 0.5) + 0.3 and (0 + 0.4) + 0.1, that is
    // 1.1, 1.1 and 0.5, which never rise (0.2 + (0.3 + 0.6) would be just
    // below 1.1).
    {"clamps add up in entry order", "4.2",
     "[Model] RX\nModel_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 1.2\n"
     "[Voltage Range] 2.0 2.0 2.0\n[GND Clamp]\n0 0.2 0.2 0.2\n1 0.3 0.3 0.3\n2 0.0 0.0 0.0\n"
     "[Add Submodel]\npc Non-Driving\ngc Non-Driving\n"
     "[Submodel] pc\nSubmodel_type Dynamic_clamp\n"
     "[POWER Clamp]\n0 0.4 0.4 0.4\n1 0.5 0.5 0.5\n2 0.3 0.3 0.3\n"
     "[Submodel] gc\nSubmodel_type Dynamic_clamp\n"
     "[GND Clamp]\n0 0.6 0.6 0.6\n1 0.3 0.3 0.3\n2 0.1 0.1 0.1\n",
     Corners("NOTE (line   13) - GND Clamp @ data is non-monotonic\n") +
         "WARNING - Model RX: GND Clamp has Decreasing Current\n" +
         Corners("NOTE (line   22) - POWER Clamp @ data is non-monotonic\n") +
         Corners("WARNING - Submodel pc: POWER Clamp : @ value never becomes zero\n") +
         "WARNING - Submodel gc: GND Clamp has Decreasing Current\n" +
         Corners("WARNING - Submodel gc: GND Clamp : @ value never becomes zero\n") + UnusedModel("RX")},
    // After a submodel ends, its keywords are orphans until the next [Model];
    // the keyword after them has no submodel to end.
    {"orphan submodel keywords", "4.2",
     Sub("Dynamic_clamp", kGndClamp) + "[Test Load] t\nTest_load_type Single_ended\n" +
         kPulldown + "[Ramp]\n",
     "ERROR (line   11) - Orphan Sub Model keyword.\n"
     "ERROR (line   12) - Orphan data line keyword.\n"
     "ERROR (line   13) - Orphan data line keyword.\n"
     "ERROR (line   14) - Orphan data line keyword.\n"
     "ERROR (line   15) - Orphan Sub Model keyword.\n"
     "ERROR - Test Load 't' references undefined models\n" + Unref({"s"})},
};

class SubmodelFileTest : public FileCaseTest {};

TEST_P(SubmodelFileTest, Messages) { ExpectMessages(); }

INSTANTIATE_TEST_SUITE_P(Files, SubmodelFileTest, ::testing::ValuesIn(kCases), CaseName<FileCase>);

class SubmodelRecordTest : public SectionFileTest {
protected:
    // Reads a 4.2 file of the body in a pass left open; its root.
    IBIS *Read(const std::string &body) {
        IBIS *root = nullptr;
        EXPECT_EQ(CHECKPASS_BeginFile(), 1);
        const std::string path = Write("t.ibs", Header("4.2", "t.ibs") + body);
        EXPECT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
        EXPECT_TRUE(IBIS_GetCurrent(&root));
        return root;
    }
};

int Rows(const WVFRM *w) {
    int n = 0;
    for (const RNGP *r = w != nullptr ? w->points : nullptr; r != nullptr; r = r->next)
        ++n;
    return n;
}

// What the section stores: every table in its own slot, a repeated pulse
// table replaced, lists newest first, names found through the index.
TEST_F(SubmodelRecordTest, TablesLandInTheirSlots) {
    IBIS *root = Read(Sub("Dynamic_clamp", std::string(kTriggers) + kPullup + kPulldown + kGndClamp) +
                      "[POWER Clamp]\n0 0 0 0\n1 -1m -1m -1m\n" + kRamp + kGndPulse +
                      "[GND Pulse Table]\n0 0 0 0\n1n 1 1 1\n1.5n 1 1 1\n2n 0 0 0\n" + kPowerPulse +
                      "[Rising Waveform]\n0 0 0 0\n1n 1 1 1\n[Rising Waveform]\n0 0 0 0\n1n 1 1 1\n2n 1 1 1\n"
                      "[Falling Waveform]\n0 1 1 1\n1n 0 0 0\n[Submodel] second\n[End]\n");
    ASSERT_NE(root, nullptr);
    SUBMDL *second = root->submodels;
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->name, "second");
    SUBMDL *s = second->next;
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->next, nullptr);
    EXPECT_EQ(SUBMDL_FindByName("s", root->submodels), s);
    EXPECT_EQ(SUBMDL_FindByName("second", root->submodels), second);
    EXPECT_EQ(SUBMDL_FindByName("S", root->submodels), nullptr);
    EXPECT_EQ(s->Submodel_type, SUBMDL_TYPE_DYNAMIC_CLAMP);
    EXPECT_NE(s->pullup, nullptr);
    EXPECT_NE(s->pulldown, nullptr);
    EXPECT_NE(s->gndClamp, nullptr);
    EXPECT_NE(s->powerClamp, nullptr);
    EXPECT_NE(s->ramp, nullptr);
    EXPECT_EQ(Rows(s->gndPulseTable), 4);
    EXPECT_EQ(Rows(s->powerPulseTable), 3);
    ASSERT_NE(s->risingWaveform, nullptr);
    EXPECT_EQ(Rows(s->risingWaveform), 2);
    EXPECT_EQ(Rows(s->risingWaveform->next), 3);
    EXPECT_EQ(Rows(s->fallingWaveform), 2);
    ASSERT_NE(s->submodelSpec, nullptr);
    EXPECT_NE(s->submodelSpec->V_trigger_r, nullptr);
    EXPECT_EQ(s->submodelSpec->Off_delay, nullptr);
    CHECKPASS_EndFile();
}

// Duplicate names: the newest submodel of a name is the one found, with or
// without the index.
TEST_F(SubmodelRecordTest, FindByNameTakesTheNewest) {
    std::string body;
    for (int i = 0; i < 50; ++i)
        body += "[Submodel] n" + std::to_string(i % 20) + "\nSubmodel_type Dynamic_clamp\n" + kGndClamp;
    IBIS *root = Read(body + "[End]\n");
    ASSERT_NE(root, nullptr);
    // The index answers as a walk of the list does; a list that is not the
    // root's (no index on its head) is walked.
    auto walk = [](SUBMDL *list, const std::string &name) {
        for (SUBMDL *s = list; s != nullptr; s = s->next)
            if (name == s->name)
                return s;
        return static_cast<SUBMDL *>(nullptr);
    };
    for (int i = 0; i < 21; ++i) {
        const std::string name = "n" + std::to_string(i);
        EXPECT_EQ(SUBMDL_FindByName(name.c_str(), root->submodels), walk(root->submodels, name));
        SUBMDL *rest = root->submodels->next;
        EXPECT_EQ(SUBMDL_FindByName(name.c_str(), rest), walk(rest, name));
    }
    EXPECT_NE(root->submodels->index, nullptr);
    EXPECT_EQ(root->submodels->next->index, nullptr);
    CHECKPASS_EndFile();
    EXPECT_NE(Output().find("SubModel Name Previously Defined (\"n0\")"), std::string::npos);
}

}  // namespace
