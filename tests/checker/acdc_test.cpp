// AC/DC consistency checks on model records the tests build.
#include "CurveTest.h"
#include "ModelFixture.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "IbisParser/acdc.h"
#include "IbisParser/crvop.h"
#include "IbisParser/mdl.h"
#include "IbisParser/mspec.h"
#include "IbisParser/rng.h"
#include "IbisParser/wvfrm.h"

namespace {

using modeltest::Warn;

// A model record with the tables and values a test gives it; frees them.
class TestModel {
public:
    TestModel(const char *name, int type) {
        strcpy(m.name, name);
        m.Model_type = type;
    }
    ~TestModel() {
        for (CRV *c : curves_)
            CRV_Free(c);
        for (void *p : blocks_)
            CMN_Free(p);
        for (WVFRM *w : waveforms_) {
            RNGP_Free(w->points);
            RNGP_DropIndex(&w->rows);
            CMN_Free(w);
        }
    }
    CRV *Table(const std::vector<const char *> &rows) {
        curves_.push_back(MakeCurve(rows));
        return curves_.back();
    }
    double *Value(double v) {
        double *p = nullptr;
        CMN_Alloc(&p, sizeof(double));
        *p = v;
        blocks_.push_back(p);
        return p;
    }
    RNG *Range(const char *text) {
        RNG *r = nullptr;
        RNG_ParseLine(text, "range", &r);
        blocks_.push_back(r);
        return r;
    }
    // A waveform with R_fixture and V_fixture (negative: absent).
    WVFRM *Waveform(WVFRM **list, double r, double v, const std::vector<const char *> &rows) {
        WVFRM *w = nullptr;
        CMN_Alloc(&w, sizeof(WVFRM));
        if (r >= 0)
            w->R_fixture = Value(r);
        if (v >= 0)
            w->V_fixture = Value(v);
        int count = 0;
        for (const char *text : rows) {
            RNGP *row = nullptr;
            RNGP_ParseLine(text, "w", "Time", &row);
            RNGP_Append(&w->points, &w->rows, row, &count, 0);
        }
        while (*list != nullptr)
            list = &(*list)->next;
        *list = w;
        waveforms_.push_back(w);
        return w;
    }
    // A 3 V driver of typ columns: a 0.1 S pulldown and a pullup of the given
    // last row (none when null).
    void Driver(const char *pullupEnd) {
        m.voltageRange = Range("3.0 NA NA");
        m.pulldown = Table({"0 0 NA NA", "3 0.3 NA NA"});
        if (pullupEnd != nullptr)
            m.pullup = Table({"0 0 NA NA", pullupEnd});
    }
    MDL m{};

private:
    std::vector<CRV *> curves_;
    std::vector<void *> blocks_;
    std::vector<WVFRM *> waveforms_;
};

using AcdcTest = CheckerTest;

TEST_F(AcdcTest, LoadLineIntersections) {
    struct Case {
        const char *name;
        std::vector<const char *> rows;
        double vLoad, rLoad, target;
        int solved;
        double v;
    };
    const Case cases[] = {
        {"resistor divider", {"0 0", "1 0.01"}, 1.0, 100.0, 0.0, 1, 0.5},
        {"no resistance holds the load voltage", {"0 0", "1 1"}, 0.25, 0.0, 0.0, 1, 0.25},
        {"before the first point", {"0 0", "1 1"}, -1.0, 1.0, 0.0, 1, -0.5},
        {"nearest the target (0)", {"0 0", "1 1", "2 -1", "3 3"}, 1.5, 1.0, 0.0, 1, 0.75},
        {"nearest the target (1.6)", {"0 0", "1 1", "2 -1", "3 3"}, 1.5, 1.0, 1.6, 1, 1.5},
        {"nearest the target (2)", {"0 0", "1 1", "2 -1", "3 3"}, 1.5, 1.0, 2.0, 1, 2.1},
        {"equal distances: the first stays", {"0 0", "1 1", "2 -1", "3 3"}, 1.5, 1.0, 1.125, 1,
         0.75},
        {"past the end: last segment", {"0 0", "1 0", "2 0"}, 5.0, 1.0, 0.0, 1, 5.0},
        {"a vertical step holds its voltage", {"0 0", "1 0", "1 1", "2 1"}, 1.5, 1.0, 0.0, 1, 1.0},
        {"rows without the column skipped", {"0 0", "1 NA", "2 2"}, 3.0, 1.0, 0.0, 1, 1.5},
        {"parallel to the load line", {"0 0", "1 -0.01"}, 1.0, 100.0, 0.0, 0, 0.0},
        {"starts descending", {"1 0", "0 1"}, 1.0, 1.0, 0.0, 0, 0.0},
        {"one point", {"0 0", "1 NA"}, 1.0, 1.0, 0.0, 0, 0.0},
    };
    for (const Case &c : cases) {
        CRV *curve = MakeCurve(c.rows);
        double v = -99, i = -99;
        EXPECT_EQ(ACDC_IntersectLoadLine(curve, c.vLoad, c.rLoad, CRVOP_TYP, c.target, &v, &i),
                  c.solved)
            << c.name;
        if (c.solved) {
            EXPECT_NEAR(v, c.v, 1e-12) << c.name;
            const double g = c.rLoad < 1e-32 ? 1e32 : 1.0 / c.rLoad;
            EXPECT_NEAR(i, g * (c.vLoad - v), 1e-9) << c.name;
        }
        CRV_Free(curve);
    }
    double v = 0;
    EXPECT_EQ(ACDC_IntersectLoadLine(nullptr, 1, 1, CRVOP_TYP, 0, &v, nullptr), 0);
    Output();
}

TEST_F(AcdcTest, CornerValueWithFallback) {
    RNG primary{2.5, CMN_VALUE_NUMBER, 0.0, CMN_VALUE_NA, 0.0, CMN_VALUE_ABSENT};
    RNG fallback{3.3, CMN_VALUE_NUMBER, 3.0, CMN_VALUE_NUMBER, 3.6, CMN_VALUE_NUMBER};
    RNG naTyp{0.0, CMN_VALUE_NA, 0.0, CMN_VALUE_NA, 0.0, CMN_VALUE_ABSENT};
    struct Case {
        const RNG *primary, *fallback;
        int corner, found;
        double value;
    };
    const Case cases[] = {
        {&primary, &fallback, CRVOP_TYP, 1, 2.5},  {&primary, &fallback, CRVOP_MIN, 1, 2.5},
        {&primary, &fallback, CRVOP_MAX, 1, 3.6},  {nullptr, &fallback, CRVOP_MIN, 1, 3.0},
        {&naTyp, &fallback, CRVOP_TYP, 1, 3.3},    {&naTyp, &fallback, CRVOP_MIN, 0, 0.0},
        {&naTyp, nullptr, CRVOP_MAX, 0, 0.0},      {nullptr, nullptr, CRVOP_TYP, 0, 0.0},
        {&primary, nullptr, CRVOP_MIN, 1, 2.5},    {&primary, nullptr, CRVOP_MAX, 0, 0.0},
    };
    for (const Case &c : cases) {
        double v = -1;
        EXPECT_EQ(ACDC_GetCornerValue(c.primary, c.fallback, c.corner, &v), c.found);
        if (c.found) {
            EXPECT_EQ(v, c.value);
        }
        // A range alone is the same with no fallback.
        double alone = -1;
        if (c.fallback == nullptr) {
            EXPECT_EQ(ACDC_GetRngValue(c.primary, c.corner, &alone), c.found);
        }
        EXPECT_EQ(alone, c.fallback == nullptr && c.found ? c.value : -1);
    }
}

TEST_F(AcdcTest, MonotonicityOncePerColumn) {
    CRV *c = MakeCurve({"0 0 0 0", "1 2 1 NA", "2 1 2 NA", "1.5 3 1 NA", "3 0 4 NA"});
    ACDC_CheckCurveMonotonic(c, "m", "Combined Pullup for Model:", CRVOP_TYP, 4);
    ACDC_CheckCurveMonotonic(c, "m", "Pulldown for Model:", CRVOP_MIN, 8);
    ACDC_CheckCurveMonotonic(c, "m", "Pulldown for Model:", CRVOP_MAX, 4);  // one point
    EXPECT_EQ(Output(),
              "WARNING - Combined Pullup for Model: m Typical data is non-monotonic\n"
              "WARNING - Combined Pullup for Model: m Voltage data is non-monotonic\n"
              "NOTE - Pulldown for Model: m Minimum data is non-monotonic\n");
    CRV_Free(c);
}

// The message of a waveform whose DC endpoints the tables do not reach.
std::string Endpoints(const std::string &word, const std::string &wave, const std::string &fixture,
                      const std::string &corner, const std::string &ends,
                      const std::string &yields, const std::string &share) {
    return word + " - Model drv: The [" + wave + " Waveform] \n      with [R_fixture]=50 Ohms and [" +
           fixture + "\n      has " + corner + " column DC endpoints of " + ends +
           ", but\n      an equivalent load applied to the model's I-V tables yields\n"
           "      different voltages (" + yields + "),\n      a difference of " + share +
           ", respectively.\n";
}
// The typ corner of a rising waveform from 0 V to 3 V into 50 Ohm to 0 V.
std::string Rising(const std::string &word, const std::string &yields, const std::string &share) {
    return Endpoints(word, "Rising", "V_fixture]=0V", "TYP", " 0.00V and  3.00v", yields, share);
}
// A driver whose pullup reaches only 2.5 V.
const std::string kRisingTooHigh = Rising("ERROR", "-0.00V and  2.50V", " 0.00% and 20.00%");

// A driver whose pullup, loaded by 50 Ohm to 0 V, settles where the table's
// slope puts it: k = 0.1 S gives 2.5 V, 0.38 S 2.85 V, 1.98 S 2.97 V.
TEST_F(AcdcTest, WaveformEndpointsAgainstTheTables) {
    const std::string &error = kRisingTooHigh;
    struct Case {
        int type;
        const char *pullupEnd;
        std::string out;
    };
    const Case cases[] = {
        {MDL_TYPE_OUTPUT, "3 -0.3 NA NA", error},
        {MDL_TYPE_3STATE, "3 -1.14 NA NA", Rising("WARNING", "-0.00V and  2.85V", " 0.00% and  5.26%")},
        {MDL_TYPE_OUTPUT, "3 -5.94 NA NA", ""},
        // Only the low level of an open-drain driver is judged.
        {MDL_TYPE_OPEN_DRAIN, "3 -0.3 NA NA",
         "ERROR -\n    Model 'drv': Currents <> 0.0mA in 'Pullup' for Open_drain/Open_sink "
         "device\n"},
        {MDL_TYPE_OPEN_SOURCE, "3 -0.3 NA NA",
         error + "ERROR - Model 'drv': Currents <> 0.0mA in 'Pulldown' for Open_source device\n"},
        // An ECL pulldown is read like a pullup, from the voltage range down.
        {MDL_TYPE_OUTPUT_ECL, "3 -0.3 NA NA", Rising("ERROR", " 3.75V and  2.50V", "300.00% and 40.00%")},
    };
    for (const Case &c : cases) {
        TestModel t("drv", c.type);
        t.Driver(c.pullupEnd);
        t.Waveform(&t.m.risingWaveform, 50, 0, {"0 0 NA NA", "1n 3.0 NA NA"});
        Output();
        EXPECT_EQ(ACDC_CheckModels(&t.m), c.out.empty() ? 0 : 1) << c.pullupEnd;
        EXPECT_EQ(Output(), c.out) << c.pullupEnd;
    }
}

// Every rising waveform is held against the tables, also past the 100 a
// model may define (the reader reports those): here the one whose high level
// the pullup cannot reach. Past eight waveforms the loads are solved by the
// search trees of the combined curves.
TEST_F(AcdcTest, EveryWaveformIsCompared) {
    for (int count : {3, 101}) {
        TestModel t("drv", MDL_TYPE_OUTPUT);
        t.Driver("3 -0.3 NA NA");
        for (int i = 1; i <= count; ++i)
            t.Waveform(&t.m.risingWaveform, 50, 0,
                       {"0 0 NA NA", i == count ? "1n 3.0 NA NA" : "1n 2.5 NA NA"});
        Output();
        ACDC_CheckModels(&t.m);
        EXPECT_EQ(Output(), kRisingTooHigh) << count;
    }
}

// Random curves of every kind (rising as drive tables do, with steep and
// vertical steps, x that repeats or steps back, turning currents) and random
// loads: the search tree gives the walk's answer to the last bit.
TEST_F(AcdcTest, SearchTreeGivesTheWalksAnswer) {
    std::mt19937 rng(1503);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> pick(0, 9);
    const double resistances[] = {1e32, 50.0, 1e-33, -5.0, 1e34, 0.0};
    int solvedByTree = 0;
    for (int round = 0; round < 3000; ++round) {
        const int kind = round % 4;
        const size_t n = static_cast<size_t>(2 + (round % 10 == 0 ? 400 : pick(rng) * 7));
        std::vector<std::pair<double, double>> p;
        double x = -3.0 + unit(rng), i = -1.0;
        for (size_t k = 0; k < n; ++k) {
            if (kind == 3 && k > 4 && pick(rng) == 0) {
                p.push_back(p[k - 4]);  // retraces earlier segments: equal candidates
                continue;
            }
            p.emplace_back(x, i);
            const int step = pick(rng);
            x += kind == 3 ? unit(rng) * 2 - 0.7                       // steps back
                 : step == 0 ? 0.0                                     // vertical
                 : step == 1 ? 2e-7                                    // within the slack
                             : unit(rng) * 0.2;
            i += kind == 2 ? unit(rng) * 2 - 1.0                       // turning
                 : step == 2 ? unit(rng) * 1e4                         // steep
                             : unit(rng) * 0.1;
        }
        // A load parallel to one segment now and then.
        const double slope = (p[1].second - p[0].second) / (p[1].first - p[0].first);
        CRV *curve = nullptr;
        CMN_Alloc(&curve, sizeof(CRV));
        RNGP *tail = nullptr;
        for (const auto &pt : p) {
            RNGP *row = nullptr;
            RNGP_Create(&row);
            CRVOP_SetPoint(row, CRVOP_TYP, pt.first, pt.second);
            row->prev = tail;
            (tail != nullptr ? tail->next : curve->points) = row;
            tail = row;
        }
        ACDC_LOADLINE *tree = ACDC_BuildLoadLineTree(curve, CRVOP_TYP);
        ASSERT_NE(tree, nullptr);
        for (int load = 0; load < 40; ++load) {
            double r = pick(rng) < 4 ? resistances[pick(rng) % 6] : 1.0 + unit(rng) * 200;
            if (load == 0 && slope < 0)
                r = -1.0 / slope;
            double vL = unit(rng) * 8 - 4;
            // Through a point, or through where a segment's slack ends.
            const size_t at = static_cast<size_t>(pick(rng)) * (p.size() - 1) / 9;
            if (load % 4 == 1 && r > 0 && r < 1e30)
                vL = p[at].first + p[at].second * r;
            if (load % 4 == 2 && r > 0 && r < 1e30 && at + 1 < p.size()) {
                const double s =
                    (p[at + 1].second - p[at].second) / (p[at + 1].first - p[at].first);
                const double edge = pick(rng) < 5 ? p[at].first - 1e-6 : p[at + 1].first + 1e-6;
                if (std::isfinite(s))
                    vL = edge + (p[at].second + s * (edge - p[at].first)) * r;
            }
            double target = pick(rng) == 0 ? p[pick(rng) % 2].first : unit(rng) * 8 - 4;
            double walked = -99, searched = -99;
            int solved = ACDC_IntersectLoadLine(curve, vL, r, CRVOP_TYP, target, &walked, nullptr);
            // Aimed at the answer: every candidate there ties at distance 0.
            if (load % 2 == 1 && solved)
                solved = ACDC_IntersectLoadLine(curve, vL, r, CRVOP_TYP, target = walked, &walked,
                                                nullptr);
            ASSERT_EQ(ACDC_SolveLoadLine(tree, vL, r, target, &searched), solved)
                << round << " " << load;
            if (solved) {
                EXPECT_EQ(searched, walked) << round << " " << load;
                ++solvedByTree;
            }
        }
        ACDC_FreeLoadLineTree(tree);
        CRV_Free(curve);
    }
    EXPECT_GT(solvedByTree, 80000);
    // Too large to bound the rounding: no tree, or the walk answers (-1).
    const struct {
        std::vector<const char *> rows;
        double vLoad;
        int solved;
    } edges[] = {{{"0 0 NA NA", "1 1e101 NA NA"}, 1, -2},
                 {{"0 0 NA NA", "1 1 NA NA"}, 1e251, -1},
                 {{"0 0 NA NA", "1 1 NA NA"}, 1, 1},
                 {{"1 0 NA NA", "0 1 NA NA"}, 1, 0}};
    for (const auto &e : edges) {
        CRV *curve = MakeCurve(e.rows);
        ACDC_LOADLINE *tree = ACDC_BuildLoadLineTree(curve, CRVOP_TYP);
        double v = 0;
        EXPECT_EQ(tree == nullptr ? -2 : ACDC_SolveLoadLine(tree, e.vLoad, 50, 0, &v), e.solved) << e.vLoad;
        ACDC_FreeLoadLineTree(tree);
        CRV_Free(curve);
    }
}

TEST_F(AcdcTest, FallingWaveformAndFixtureOfTheCorner) {
    TestModel t("drv", MDL_TYPE_IO);
    t.m.voltageRange = t.Range("3.0 3.0 3.3");
    t.m.pulldown = t.Table({"0 0 0 0", "3 0.3 0.3 0.3"});
    t.m.pullup = t.Table({"0 0 0 0", "3 -0.3 -0.3 -0.3"});
    // Loaded by 50 Ohm to 3 V: the pulldown settles at 0.5 V, the pullup at 3 V.
    WVFRM *w = t.Waveform(&t.m.fallingWaveform, 50, 3.0,
                          {"0 3.0 3.0 3.0", "1n 0.5 0.5 0.4"});
    w->V_fixture_max = t.Value(3.3);
    Output();
    EXPECT_EQ(ACDC_CheckModels(&t.m), 1);
    // Max: the pulldown settles at 0.55 V with the pullup at 3.3 V.
    EXPECT_EQ(Output(), Endpoints("ERROR", "Falling", "V_fixture_max]=3.3V", "MAX", " 0.40V and  3.00v",
                                  " 0.55V and  3.30V", " 5.45% and 10.91%"));
}

// Vmeas beyond the corner's reach through the 50 Ohm load.
std::string Vmeas(const std::string &corner, const std::string &v, const std::string &vref) {
    return "WARNING - Model 'drv': " + corner + " VI curves cannot drive through Vmeas=" + v +
           "V\n          given load Rref=50 Ohms to Vref=" + vref + "V\n";
}

TEST_F(AcdcTest, VmeasThroughTheLoad) {
    struct Case {
        int type;
        double vmeas, vref;
        std::string out;
    };
    const Case cases[] = {
        {MDL_TYPE_OUTPUT, 1.5, 0.0, ""},
        {MDL_TYPE_OUTPUT, 2.7, 0.0, Vmeas("TYP", "2.7", "0")},
        {MDL_TYPE_OUTPUT, 0.4, 3.0, Vmeas("TYP", "0.4", "3")},
        // An open-drain driver has no pullup side to hold against Vmeas.
        {MDL_TYPE_OPEN_DRAIN, 1.5, 3.0, ""},
        {MDL_TYPE_OPEN_SOURCE, 1.5, 0.0, ""},
        {MDL_TYPE_OPEN_SOURCE, 2.7, 0.0, Vmeas("TYP", "2.7", "0")},
    };
    for (const Case &c : cases) {
        TestModel t("drv", c.type);
        t.Driver(c.type != MDL_TYPE_OPEN_DRAIN ? "3 -0.3 NA NA" : nullptr);
        if (c.type == MDL_TYPE_OPEN_SOURCE)
            t.m.pulldown = nullptr;
        t.m.Vmeas = t.Value(c.vmeas);
        t.m.Rref = t.Value(50);
        t.m.Vref = t.Value(c.vref);
        Output();
        ACDC_CheckModels(&t.m);
        EXPECT_EQ(Output(), c.out) << c.type << " " << c.vmeas;
    }
}

TEST_F(AcdcTest, VmeasOfTheModelSpecAndExternalModels) {
    TestModel t("drv", MDL_TYPE_OUTPUT);
    t.m.voltageRange = t.Range("3.0 3.0 3.0");
    t.m.pulldown = t.Table({"0 0 0 0", "3 0.3 0.3 0.3"});
    t.m.pullup = t.Table({"0 0 0 0", "3 -0.3 -0.3 -0.3"});
    t.m.Vmeas = t.Value(0.1);
    t.m.Rref = t.Value(50);
    t.m.Vref = t.Value(0);
    MSPEC spec{};
    spec.Vmeas = t.Range("1.5 2.6 NA");
    t.m.modelSpec = &spec;
    Output();
    ACDC_CheckModels(&t.m);
    EXPECT_EQ(Output(), Vmeas("MIN", "2.6", "0"));
    t.m.externalModel = reinterpret_cast<EXTMDL *>(&spec);  // only its presence counts
    ACDC_CheckModels(&t.m);
    EXPECT_EQ(Output(), "");
}

TEST_F(AcdcTest, CombinedCurvesSkippedOrPassed) {
    // Both drive tables too short for every corner: nothing is combined.
    TestModel t("drv", MDL_TYPE_OUTPUT);
    t.m.pulldown = t.Table({"0 0 NA NA"});
    t.m.pullup = t.Table({"0 0 NA NA"});
    t.m.Vmeas = t.Value(2.7);
    t.m.Rref = t.Value(50);
    t.m.Vref = t.Value(0);
    for (int corner : {CRVOP_TYP, CRVOP_MIN, CRVOP_MAX})
        EXPECT_EQ(ACDC_CheckCombinedCurves(&t.m, corner), 1);
    // A non-monotonic pulldown shows in the combined curve; inputs never
    // reach the combined checks.
    TestModel d("nm", MDL_TYPE_OUTPUT);
    d.m.pulldown = d.Table({"0 0 NA NA", "1 0.1 NA NA", "2 0.05 NA NA", "3 0.3 NA NA"});
    EXPECT_EQ(ACDC_CheckModels(&d.m), 0);
    d.m.Model_type = MDL_TYPE_INPUT;
    EXPECT_EQ(ACDC_CheckModels(&d.m), 0);
    EXPECT_EQ(Output(),
              "WARNING - Combined Pulldown for Model: nm Typical data is non-monotonic\n");
}

// Every Model_type code against a pulldown that turns back: the types
// without a driver skip the combined curves, every other type (also one
// not given or invalid) combines them; an open-source type also carries
// current in its pulldown.
TEST_F(AcdcTest, CombinedCurvesByModelType) {
    const std::string turns =
        "WARNING - Combined Pulldown for Model: nm Typical data is non-monotonic\n";
    const std::string source =
        "ERROR - Model 'nm': Currents <> 0.0mA in 'Pulldown' for Open_source device\n";
    const std::string skipped = "";
    const std::string outputs[23] = {
        turns,   turns,                    // not given, invalid
        skipped,                           // Input
        turns,   turns,   turns,           // Output, I/O, 3-state
        turns,   turns,   turns,   turns,  // the open drain and open sink kinds
        turns + source,   turns + source,  // Open_source, I/O_open_source
        skipped, turns,   turns,           // Input_ECL, Output_ECL, I/O_ECL
        skipped, skipped, skipped,         // Terminator, Series, Series_switch
        turns,   turns,   turns,   turns,   turns};  // 3-state_ECL, the diff kinds
    for (int type = 0; type < 23; ++type) {
        TestModel t("nm", type);
        t.m.pulldown = t.Table({"0 0 NA NA", "1 0.1 NA NA", "2 0.05 NA NA", "3 0.3 NA NA"});
        Output();
        ACDC_CheckModels(&t.m);
        EXPECT_EQ(Output(), outputs[type]) << type;
    }
}

TEST_F(AcdcTest, ClampAndOpenDrainCurrents) {
    struct Case {
        int type;
        std::vector<const char *> gnd, power, pulldown, pullup, issoPd, issoPu;
        const char *out;
    };
    const Case cases[] = {
        {MDL_TYPE_INPUT, {"-1 -8 -1 NA", "0 0 0 NA"}, {}, {}, {}, {}, {},
         "WARNING - Model 'm': Extreme currents present in TYP GND_Clamp VI Curve "
         "(-12A @ -1.5V)\n"},
        {MDL_TYPE_TERMINATOR, {"-2 -10.5 NA -11", "0 0 NA 0"}, {"-1.5 10.000001 1 1", "0 0 0 0"},
         {}, {}, {}, {},
         "WARNING - Model 'm': Extreme currents present in TYP POWER_Clamp VI Curve "
         "(10A @ -1.5V)\n"},
        {MDL_TYPE_OPEN_DRAIN, {}, {}, {}, {"0 0 0 1e-3", "1 0 0 0"}, {}, {"0 1 0 0", "1 0 0 0"},
         "ERROR -\n    Model 'm': Currents <> 0.0mA in 'Pullup' for Open_drain/Open_sink device\n"},
        {MDL_TYPE_IO_OPEN_SINK, {}, {}, {}, {"0 0 0 0", "1 0 NA 0"}, {}, {"0 0 0 0", "1 0 -2 0"},
         "ERROR -\n    Model 'm': Currents <> 0.0mA in 'ISSO PU' for Open_drain/Open_sink "
         "device\n"},
        {MDL_TYPE_OPEN_SOURCE, {}, {}, {"0 0 0 0", "1 1 1 1"}, {}, {"0 1 1 1", "1 0 0 0"}, {},
         "ERROR - Model 'm': Currents <> 0.0mA in 'Pulldown' for Open_source device\n"},
        {MDL_TYPE_IO_OPEN_SOURCE, {}, {}, {}, {}, {"0 1 1 1", "1 0 0 0"}, {},
         "ERROR - Model 'm': Currents <> 0.0mA in 'ISSO PD' for Open_source device\n"},
        {MDL_TYPE_IO_OPEN_SOURCE, {}, {}, {"0 0 0 0", "1 0 0 0"}, {}, {"0 0 NA 0"}, {}, ""},
    };
    for (const Case &c : cases) {
        TestModel t("m", c.type);
        t.m.gndClamp = t.Table(c.gnd);
        t.m.powerClamp = t.Table(c.power);
        t.m.pulldown = t.Table(c.pulldown);
        t.m.pullup = t.Table(c.pullup);
        t.m.ISSO_PD = t.Table(c.issoPd);
        t.m.ISSO_PU = t.Table(c.issoPu);
        Output();
        int ok = ACDC_CheckClampCurrents(&t.m);
        ok &= ACDC_CheckOpenDrainCurrents(&t.m);
        EXPECT_EQ(ok, c.out[0] == '\0' ? 1 : 0) << c.out;
        EXPECT_EQ(Output(), c.out);
    }
}

// Stand-in submodels for the [Add Submodel] check: name, Submodel_type and
// clamps, reached through the submodel hooks.
struct FakeSub {
    FakeSub *next;
    const char *name;
    int type;
    const CRV *gnd;
    const CRV *power;
};
const FakeSub *Fake(const SUBMDL *s) { return reinterpret_cast<const FakeSub *>(s); }
SUBMDL *FakeFind(const char *name, SUBMDL *list) {
    for (const FakeSub *s = Fake(list); s != nullptr; s = s->next)
        if (strcmp(s->name, name) == 0)
            return reinterpret_cast<SUBMDL *>(const_cast<FakeSub *>(s));
    return nullptr;
}
SUBMDL *FakeNext(SUBMDL *s) { return reinterpret_cast<SUBMDL *>(Fake(s)->next); }
const char *FakeName(const SUBMDL *s) { return Fake(s)->name; }
void FakeClamps(const SUBMDL *s, int *type, const CRV **gnd, const CRV **power) {
    *type = Fake(s)->type;
    *gnd = Fake(s)->gnd;
    *power = Fake(s)->power;
}
SUBMDL *List(FakeSub *subs, size_t n) {
    for (size_t i = 0; i + 1 < n; ++i)
        subs[i].next = &subs[i + 1];
    return reinterpret_cast<SUBMDL *>(subs);
}

// Puts the stand-ins in place for one test and the hooks back after it.
class SubmodelHooks {
public:
    SubmodelHooks() : models_(MDL_submodelOps), acdc_(ACDC_ops) {
        MDL_submodelOps = {FakeFind, FakeNext, FakeName};
        ACDC_ops.clamps = FakeClamps;
    }
    ~SubmodelHooks() {
        MDL_submodelOps = models_;
        ACDC_ops = acdc_;
    }

private:
    MDL_SUBMODEL_OPS models_;
    ACDC_OPS acdc_;
};

// The typ column of a model's combined clamps turns back in the mode.
std::string Clamps(const std::string &mode, const std::string &model) {
    return Warn("Combined Clamp in " + mode + " Mode for Model " + model + " Typical data is non-monotonic");
}

TEST_F(AcdcTest, AddSubmodelClampsByMode) {
    TestModel t("io", MDL_TYPE_IO);
    t.m.gndClamp = t.Table({"-1 -1 NA NA", "0 0 NA NA"});
    ADD_SUBMDL entries[3] = {{"dc", 0, &entries[1]}, {"bh", 2, &entries[2]}, {"none", 1, nullptr}};
    t.m.addSubmodel = entries;
    TestModel plain("plain", MDL_TYPE_OUTPUT);
    plain.m.gndClamp = plain.Table({"-1 -1 NA NA", "0 5 NA NA", "1 0 NA NA"});
    plain.m.next = &t.m;
    // A ground clamp that turns back, in a Dynamic_clamp "dc" (the first of
    // that name) and a Bus_hold "bh".
    const CRV *back = t.Table({"-2 -5 NA NA", "-1 3 NA NA", "0 0 NA NA"});
    FakeSub subs[3] = {{nullptr, "dc", 2, back, nullptr},
                       {nullptr, "dc", 3, back, nullptr},
                       {nullptr, "bh", 3, back, nullptr}};
    SUBMDL *list = List(subs, 3);
    Output();
    SubmodelHooks hooks;
    EXPECT_EQ(ACDC_CheckAddSubmodels(&plain.m, list), 0);
    const std::string driving = Clamps("Driving", "io");
    EXPECT_EQ(Output(), driving);
    // Found by a search of the list where the hooks give no walk.
    MDL_submodelOps.next = nullptr;
    ACDC_CheckAddSubmodels(&plain.m, list);
    EXPECT_EQ(Output(), driving);
    // An Input model takes its entries in non-driving mode only.
    t.m.Model_type = MDL_TYPE_INPUT;
    entries[0].mode = 2;
    ACDC_CheckAddSubmodels(&t.m, list);
    EXPECT_EQ(Output(), Clamps("Non Driving", "io"));
    // Without the submodel section no entry adds a clamp.
    ACDC_ops.clamps = nullptr;
    ACDC_CheckAddSubmodels(&t.m, list);
    // Both clamps too short for a corner: the corner is skipped, entries and all.
    ACDC_ops.clamps = FakeClamps;
    t.m.gndClamp = t.Table({"-1 -1 NA NA"});
    t.m.powerClamp = t.Table({"0 0 NA NA"});
    ACDC_CheckAddSubmodels(&t.m, list);
    EXPECT_EQ(Output(), "");
}

// A Dynamic_clamp's tables go onto the pin axis like the model's own: its
// POWER Clamp, voltages below a 3 V rail, falls from 5 A to 0 A as its table
// voltage rises from -2 V to 0 V, so on the pin it rises from 3 V to 5 V. With
// the model's ground clamp (2 A/V) the sum rises throughout; read the other
// way round it would turn.
TEST_F(AcdcTest, AddedClampsOnThePinAxis) {
    struct Case {
        int type;
        std::vector<const char *> power;
        std::string out;
    };
    const std::string driving = Clamps("Driving", "io"), other = Clamps("Non Driving", "io");
    const Case cases[] = {
        {MDL_TYPE_IO, {"-2 5 NA NA", "-1 1 NA NA", "0 0 NA NA"}, ""},
        {MDL_TYPE_3STATE, {"-2 5 NA NA", "-1 1 NA NA", "0 0 NA NA"}, ""},
        // A table that is not monotonic on the pin axis shows in each mode
        // of the model.
        {MDL_TYPE_IO, {"-2 5 NA NA", "-1 -5 NA NA", "0 0 NA NA"}, other + driving},
        {MDL_TYPE_OUTPUT, {"-2 5 NA NA", "-1 -5 NA NA", "0 0 NA NA"}, driving},
        {MDL_TYPE_INPUT, {"-2 5 NA NA", "-1 -5 NA NA", "0 0 NA NA"}, other},
    };
    SubmodelHooks hooks;
    for (const Case &c : cases) {
        TestModel t("io", c.type);
        t.m.voltageRange = t.Range("3 NA NA");
        t.m.gndClamp = t.Table({"-1 -2 NA NA", "0 0 NA NA"});
        FakeSub sub{nullptr, "dc", 2, nullptr, t.Table(c.power)};
        ADD_SUBMDL entry{"dc", 2, nullptr};
        t.m.addSubmodel = &entry;
        Output();
        ACDC_CheckAddSubmodels(&t.m, List(&sub, 1));
        EXPECT_EQ(Output(), c.out) << c.type << " " << c.power[1];
    }
}

// Every entry adds its submodel's clamps, also an entry that repeats a name:
// the model's ground clamp rises by 2 A/V, the Dynamic_clamp "dc" is flat
// below 0 V and falls by 1 A/V above, so the sum turns once "dc" comes three
// times. "bh" (Bus_hold) and entries of the other mode add nothing.
TEST_F(AcdcTest, AddedClampsCountEveryEntry) {
    struct Case {
        std::vector<std::pair<const char *, int>> entries;  // name, mode
        std::string out;
    };
    const std::string turns = Clamps("Driving", "out");
    const Case cases[] = {
        {{{"dc", 0}}, ""},
        {{{"dc", 0}, {"dc", 2}}, ""},
        {{{"dc", 0}, {"dc", 2}, {"dc", 0}}, turns},
        {{{"bh", 0}, {"dc", 1}, {"dc", 2}, {"bh", 2}, {"dc", 0}, {"dc", 2}}, turns},
        {{{"dc", 1}, {"dc", 1}, {"dc", 1}, {"dc", 2}}, ""},
    };
    SubmodelHooks hooks;
    for (const Case &c : cases) {
        TestModel t("out", MDL_TYPE_OUTPUT);
        t.m.voltageRange = t.Range("3 NA NA");
        t.m.gndClamp = t.Table({"-1 -2 NA NA", "0 0 NA NA"});
        FakeSub subs[2] = {{nullptr, "dc", 2, t.Table({"-1 0 NA NA", "0 0 NA NA", "1 -1 NA NA"}),
                            nullptr},
                           {nullptr, "bh", 3, t.Table({"-1 9 NA NA", "0 0 NA NA"}), nullptr}};
        std::vector<ADD_SUBMDL> entries(c.entries.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            strcpy(entries[i].name, c.entries[i].first);
            entries[i].mode = c.entries[i].second;
            entries[i].next = i + 1 < entries.size() ? &entries[i + 1] : nullptr;
        }
        t.m.addSubmodel = entries.data();
        Output();
        ACDC_CheckAddSubmodels(&t.m, List(subs, 2));
        EXPECT_EQ(Output(), c.out) << c.entries.size();
    }
}

// An ISSO table's current at 0 V against the drive table's at the reference.
std::string Mismatch(const std::string &corner, const std::string &isso, const std::string &current,
                     const std::string &drive, const std::string &driveCurrent, const std::string &ref) {
    return "WARNING - Model drv: " + corner + " ISSO_" + isso + " current (" + current +
           "A) at 0V does not match " + drive + " current (" + driveCurrent + "A) at reference (" +
           ref + "V)\n";
}
// An ISSO table's current at the other table's reference, which should be 0.
std::string NonZero(const std::string &corner, const std::string &isso, const std::string &current,
                    const std::string &other, const std::string &ref, const std::string &at) {
    return "WARNING - Model drv: " + corner + " ISSO_" + isso + " current (" + current + "A) at " +
           other + " reference (" + ref + "V) - table value (" + at + "V) is non-zero\n";
}

TEST_F(AcdcTest, IssoTablesAgainstTheDriveTables) {
    TestModel t("drv", MDL_TYPE_OUTPUT);
    t.m.voltageRange = t.Range("3.3 NA NA");
    t.m.pulldownReference = t.Range("0.1 NA NA");
    t.m.pullup = t.Table({"0 0 NA NA", "3.3 -0.066 NA NA"});
    t.m.pulldown = t.Table({"0 0 NA NA", "3.2 0.04 NA NA", "3.3 0.05 NA NA"});
    t.m.ISSO_PU = t.Table({"0 -0.05 NA NA", "3.3 0 NA NA"});
    t.m.ISSO_PD = t.Table({"0 0.04 NA NA", "3.2 0 NA NA", "3.3 -0.001 NA NA"});
    Output();
    EXPECT_EQ(ACDC_CheckModels(&t.m), 0);
    EXPECT_EQ(Output(), Mismatch("Typical", "PU", "-0.050", "Pullup", "-0.064", " 0.100") +
                            NonZero("Typical", "PU", "-0.002", "Pulldown", " 0.100", " 3.200"));
    // The typ corner needs a [Pulldown Reference] typ.
    t.m.pulldownReference = nullptr;
    ACDC_CheckModels(&t.m);
    EXPECT_EQ(Output(), "");
}

// Both ISSO tables at each corner: the pullup reference falls back on the
// voltage range (3.3, 3.0, 3.6); the pulldown reference has a typ of 0.1, an
// "NA" min (its typ) and no max (0 V). Drive tables of 0.1 S.
TEST_F(AcdcTest, IssoTablesAtEveryCorner) {
    TestModel t("drv", MDL_TYPE_OUTPUT);
    t.m.voltageRange = t.Range("3.3 3.0 3.6");
    RNG pulldownRef{0.1, CMN_VALUE_NUMBER, 0.0, CMN_VALUE_NA, 0.0, CMN_VALUE_ABSENT};
    t.m.pulldownReference = &pulldownRef;
    t.m.pullup = t.Table({"0 0 0 0", "3.6 -0.36 -0.36 -0.36"});
    t.m.pulldown = t.Table({"0 0 0 0", "3.6 0.36 0.36 0.36"});
    t.m.ISSO_PU = t.Table({"0 -0.32 -0.29 -0.3", "3.6 0 0 0.1"});
    t.m.ISSO_PD = t.Table({"0 0.32 0.3 0.36", "3.6 -0.04 0 0"});
    struct Case {
        int corner;
        std::string out;
    };
    const Case cases[] = {
        {CRVOP_TYP, NonZero("Typical", "PU", "-0.036", "Pulldown", " 0.100", " 3.200")},
        {CRVOP_MIN, NonZero("Minimum", "PU", "-0.056", "Pulldown", " 0.100", " 2.900") +
                        Mismatch("Minimum", "PD", " 0.300", "Pulldown", " 0.290", " 3.000") +
                        NonZero("Minimum", "PD", " 0.058", "Pullup", " 3.000", " 2.900")},
        {CRVOP_MAX, Mismatch("Maximum", "PU", "-0.300", "Pullup", "-0.360", " 0.000") +
                        NonZero("Maximum", "PU", " 0.100", "Pulldown", " 0.000", " 3.600")},
    };
    Output();
    for (const Case &c : cases) {
        ACDC_CheckIsso(&t.m, c.corner);
        EXPECT_EQ(Output(), c.out) << c.corner;
    }
    // An "NA" min without a typ skips the corner.
    pulldownRef.typ_state = CMN_VALUE_NA;
    ACDC_CheckIsso(&t.m, CRVOP_MIN);
    EXPECT_EQ(Output(), "");
}

// Dynamic_clamps "s0", "s1"... whose ground clamps rise, each over voltages
// of its own, but one whose bump turns the sum; without that entry the sum
// rises throughout. Past entries times rows the list would outgrow, the sum
// is taken pairwise.
TEST_F(AcdcTest, ManyAddedSubmodelsSumOnce) {
    struct Case {
        int n;
        double step, width;  // of the voltages from -2 V down
        const char *low;     // the current at each table's first voltage
        bool middle;         // every table has a middle row, not the bump's alone
        int bump;
    };
    const Case cases[] = {{10, 0.1, 0.5, " -1 NA NA", false, 7}, {3000, 1e-4, 0.1, " 0 NA NA", true, 1234}};
    SubmodelHooks hooks;
    for (const Case &c : cases) {
        TestModel t("many", MDL_TYPE_OUTPUT);
        t.m.gndClamp = t.Table({"-1 -1 NA NA", "0 0 NA NA"});
        std::vector<std::string> names(c.n);
        std::vector<FakeSub> subs(c.n);
        std::vector<ADD_SUBMDL> entries(c.n);
        for (int i = 0; i < c.n; ++i) {
            const double x = -2.0 - i * c.step;
            const std::string low = std::to_string(x) + c.low,
                              mid = std::to_string(x + c.width / 2) + (i == c.bump ? " 5 NA NA" : " 0 NA NA"),
                              high = std::to_string(x + c.width) + " 0 NA NA";
            std::vector<const char *> rows = {low.c_str(), mid.c_str(), high.c_str()};
            if (!c.middle && i != c.bump)
                rows.erase(rows.begin() + 1);
            names[i] = "s" + std::to_string(i);
            subs[i] = FakeSub{nullptr, names[i].c_str(), 2, t.Table(rows), nullptr};
            entries[i] = ADD_SUBMDL{{}, 0, i + 1 < c.n ? &entries[i + 1] : nullptr};
            strcpy(entries[i].name, names[i].c_str());
        }
        t.m.addSubmodel = entries.data();
        SUBMDL *list = List(subs.data(), c.n);
        ACDC_CheckAddSubmodels(&t.m, list);
        EXPECT_EQ(Output(), Clamps("Driving", "many")) << c.n;
        entries[c.bump - 1].next = &entries[c.bump + 1];
        ACDC_CheckAddSubmodels(&t.m, list);
        EXPECT_EQ(Output(), "") << c.n;
    }
}

TEST_F(AcdcTest, SwitchTurnsTheChecksOff) {
    TestModel t("m", MDL_TYPE_INPUT);
    t.m.gndClamp = t.Table({"-1 -8 NA NA", "0 0 NA NA"});
    EXPECT_EQ(ACDC_SetEnabled(0), 0);
    EXPECT_EQ(ACDC_CheckModels(&t.m), 0);
    EXPECT_EQ(ACDC_SetEnabled(7), 1);
    EXPECT_EQ(ACDC_GetEnabled(), 1);
    EXPECT_EQ(ACDC_CheckModels(&t.m), 1);
    Output();
}

// A line through two points: none when the x are closer than 1e-32.
TEST_F(AcdcTest, LineThroughTwoPoints) {
    const double lines[][7] = {// x1, y1, x2, y2, solved, slope, intercept
                               {0, 1, 2, 5, 1, 2, 1},
                               {3, 0, 1, 1, 1, -0.5, 1.5},
                               {1, 7, 1, 9, 0, -99, -99},
                               {1e-33, 0, 0, 1, 0, -99, -99},
                               {0, 4, 2e-32, 4, 1, 0, 4}};
    for (const auto &l : lines) {
        double slope = -99, intercept = -99;
        EXPECT_EQ(ACDC_LineThroughPoints(l[0], l[1], l[2], l[3], &slope, &intercept), l[4]);
        EXPECT_EQ(slope, l[5]) << l[0];
        EXPECT_EQ(intercept, l[6]) << l[0];
    }
}

// Rows one at a time into the same trackers: each column turns once, "NA"
// is passed over, an equal value turns nothing.
TEST_F(AcdcTest, RowMonotonicity) {
    const std::pair<const char *, const char *> rows[] = {
        {"0 0 0 0", ""},   {"1 1 NA -1", ""}, {"2 1 1 NA", ""}, {"1.5 2 2 0", "Voltage Maximum"},
        {"1 0 1 NA", "Typical Minimum"},      {"0 -1 0 5", ""}};
    CRV_TRACKER trackers[4] = {};
    for (const auto &[text, turned] : rows) {
        RNGP *row = nullptr;
        ASSERT_EQ(RNGP_ParseLine(text, "t", "Voltage", &row), 1);
        EXPECT_EQ(ACDC_CheckRowMonotonic(trackers, row, "Pullup for Model:", "drv", 4),
                  *turned == '\0');
        std::string expected, word;
        for (std::istringstream words(turned); words >> word;)
            expected += "WARNING - Pullup for Model: drv " + word + " data is non-monotonic\n";
        EXPECT_EQ(Output(), expected) << text;
        RNGP_Free(row);
    }
}

// One corner of a curve per file: the rows that give x and that corner, in
// list order, in digits that read back exactly. No file for a corner that
// is not one of the three; a file that cannot be opened is a 0, not a crash.
TEST_F(AcdcTest, CurveCsvFiles) {
    struct Case {
        std::vector<const char *> rows;  // none: a null curve
        int corner;
        const char *dir;
        const char *file;  // null: nothing written
    };
    const std::vector<const char *> rows = {"-1 -0.1 NA -0.2", "NA 5 5 5", "0 0 0 0",
                                            "3.3000000000000003 1m 2 NA", "2.5 1e300 NA NA"};
    const Case cases[] = {
        {rows, CRVOP_TYP, "",
         "Voltage,Typical\n-1,-0.1\n0,0\n3.3000000000000003,0.001\n2.5,1e+300\n"},
        {rows, CRVOP_MAX, "", "Voltage,Maximum\n-1,-0.2\n0,0\n"},
        {{}, CRVOP_MIN, "", "Voltage,Minimum\n"},
        {rows, 3, "", nullptr},
        {rows, CRVOP_TYP, "no such dir/", nullptr},
    };
    for (const Case &c : cases) {
        CRV *curve = MakeCurve(c.rows);
        const std::string dir = dir_.path() + "/" + c.dir;
        const char *suffix = c.corner == CRVOP_MIN   ? "_min.csv"
                             : c.corner == CRVOP_MAX ? "_max.csv"
                                                     : "_typ.csv";
        const std::string path = dir + "drv" + suffix;
        std::remove(path.c_str());
        EXPECT_EQ(ACDC_WriteCurveCsv(curve, dir.c_str(), "drv", c.corner), c.file != nullptr);
        std::ifstream in(path);  // the platform's line ends read as "\n"
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(in.is_open() ? text.str() : "(none)", c.file ? c.file : "(none)") << c.corner;
        CRV_Free(curve);
    }
    EXPECT_EQ(Output(), "");
}

}  // namespace
