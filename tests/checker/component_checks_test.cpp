// Component checks that reach other sections: differential models, the
// diff-pin question of the model checks, and the hooks through which the
// component's other tables, EMI blocks and circuit calls are read.
#include <random>

#include "ComponentTest.h"
#include "IbisParser/circuit.h"
#include "IbisParser/stringlist.h"

namespace {

using ComponentChecksTest = ComponentTest;

TEST_F(ComponentChecksTest, DifferentialModelsNeedDiffPins) {
    const std::string body = std::string(kGoodComponent) +
                             "[Pin] signal_name model_name\n1 a dm\n2 b dx\n3 c GND\n4 d io\n"
                             "5 e dm\n6 f GND\n";
    auto models = [this](IBIS *root) {
        AddModel("dm", MDL_TYPE_INPUT_DIFF);
        static char external;
        AddModel("dx", MDL_TYPE_IO_DIFF)->externalModel = reinterpret_cast<EXTMDL *>(&external);
        AddModel("io", MDL_TYPE_IO);
        AddDiffPin(root->components, "6", "5");
    };
    // The receiver-threshold check has found dm on diff pin 5 before the pin
    // checks run: pin 1, which is no diff pin, draws 611.
    EXPECT_EQ(Run("4.2", body, models),
              "C0611 - Pin 1 is not defined as a Diff Pin though the associated Model dm was "
              "determined to be Differential\n"
              "E0544 - TBD: Put this in model check, *_DIFF without external model\n"
              "E0545 - Component <c> pin <1> model <dm> type <Input_diff> using [External Model] "
              "without corresponding [Diff_Pin]\n"
              "E0545 - Component <c> pin <2> model <dx> type <I/O_diff> using [External Model] "
              "without corresponding [Diff_Pin]\n"
              "E0544 - TBD: Put this in model check, *_DIFF without external model\n");
}

// The search that CMPNT_IsModelOnDiffPin answers for, walked as written:
// components newest first, their diff rows in order, pin then inv_pin.
int Walk(IBIS *root, MDL *model, PIN **out) {
    for (CMPNT *c = root->components; c != nullptr; c = c->next) {
        if (c->pins == nullptr)
            continue;
        for (DIFPIN *row = c->diff_pins; row != nullptr; row = row->next)
            for (const char *name : {row->pin, row->inv_pin}) {
                PIN *pin = nullptr;
                for (PIN *p = c->pins; p != nullptr && pin == nullptr; p = p->next)
                    if (strcmp(p->pin, name) == 0)
                        pin = p;
                if (pin == nullptr)
                    continue;
                if (strcmp(pin->model_name, model->name) == 0) {
                    model->single_ended = 0;
                    *out = pin;
                    return 1;
                }
                MSEL *s = MSEL_FindByName(pin->model_name, root->modelSelectors);
                if (s == nullptr)
                    continue;
                for (MSEL_MODEL *m = s->models; m != nullptr; m = m->next)
                    if (strcmp(m->name, model->name) == 0) {
                        model->single_ended = 0;
                        *out = pin;
                        return 1;
                    }
                s->single_ended = 0;
            }
    }
    return 0;
}

class DiffPinQuestionTest : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        ASSERT_EQ(CHECKPASS_BeginFile(), 1);
        ASSERT_TRUE(IBIS_GetCurrent(&root_));
    }
    void TearDown() override {
        root_->models = nullptr;
        root_->modelSelectors = nullptr;
        CHECKPASS_EndFile();
        ComponentTest::TearDown();
    }
    CMPNT *AddComponent(const std::vector<std::pair<std::string, std::string>> &pins) {
        CMPNT *c = nullptr;
        EXPECT_TRUE(CMPNT_Create(&c));
        PIN_COLUMN_MAP map = {0, 1, 2};
        for (const auto &p : pins) {
            PIN *pin = nullptr;
            std::string row = p.first + " s " + p.second;
            EXPECT_TRUE(PIN_ParseRow(row.c_str(), 3, &pin, &map));
            PIN_Append(&c->pins, pin);
        }
        IBIS_AddComponent(root_, c);
        return c;
    }
    void Publish() {
        root_->models = models_.empty() ? nullptr : models_.front();
        root_->modelSelectors = selectors_.empty() ? nullptr : selectors_.front();
    }
    IBIS *root_ = nullptr;
};

TEST_F(DiffPinQuestionTest, ThroughModelsAndSelectors) {
    MDL *direct = AddModel("direct", MDL_TYPE_IO);
    MDL *viaSel = AddModel("viasel", MDL_TYPE_IO);
    MDL *nowhere = AddModel("nowhere", MDL_TYPE_IO);
    MSEL *first = AddSelector("s1", {"other"});
    MSEL *second = AddSelector("s2", {"viasel", "x"});
    // A component with diff rows but no pins is passed over.
    CMPNT *bare = AddComponent({});
    AddDiffPin(bare, "1", "2");
    CMPNT *older = AddComponent({{"1", "direct"}, {"2", "s2"}});
    AddDiffPin(older, "1", "2");
    CMPNT *newer = AddComponent({{"7", "s1"}, {"8", "GND"}, {"9", "s2"}});
    AddDiffPin(newer, "missing", "7");
    AddDiffPin(newer, "9", "8");
    (void)bare;
    Publish();

    PIN *pin = nullptr;
    ASSERT_EQ(CMPNT_IsModelOnDiffPin(viaSel, &pin), 1);
    EXPECT_STREQ(pin->pin, "9");
    EXPECT_EQ(viaSel->single_ended, 0);
    EXPECT_EQ(first->single_ended, 0);  // passed on the way
    EXPECT_EQ(second->single_ended, 2);

    ASSERT_EQ(CMPNT_IsModelOnDiffPin(direct, nullptr), 1);
    EXPECT_EQ(direct->single_ended, 0);
    EXPECT_EQ(second->single_ended, 0);  // passed before component 'older'

    EXPECT_EQ(CMPNT_IsModelOnDiffPin(nowhere, &pin), 0);
    EXPECT_EQ(nowhere->single_ended, 2);
    EXPECT_EQ(Output(), "");
}

TEST_F(DiffPinQuestionTest, AnswersAsTheWalkDoes) {
    std::mt19937 random(7);
    int hits = 0, selectorMarks = 0;
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        root_->models = nullptr;
        root_->modelSelectors = nullptr;
        CHECKPASS_EndFile();
        ClearModels();
        Output();
        ASSERT_EQ(CHECKPASS_BeginFile(), 1);
        ASSERT_TRUE(IBIS_GetCurrent(&root_));
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const char *const names[] = {"m0", "m1", "m2", "m3", "s0", "s1", "s2", "GND"};
        for (int m = 0; m < 4; ++m)
            AddModel("m" + std::to_string(m), MDL_TYPE_IO);
        for (int s = 0; s < 4; ++s) {  // s2 twice: the newest answers
            std::vector<std::string> list;
            for (int k = pick(3); k > 0; --k)
                list.push_back(names[pick(5)]);
            AddSelector("s" + std::to_string(s < 3 ? s : 2), list);
        }
        for (int c = pick(4); c > 0; --c) {
            std::vector<std::pair<std::string, std::string>> pins;
            for (int p = pick(6); p > 0; --p)
                pins.push_back({std::to_string(pick(6)), names[pick(8)]});
            CMPNT *component = AddComponent(pins);
            for (int d = pick(4); d > 0; --d)
                AddDiffPin(component, std::to_string(pick(7)).c_str(),
                           std::to_string(pick(7)).c_str());
        }
        Publish();
        std::vector<int> questions;
        for (int q = 0; q < 6; ++q)
            questions.push_back(pick(4));

        auto marks = [&]() {
            std::string s;
            for (MDL *m : models_)
                s += std::to_string(m->single_ended);
            for (MSEL *m : selectors_)
                s += std::to_string(m->single_ended);
            return s;
        };
        auto reset = [&]() {
            for (MDL *m : models_)
                m->single_ended = 2;
            for (MSEL *m : selectors_)
                m->single_ended = 2;
        };
        std::vector<std::string> answered, walked;
        for (int q : questions) {
            PIN *pin = nullptr;
            int r = CMPNT_IsModelOnDiffPin(models_[3 - q], &pin);
            answered.push_back(std::to_string(r) + (r ? pin->pin : "") + marks());
        }
        reset();
        for (int q : questions) {
            PIN *pin = nullptr;
            int r = Walk(root_, models_[3 - q], &pin);
            walked.push_back(std::to_string(r) + (r ? pin->pin : "") + marks());
            hits += r;
        }
        for (MSEL *m : selectors_)
            selectorMarks += m->single_ended == 0;
        ASSERT_EQ(answered, walked);
    }
    EXPECT_GT(hits, 100);
    EXPECT_GT(selectorMarks, 50);
}

TEST_F(DiffPinQuestionTest, FileWithoutComponentsOrRoot) {
    MDL *m = AddModel("m", MDL_TYPE_IO);
    EXPECT_EQ(CMPNT_IsModelOnDiffPin(m, nullptr), 0);  // no component: already 3901
    EXPECT_EQ(Output(), "");
    IBIS_Destroy(root_);
    CHECKPASS_EndFile();
    Output();
    MSG_SetLineNumber(0);
    EXPECT_EQ(CMPNT_IsModelOnDiffPin(m, nullptr), 0);
    EXPECT_EQ(Messages(Output()), "B0500 (line 0) - IbisParser/cmpnt:N:Unable to get IBIS.\n");
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);  // for TearDown to end
    ASSERT_TRUE(IBIS_GetCurrent(&root_));
}

// A destroyed root leaves no current component behind.
TEST_F(ComponentChecksTest, ResetForgetsTheOpenComponent) {
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    PARSE_SetIbisVersion(5);
    MSG_SetLineNumber(3);
    char keyword[] = "[Component] c";
    CMPNT_Init();
    CMPNT_ParseLine(LINE_KEYWORD, KW_COMPONENT, keyword);
    IBIS *root = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    IBIS_Destroy(root);
    CHECKPASS_EndFile();
    Output();
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    char data[] = "Si_location Pin";
    CMPNT_ParseLine(LINE_DATA, KW_COMPONENT, data);
    CMPNT_EndKeyword(KW_MODEL);  // nothing to close
    CHECKPASS_EndFile();
    EXPECT_EQ(Messages(Output()), "E0502 (line 3) - Orphan data line keyword.\n");
}

// The component's other tables, EMI blocks and circuit calls reach their
// readers through the hooks; their checks run in the component's order.
std::vector<std::string> g_log;

void Log(const std::string &s) { g_log.push_back(s); }

TEST_F(ComponentChecksTest, HooksReceiveTheirLinesAndRunInOrder) {
    g_log.clear();
    static int s_emiOpen;
    static char s_emi;
    CMPNT_tables.pinMapping = {
        [](CMPNT *, const char *t) { Log(std::string("pinmpg header ") + t); },
        [](CMPNT *c, const char *t) {
            Log(std::string("pinmpg row ") + t);
            if (strcmp(t, "bad") == 0)
                return 0;
            AddPinMapping(c, "1");
            return 1;
        },
        [](CMPNT *, const PIN_MODELS *) { Log("pinmpg check"); }, [](CMPNT *c) { FreeRows(c->pin_mappings); },
        [] { Log("pinmpg reset"); }};
    CMPNT_tables.diffPin = {
        [](CMPNT *, const char *t) { Log(std::string("difpin header ") + t); },
        [](CMPNT *c, const char *t) {
            Log(std::string("difpin row ") + t);
            AddDiffPin(c, "1", "2");
            return 1;
        },
        [](CMPNT *, const PIN_MODELS *) { Log("difpin check"); }, [](CMPNT *c) { FreeRows(c->diff_pins); }, nullptr};
    CMPNT_tables.seriesSwitchGroups = {
        [](CMPNT *, const char *t) { Log(std::string("sswch header ") + t); },
        [](CMPNT *, const char *t) {
            Log(std::string("sswch row ") + t);
            return 0;
        },
        nullptr, nullptr, nullptr};
    CMPNT_tables.seriesPinMapping = {
        [](CMPNT *, const char *t) { Log(std::string("spinmpg header ") + t); },
        [](CMPNT *, const char *t) {
            Log(std::string("spinmpg row ") + t);
            return 0;
        },
        nullptr, nullptr, nullptr};
    CMPNT_emiOps = {
        [](int type, IBIS_KEYWORD code, const char *t, CMPNTEMI **slot) {
            Log("emi " + std::to_string(type) + " " + std::to_string(code) + " " + t);
            *slot = reinterpret_cast<CMPNTEMI *>(&s_emi);
            if (type == LINE_KEYWORD)
                s_emiOpen = code == KW_BEGIN_EMI_COMPONENT ? 1
                            : code == KW_END_EMI_COMPONENT ? 0
                                                           : s_emiOpen;
        },
        [] { return s_emiOpen; },
        [](IBIS_KEYWORD code) {
            Log("emi end " + std::to_string(code));
            s_emiOpen = 0;
        },
        [](CMPNT *, CMPNTEMI *) { Log("emi check"); },
        [](CMPNTEMI *) { Log("emi free"); },
        [] { s_emiOpen = 0; }};
    CMPNT_circuitOps = {
        [](const char *line, STRING_LIST **list) {
            Log(std::string("nodes ") + line);
            *list = STRING_Push(*list, CMN_StrDup(line));  // an owned name
            return 1;
        },
        [] { Log("nodes end"); },
        [](const char *line, CIRCUIT_CALL *call) {
            Log(std::string("call ") + call->name + " " + std::to_string(call->line) + " " + line);
            CIRCUIT_PORT *port = nullptr;
            if (CMN_Alloc(&port, sizeof(CIRCUIT_PORT))) {
                port->next = call->ports;
                call->ports = port;
            }
            return 1;
        },
        [](CMPNT *c, EXTCKT *) { Log(std::string("resolve ") + c->name); }};

    const std::string body = std::string(kGoodComponent) +  // lines 4-9
                             "[Pin] signal_name model_name\n1 a GND\n2 b GND\n"    // 10-12
                             "[Pin Mapping] pulldown_ref pullup_ref\n1 A B\nbad\n"  // 13-15
                             "[Diff Pin] inv_pin vdiff tdelay_typ\n1 2 0 0\n"       // 16-17
                             "[Series Switch Groups]\nOn a /\n"                      // 18-19
                             "[Series Pin Mapping] pin_2 model_name\n1 2 m\n"       // 20-21
                             "[Node Declarations]\nn1 n2\n[End Node Declarations]\n"  // 22-24
                             "[Circuit Call] ckt\nPort_map a 1\n[End Circuit Call]\n"  // 25-27
                             "[Begin EMI Component]\nDomain Digital\n[Pin EMI] a b\n"  // 28-30
                             "[Pin]\n"                                               // 31
                             "[Component] d\n[Begin EMI Component]\n";              // 32-33
    std::string out = Run("5.0", body);
    EXPECT_EQ(out,
              "E0533 (line 15) - Unable to add data for Pin_Mapping keyword.\n"
              "E0533 (line 19) - Unable to add data for Series_Switch_Group keyword.\n"
              "E0533 (line 21) - Unable to add data for Series_Pin_Mapping keyword.\n"
              "E0553 (line 31) - Unexpected Keyword in a [Component EMI] block\n"
              "E0523 (line 31) - Duplicate Pin keyword found.\n"
              "E0514 - Required keyword 'Manufacturer' not defined for Component 'd'.\n"
              "E0519 - Keyword 'Package' not defined for Component 'd'.\n"
              "E0524 - Unable to find Pin keyword data for Component 'd'.\n"
              "E0612 - Component 'c': Pin '2' not referenced in Pin Mappings.\n");
    EXPECT_EQ(g_log, (std::vector<std::string>{
                         "pinmpg reset", "pinmpg header pulldown_ref pullup_ref",
                         "pinmpg row 1 A B",
                         "pinmpg row bad", "difpin header inv_pin vdiff tdelay_typ",
                         "difpin row 1 2 0 0", "sswch header ", "sswch row On a /",
                         "spinmpg header pin_2 model_name", "spinmpg row 1 2 m", "nodes n1 n2",
                         "nodes end",
                         "call ckt 25 Port_map a 1", "emi 1 26 ", "emi 4 26 Domain Digital",
                         "emi 1 28 a b", "emi end 9", "emi 1 26 ", "emi end 118",
                         // checks, newest component first
                         "resolve d", "emi check", "pinmpg check", "difpin check", "resolve c",
                         "emi check",
                         // the root is freed
                         "pinmpg reset", "emi free", "emi free"}));
}

}  // namespace
