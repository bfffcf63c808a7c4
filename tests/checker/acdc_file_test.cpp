// The AC/DC checks on whole .ibs snippets through the check pass, one row
// per rule, each compared with the pass's whole output.
#include "ModelFixture.h"

#include <algorithm>

#include "IbisParser/acdc.h"
#include "IbisParser/submdl.h"

namespace {

using namespace modeltest;

const char kRamp[] = "[Ramp]\ndV/dt_r 2.4/1n 2.4/1n 2.4/1n\ndV/dt_f 2.4/1n 2.4/1n 2.4/1n\n";

// A 3 V driver: a 0.1 S pulldown and a pullup whose last row (at 3 V below
// the rail) is given; loaded by 50 Ohm to 0 V the pullup settles at 2.5 V
// for -0.3 A, 2.85 V for -1.14 A, 2.97 V for -5.94 A.
std::string Driver(const std::string &name, const std::string &type, const std::string &subparams,
                   const std::string &pullupLast) {
    return "[Model] " + name + "\nModel_type " + type + "\nC_comp 1p 1p 1p\n" + subparams +
           "[Voltage Range] 3.0 3.0 3.0\n[Pulldown]\n0 0 0 0\n3 0.3 0.3 0.3\n"
           "[Pullup]\n0 0 0 0\n" + pullupLast + "\n" + kRamp;
}

const char kRising[] = "[Rising Waveform]\nR_fixture = 50\nV_fixture = 0\n0 0 0 0\n1n 3 3 3\n";

std::string Endpoints(const std::string &word, const std::string &fixture,
                      const std::string &corner, const std::string &high,
                      const std::string &share) {
    return word + " - Model drv: The [Rising Waveform] \n"
           "      with [R_fixture]=50 Ohms and [" + fixture + "]=0V\n"
           "      has " + corner + " column DC endpoints of  0.00V and  3.00v, but\n"
           "      an equivalent load applied to the model's I-V tables yields\n"
           "      different voltages (-0.00V and  " + high + "V),\n"
           "      a difference of  0.00% and " + share + "%, respectively.\n";
}

std::string Vmeas(const std::string &model, const std::string &corner, const std::string &v,
                  const std::string &vref) {
    return Warn("Model '" + model + "': " + corner + " VI curves cannot drive through Vmeas=" + v +
                "V\n          given load Rref=50 Ohms to Vref=" + vref + "V");
}

// The text once per column, "@" standing for the column's name.
std::string Columns(const std::string &text) {
    std::string out;
    for (const char *column : {"Voltage", "Typical", "Minimum", "Maximum"}) {
        std::string one = text;
        out += one.replace(one.find('@'), 1, column);
    }
    return out;
}

// A 3 V driver whose pullup, loaded as the fixture, reaches 2.5 V: `count`
// rising waveforms to 2.5 V, the last to 3 V; its keyword is on line `last`.
std::string RisingWaveforms(int count, int *last) {
    std::string body = Driver("drv", "Output", "Vmeas = 1.5\nVref = 0\nRref = 50\n",
                              "3 -0.3 -0.3 -0.3");
    for (int i = 1; i <= count; ++i) {
        if (i == count)
            *last = 4 + static_cast<int>(std::count(body.begin(), body.end(), '\n'));
        body += i < count ? "[Rising Waveform]\nR_fixture = 50\nV_fixture = 0\n0 0 0 0\n"
                            "1n 2.5 2.5 2.5\n"
                          : kRising;
    }
    return body + "[End]\n";
}

int g_last = 0;
const std::string kWaveforms = RisingWaveforms(101, &g_last);

// A driver whose [Pulldown] voltages step back from 2 V to 1 V: the table's
// notes, and the combined pulldown keeps the step, in each corner.
const std::string kStepBack =
    "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m 1m 1m\nL_pkg 1n 1n 1n\n"
    "C_pkg 1p 1p 1p\n[Pin] signal_name model_name R_pin L_pin C_pin\n1 out DRV\n"
    "[Model] DRV\nModel_type Output\nC_comp 1p 1p 1p\nVmeas = 1.65\nVref = 0\nRref = 50\n"
    "Cref = 0\n[Voltage Range] 3.3 3.0 3.6\n[Pulldown]\n-1 -10m -10m -10m\n0 0 0 0\n"
    "2 20m 20m 20m\n1 10m 10m 10m\n3.3 33m 33m 33m\n[Pullup]\n-1 10m 10m 10m\n0 0 0 0\n"
    "3.3 -330m -330m -330m\n" +
    std::string(kRamp) + "[End]\n";

const Row kRows[] = {
    {"waveform endpoints: error above 10%, warning above 2% of the swing", "5.0",
     Driver("drv", "Output", "Vmeas = 1.5\nVref = 0\nRref = 50\n", "3 -0.3 -1.14 -5.94") +
         kRising + "[End]\n",
     Endpoints("ERROR", "V_fixture", "TYP", "2.50", "20.00") +
         Endpoints("WARNING", "V_fixture_min", "MIN", "2.85", " 5.26") + Tail("drv")},

    {"an open-source driver is judged on its high level only", "5.0",
     Driver("drv", "Open_source", "Vmeas = 1.5\nVref = 0\nRref = 50\n", "3 -5.94 -1.14 -0.3") +
         kRising + "[End]\n",
     Endpoints("WARNING", "V_fixture_min", "MIN", "2.85", " 5.26") +
         Endpoints("ERROR", "V_fixture_max", "MAX", "2.50", "20.00") +
         Err("Model 'drv': Currents <> 0.0mA in 'Pulldown' for Open_source device") + Tail("drv")},

    {"Vmeas out of the driver's reach", "5.0",
     Driver("drv", "Output", "Vmeas = 2.7\nVref = 0\nRref = 50\n", "3 -0.3 -1.14 -5.94") +
         Driver("low", "3-state", "Vmeas = 0.4\nVref = 3\nRref = 50\n", "3 -0.3 -0.3 -0.3") +
         "[End]\n",
     Vmeas("low", "TYP", "0.4", "3") + Vmeas("low", "MIN", "0.4", "3") +
         Vmeas("low", "MAX", "0.4", "3") + Vmeas("drv", "TYP", "2.7", "0") + Tail("low")},

    {"open drain: clamp current at -1.5 V, current in its pullup, no pullup side for Vmeas",
     "5.0",
     "[Model] od\nModel_type Open_drain\nC_comp 1p 1p 1p\nVmeas = 1.5\nVref = 3\nRref = 50\n"
     "[Voltage Range] 3.0 3.0 3.0\n[GND Clamp]\n-1 -8 NA NA\n0 0 NA NA\n3 0 NA NA\n"
     "[Pulldown]\n0 0 0 0\n3 0.3 0.3 0.3\n[Pullup]\n0 0 0 0\n3 -0.3 -0.3 -0.3\n[ISSO PU]\n"
     "0 -0.3 -0.3 -0.3\n3 0 0 0\n" + std::string(kRamp) + "[End]\n",
     Warn("Model 'od': Extreme currents present in TYP GND_Clamp VI Curve (-12A @ -1.5V)") +
         Err("Model 'od': Currents <> 0.0mA in 'Pullup' for Open_drain/Open_sink device") +
         Tail("od")},

    {"ISSO tables against the drive tables", "5.0",
     "[Model] iso\nModel_type Output\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 NA NA\n"
     "[Pulldown Reference] 0.1 NA NA\n[Pullup]\n0 0 NA NA\n3.3 -0.066 NA NA\n"
     "[Pulldown]\n0 0 NA NA\n3.2 0.04 NA NA\n3.3 0.05 NA NA\n"
     "[ISSO PU]\n0 -0.05 NA NA\n3.3 0 NA NA\n[ISSO PD]\n0 0.04 NA NA\n3.2 0 NA NA\n"
     "3.3 -0.001 NA NA\n" + std::string(kRamp) + "[End]\n",
     Warn("Model 'iso': Vmeas timing test load parameter should be specified") +
         Warn("Model iso: Typical ISSO_PU current (-0.050A) at 0V does not match Pullup current "
              "(-0.064A) at reference ( 0.100V)") +
         Warn("Model iso: Typical ISSO_PU current (-0.002A) at Pulldown reference ( 0.100V) - "
              "table value ( 3.200V) is non-zero") +
         Tail("iso")},

    {"an Input model gets the clamp check alone", "5.0",
     "[Model] in\nModel_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\n"
     "[Voltage Range] 3.3 3.0 3.6\n[Pulldown]\n0 0 0 0\n1 1 1 1\n0.5 0 0 0\n"
     "[POWER Clamp]\n-2 20 NA NA\n0 0 NA NA\n[End]\n",
     Columns("NOTE (line   13) - Pulldown @ data is non-monotonic\n") +
         Warn("Model 'in': Extreme currents present in TYP POWER_Clamp VI Curve (15A @ -1.5V)") +
         Tail("in")},

    {"a combined curve that turns back", "5.0",
     "[Model] nm\nModel_type I/O\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.5\n"
     "[Voltage Range] 3.0 3.0 3.0\n[Pulldown]\n0 0 NA NA\n1 0.1 NA NA\n2 0.05 NA NA\n"
     "3 0.3 NA NA\n" + std::string(kRamp) + "[End]\n",
     "NOTE (line   14) - Pulldown Typical data is non-monotonic\n" +
         Warn("Combined Pulldown for Model: nm Typical data is non-monotonic") + Tail("nm")},

    {"voltages that step back stay in the combined curve", "5.0", kStepBack,
     Columns("NOTE (line   24) - Pulldown @ data is non-monotonic\n") +
         Columns(Warn("Combined Pulldown for Model: DRV @ data is non-monotonic"))},

    {"the 101st waveform is stored and compared", "5.0", kWaveforms,
     Err(g_last, "More than 100 Rising Waveforms are defined") +
         Endpoints("ERROR", "V_fixture", "TYP", "2.50", "20.00") +
         Endpoints("ERROR", "V_fixture_min", "MIN", "2.50", "20.00") +
         Endpoints("ERROR", "V_fixture_max", "MAX", "2.50", "20.00") + Tail("drv")},
};

class AcdcRows : public ModelTest, public ::testing::WithParamInterface<Row> {};

TEST_P(AcdcRows, WholeOutput) {
    const Row &row = GetParam();
    EXPECT_EQ(Run(row.version, row.body), Expected(row.version, row.messages)) << row.title;
}

INSTANTIATE_TEST_SUITE_P(Snippets, AcdcRows, ::testing::ValuesIn(kRows));

// The library forms that the pass leaves alone, each on the one model or
// submodel of a small file read by the real sections: what it prints and
// its result.
struct RecordRow {
    const char *title;
    std::string body;
    int (*check)(const MDL *models, const SUBMDL *submodels);
    int result;
    std::string messages;
};

int ModelTables(const MDL *m, const SUBMDL *) { return ACDC_CheckModelTables(m); }
int SubmodelTables(const MDL *, const SUBMDL *s) { return ACDC_CheckSubmodelTables(s); }
int Submodel(const MDL *, const SUBMDL *s) { return ACDC_CheckSubmodel(s); }

std::string Note(const std::string &text) { return "NOTE - " + text + "\n"; }

const RecordRow kRecordRows[] = {
    {"model tables that keep their direction",
     Driver("drv", "Output", "", "3 -0.3 -0.3 -0.3") + "[End]\n", ModelTables, 1, ""},

    {"each model table that turns back, once per column, clamps first",
     "[Model] drv\nModel_type Output\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Pulldown]\n-1 -0.1 -0.1 -0.1\n0 0 0 0\n2 0.2 0.2 0.2\n1 0.1 0.1 0.1\n3.3 0.3 0.3 0.3\n"
     "[POWER Clamp]\n-1 1 1 1\n0 0 0 0\n0.5 0 0.5 0\n[End]\n",
     ModelTables, 0,
     Note("POWER Clamp for Model: drv Minimum data is non-monotonic") +
         Columns(Note("Pulldown for Model: drv @ data is non-monotonic"))},

    {"submodel tables",
     "[Submodel] bh\nSubmodel_type Bus_hold\n[GND Clamp]\n-2 -1 NA NA\n-1 -2 NA NA\n0 0 NA NA\n"
     "[Pullup]\n0 0 0 0\n1 -1 -1 -1\n2 -2 -2 -0.5\n3 -3 -3 -3\n[End]\n",
     SubmodelTables, 0,
     Note("GND Clamp for SubModel: bh Typical data is non-monotonic") +
         Note("Pullup for SubModel: bh Maximum data is non-monotonic")},

    {"a submodel's clamp currents at -1.5 V, by extrapolation too",
     "[Submodel] dc\nSubmodel_type Dynamic_clamp\n[GND Clamp]\n-1 -8 -1 -1\n0 0 0 0\n"
     "[POWER Clamp]\n-2 1 20 NA\n0 0 0 NA\n[End]\n",
     Submodel, 0,
     Warn("Model 'dc': Extreme currents present in TYP GND_Clamp VI Curve (-12A @ -1.5V)") +
         Warn("Model 'dc': Extreme currents present in MIN POWER_Clamp VI Curve (15A @ -1.5V)")},

    {"a submodel within the limits",
     "[Submodel] dc\nSubmodel_type Dynamic_clamp\n[GND Clamp]\n-1 -6 NA NA\n0 0 NA NA\n[End]\n",
     Submodel, 1, ""},
};

class AcdcRecordRows : public CheckerTest, public ::testing::WithParamInterface<RecordRow> {};

TEST_P(AcdcRecordRows, Messages) {
    const RecordRow &row = GetParam();
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    const std::string path = Write("m.ibs", Header("5.0", "m.ibs") + row.body);
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    Output();
    IBIS *root = nullptr;
    MDL *models = nullptr;
    SUBMDL *submodels = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    IBIS_GetModels(root, &models);
    IBIS_GetSubmodels(root, &submodels);
    EXPECT_EQ(row.check(models, submodels), row.result) << row.title;
    EXPECT_EQ(Output(), row.messages) << row.title;
    CHECKPASS_EndFile();
}

INSTANTIATE_TEST_SUITE_P(Records, AcdcRecordRows, ::testing::ValuesIn(kRecordRows));

}  // namespace
