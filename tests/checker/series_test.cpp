// [Series Pin Mapping] and [Series Switch Groups]: headers, rows, groups over
// several lines, and the checks of the series models through models and
// selectors.
#include "ComponentTest.h"
#include "IbisParser/spinmpg.h"
#include "IbisParser/sswch.h"

namespace {

// The groups "On:a,b|", then the rows "1 2 m g|".
std::string Tables(CMPNT *c) {
    std::string s;
    for (SSWCH *g = c->series_switch_groups; g != nullptr; g = g->next) {
        s += std::string(g->state) + ":";
        for (unsigned k = 0; k < g->count; ++k)
            s += std::string(k > 0 ? "," : "") + g->names[k];
        s += "|";
    }
    for (Series_Pin_Mapping *r = c->series_pin_mappings; r != nullptr; r = r->next)
        s += std::string(r->pin1) + " " + r->pin2 + " " + r->model_name + " " +
             r->function_table_group + "|";
    return s;
}

class SeriesTest : public ComponentTest {
protected:
    // The models and selectors the body names, and the models of those
    // selectors, so that none is unreferenced; the model "nomodel" of the
    // selector "mixed" is nowhere.
    void RunCases(const std::vector<TableCase> &cases) {
        RunTableCases(cases, [this](IBIS *root, const std::string &body) {
            const bool mixed = Names(body, "mixed"), switches = Names(body, "switches");
            if (Names(body, "ser") || mixed)
                AddModel("ser", MDL_TYPE_SERIES);
            if (Names(body, "sw") || mixed || switches)
                AddModel("sw", MDL_TYPE_SERIES_SWITCH);
            if (Names(body, "io") || mixed)
                AddModel("io", MDL_TYPE_IO);
            if (switches)
                AddSelector("switches", {"sw", "sw"});
            if (mixed)
                AddSelector("mixed", {"ser", "io", "nomodel", "sw"});
            return Tables(root->components);
        });
    }
};

const std::string kPins = "[Pin] signal_name model_name\n1 a GND\n2 b GND\n";  // 10-12

TEST_F(SeriesTest, PinMappingHeaderAndRows) {
    const std::string header = kPins + "[Series Pin Mapping] pin_2 model_name\n";  // 13
    RunCases({
        {"4.2",
         kPins + "[Series Pin Mapping] PIN_2 model_name function_table_group x\n1 2 ser\n",
         "E0543 (line 13) - Unknown column header after 'function_table_group'\n", "1 2 ser |"},
        {"4.2", kPins + "[Series Pin Mapping] pin_2\n1 2 ser\n",
         "E0532 (line 13) - Series_Pin_Mappings keyword column count must be 3 or 4, found 2 "
         "columns.\n"
         "E0529 (line 13) - 'model_name' column header not found or out of order.\n"},
        {"4.2", kPins + "[Series Pin Mapping]\n",
         "E0528 (line 13) - Unable to find column headers after Series_Pin_Mapping keyword.\n"},
        // Extra, missing and reserved columns; four under a three-column header.
        {"4.2", header + "1 2 ser g x\n1\n1 2 GND\n",
         "E2600 (line 14) - Extra data columns on this line.\n"
         "E2605 (line 14) - [Series Pin Mapping] When 4 columns are specified, the heading "
         "'function_table_group' must be used.\n"
         "E2602 (line 15) - No Pin2 specified.\n"
         "E2603 (line 15) - No Model specified.\n"
         "E2604 (line 15) -  [Series Pin Mapping] Data lines must contain either 3 or 4 "
         "columns.\n"
         "E1916 (line 16) - Illegal use of Reserved Word 'GND'.\n"
         "W2625 - Component 'c': [Series Pin Mapping] Model 'ser' is of type Series so "
         "function_table_group 'g' is ignored.\n"
         "E2611 - Component 'c': [Series Pin Mapping] Pin2 '' not previously declared in Pin "
         "section.\n"
         "E2617 - Component 'c': [Series Pin Mapping] Model '' is not defined.\n"
         "E2617 - Component 'c': [Series Pin Mapping] Model 'GND' is not defined.\n",
         "1 2 ser g|1   |1 2 GND |"},
        // A second table replaces the first.
        {"4.2", header + "1 2 nothing\n[Series Pin Mapping] pin_2 model_name\n2 1 ser\n",
         "E0542 (line 15) - Duplicate Series_Pin_Mapping keyword found.\n", "2 1 ser |"},
        // Model names are cut at 20 characters before version 4.
        {"3.2", header + "1 2 " + std::string(21, 's') + "\n",
         "E1912 (line 14) - Model string '" + std::string(21, 's') +
             "' is too long, truncating to 20 characters.\n"
             "E2617 - Component 'c': [Series Pin Mapping] Model '" +
             std::string(20, 's') + "' is not defined.\n"},
        // Without [Pin], the rows are not checked.
        {"4.2", "[Series Pin Mapping] pin_2 model_name\n1 2 nothing\n",
         "E0524 - Unable to find Pin keyword data for Component 'c'.\n"
         "E2618 - Component 'c': [Series Pin Mapping] defined but [Pins] not defined.\n"},
    });
}

TEST_F(SeriesTest, ModelTypes) {
    const std::string body = kPins + "[Series Switch Groups]\nOn a b /\n"  // 13-14
                             "[Series Pin Mapping] pin_2 model_name function_table_group\n"
                             "1 2 ser\n1 2 ser a\n1 2 sw\n1 2 sw zz\n1 2 sw a\n1 2 io\n1 2 io a\n"
                             "1 2 switches\n1 2 mixed a\n1 2 nothing\n9 8 ser\n";
    RunCases({
        {"4.2", body,
         "E4024 - Model 'nomodel' in Model Selector 'mixed' is not defined in the file\n"
         "W2625 - Component 'c': [Series Pin Mapping] Model 'ser' is of type Series so "
         "function_table_group 'a' is ignored.\n"
         "E2627 - Component 'c': [Series Pin Mapping] Model 'sw' is of type Series_Switch so "
         "function_table_group is required.\n"
         "E2629 - Component 'c': [Series Pin Mapping] Model 'sw' uses function zz which is not "
         "defined.\n"
         "E2623 - Component 'c': [Series Pin Mapping] Model 'io' is not of type Series.\n"
         "E2621 - Component 'c': [Series Pin Mapping] Model 'io' is not of type Series_Switch.\n"
         "E2626 - Component 'c': [Series Pin Mapping] Model Selector 'switches' Model 'sw' is of "
         "type Series_Switch so function_table_group is required.\n"
         "E2626 - Component 'c': [Series Pin Mapping] Model Selector 'switches' Model 'sw' is of "
         "type Series_Switch so function_table_group is required.\n"
         "W2624 - Component 'c': [Series Pin Mapping] Model Selector 'mixed' Model 'ser' is of "
         "type Series so function_table_group 'a' is ignored.\n"
         "E2620 - Component 'c': [Series Pin Mapping] Model Selector 'mixed' Model 'io' is not "
         "of type Series_Switch.\n"
         "E2630 - Component 'c': [Series Pin Mapping] Model Selector 'mixed' Model 'nomodel' is "
         "of unknown type.\n"
         "E2617 - Component 'c': [Series Pin Mapping] Model 'nothing' is not defined.\n"
         "E2607 - Component 'c': [Series Pin Mapping] Pin1 '9' not previously declared in Pin "
         "section.\n"
         "E2611 - Component 'c': [Series Pin Mapping] Pin2 '8' not previously declared in Pin "
         "section.\n"
         // Named, so no longer unreferenced; b serves no row.
         "W2507 - Component: c Series Switch Function 'b' is used but not defined\n"},
        // A selector row without a group, over Series models only.
        {"4.2",
         kPins + "[Series Pin Mapping] pin_2 model_name\n1 2 mixed\n1 2 ser\n1 2 sw\n1 2 io\n",
         "E4024 - Model 'nomodel' in Model Selector 'mixed' is not defined in the file\n"
         "E2622 - Component 'c': [Series Pin Mapping] Model Selector 'mixed' Model 'io' is not "
         "of type Series.\n"
         "E2630 - Component 'c': [Series Pin Mapping] Model Selector 'mixed' Model 'nomodel' is "
         "of unknown type.\n"
         "E2626 - Component 'c': [Series Pin Mapping] Model Selector 'mixed' Model 'sw' is of "
         "type Series_Switch so function_table_group is required.\n"
         "E2627 - Component 'c': [Series Pin Mapping] Model 'sw' is of type Series_Switch so "
         "function_table_group is required.\n"
         "E2623 - Component 'c': [Series Pin Mapping] Model 'io' is not of type Series.\n"},
        // A selector of switches whose group no [Series Switch Groups] lists:
        // one message per model; a listed group passes.
        {"4.2",
         kPins + "[Series Switch Groups]\nOn a /\n"
                 "[Series Pin Mapping] pin_2 model_name function_table_group\n"
                 "1 2 switches zz\n1 2 switches a\n",
         "E2628 - Component 'c': [Series Pin Mapping] Model Selector 'switches' Model 'sw' uses "
         "function zz which is not defined.\n"
         "E2628 - Component 'c': [Series Pin Mapping] Model Selector 'switches' Model 'sw' uses "
         "function zz which is not defined.\n"},
        // Rows naming one selector with groups of one kind (unlisted, listed,
        // none) draw the same models' messages, each with its own group.
        {"4.2",
         kPins + "[Series Switch Groups]\nOn a b /\n"
                 "[Series Pin Mapping] pin_2 model_name function_table_group\n"
                 "1 2 mixed zz\n1 2 mixed yy\n1 2 mixed a\n2 1 mixed b\n1 2 mixed\n2 1 mixed\n",
         "E4024 - Model 'nomodel' in Model Selector 'mixed' is not defined in the file\n" +
             [] {
                 const std::string sel = "Component 'c': [Series Pin Mapping] Model Selector 'mixed' ";
                 auto unlisted = [&](const std::string &g) {
                     return "W2624 - " + sel + "Model 'ser' is of type Series so function_table_group '" +
                            g + "' is ignored.\n" + "E2620 - " + sel +
                            "Model 'io' is not of type Series_Switch.\n" + "E2630 - " + sel +
                            "Model 'nomodel' is of unknown type.\n" + "E2628 - " + sel +
                            "Model 'sw' uses function " + g + " which is not defined.\n";
                 };
                 auto listed = [&](const std::string &g) {
                     return "W2624 - " + sel + "Model 'ser' is of type Series so function_table_group '" +
                            g + "' is ignored.\n" + "E2620 - " + sel +
                            "Model 'io' is not of type Series_Switch.\n" + "E2630 - " + sel +
                            "Model 'nomodel' is of unknown type.\n";
                 };
                 const std::string none = "E2622 - " + sel + "Model 'io' is not of type Series.\n" +
                                          "E2630 - " + sel + "Model 'nomodel' is of unknown type.\n" +
                                          "E2626 - " + sel +
                                          "Model 'sw' is of type Series_Switch so function_table_group "
                                          "is required.\n";
                 return unlisted("zz") + unlisted("yy") + listed("a") + listed("b") + none + none;
             }()},
    });
}

TEST_F(SeriesTest, SwitchGroups) {
    const std::string groups = kPins + "[Series Switch Groups]\n";  // 13
    RunCases({
        // One line, two lines, and "/" ending the group before further words.
        {"4.2", groups + "On a b /\nOff c\nd /\nOn e / f\n",
         "W2507 - Component: c Series Switch Function 'a' is used but not defined\n"
         "W2507 - Component: c Series Switch Function 'b' is used but not defined\n"
         "W2507 - Component: c Series Switch Function 'c' is used but not defined\n"
         "W2507 - Component: c Series Switch Function 'd' is used but not defined\n"
         "W2507 - Component: c Series Switch Function 'e' is used but not defined\n",
         "On:a,b|Off:c,d|On:e|"},
        // A keyword before the "/": the reader's 909, and the next group is new.
        {"4.2", groups + "On a\n[Series Switch Groups] x\nOff b /\n",
         "E0909 (line 15) - Previous keyword not terminated properly. Possibly missing a \"/\"\n\n"
         "E0546 (line 15) - Duplicate [Series_Switch_Groups] keyword found.\n"
         "E0539 (line 15) - Incorrect Number of Line Items (2) For Series_Switch_Groups: "
         "Expecting 1\n"
         "W2507 - Component: c Series Switch Function 'a' is used but not defined\n"
         "W2507 - Component: c Series Switch Function 'b' is used but not defined\n",
         "On:a|Off:b|"},
        // State words in the wrong case; a group without names ends at once.
        {"4.2", groups + "on a /\nOn\nOff /\n",
         "E2500 (line 14) - Unknown sub parameter 'on'\n"
         "E0533 (line 14) - Unable to add data for Series_Switch_Group keyword.\n"
         "E2502 (line 15) - No Group names specified on this line\n",
         "On:|Off:|"},
        // Long, reserved, state and repeated names: each stays.
        {"4.2", groups + "On " + std::string(25, 'g') + " On NC a a\na /\n",
         "E2504 (line 14) - Series switch Group name '" + std::string(25, 'g') +
             "' over 20 characters long\n"
             "E2505 (line 14) - Series switch Group name cannot be 'On' or 'Off'\n"
             "E1916 (line 14) - Illegal use of Reserved Word 'NC'.\n"
             "E2506 (line 14) - Duplicate Series switch Group name 'a'\n"
             "E2506 (line 15) - Duplicate Series switch Group name 'a'\n"
             "E2506 (line 15) - Duplicate Series switch Group name 'a'\n"
             "W2507 - Component: c Series Switch Function '" +
             std::string(20, 'g') +
             "' is used but not defined\n"
             "W2507 - Component: c Series Switch Function 'On' is used but not defined\n"
             "W2507 - Component: c Series Switch Function 'NC' is used but not defined\n"
             "W2507 - Component: c Series Switch Function 'a' is used but not defined\n"
             "W2507 - Component: c Series Switch Function 'a' is used but not defined\n"
             "W2507 - Component: c Series Switch Function 'a' is used but not defined\n",
         "On:" + std::string(20, 'g') + ",On,NC,a,a,a|"},
    });
}

// A group left open when its component ends: the next component's first
// group line starts a group of its own and goes to its own list only.
TEST_F(SeriesTest, GroupLeftOpenAcrossComponents) {
    const std::string second = "[Component] d\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\n"
                               "L_pkg 1n NA NA\nC_pkg 1p NA NA\n" + kPins;
    std::string groups;
    std::string out =
        Run("4.2",
            std::string(kGoodComponent) + kPins + "[Series Switch Groups]\nOn a\n" + second +
                "[Series Switch Groups]\nb /\nOff c /\n",
            [&](IBIS *root) {
                for (CMPNT *c = root->components; c != nullptr; c = c->next)
                    groups += std::string(c->name) + "=" + Tables(c);
            });
    EXPECT_EQ(out,
              "E0909 (line 15) - Previous keyword not terminated properly. Possibly missing a "
              "\"/\"\n\n"
              "E2500 (line 25) - Unknown sub parameter 'b'\n"
              "E0533 (line 25) - Unable to add data for Series_Switch_Group keyword.\n"
              "W2507 - Component: d Series Switch Function 'c' is used but not defined\n"
              "W2507 - Component: c Series Switch Function 'a' is used but not defined\n");
    EXPECT_EQ(groups, "d=Off:c|c=On:a|");
}

}  // namespace
