// The [Component] section: its keyword and data lines, the close of a
// component, [Package] and [Alternate Package Models], and the file-wide
// component checks. Each case is a file body (after a 3-line header) and the
// messages it gives.
#include "ComponentTest.h"

#include "IbisParser/apkg.h"
#include "IbisParser/pkg.h"
#include "IbisParser/rng.h"

namespace {

struct Case {
    const char *version;
    std::string body;
    std::string messages;
};

using ComponentSectionTest = ComponentTest;

const std::string kPins = "[Pin] signal_name model_name\n1 s GND\n";

TEST_F(ComponentSectionTest, KeywordAndDataLines) {
    const std::vector<Case> cases = {
        // A clean component: nothing to say.
        {"5.0", kGoodComponent + kPins, ""},
        // Close at the next [Component]: the first lacks both keywords; the
        // second starts with a clear [Manufacturer] mark.
        {"3.2", "[Component] a\n[Component] b\n" + kPins,
         "E0514 - Required keyword 'Manufacturer' not defined for Component 'a'.\n"
         "E0519 - Keyword 'Package' not defined for Component 'a'.\n"
         "E0514 - Required keyword 'Manufacturer' not defined for Component 'b'.\n"
         "E0519 - Keyword 'Package' not defined for Component 'b'.\n"
         "E0524 - Unable to find Pin keyword data for Component 'a'.\n"},
        // [Manufacturer] twice keeps the first; blank in the name; too long;
        // a reserved word.
        {"5.0",
         "[Component] my part\n[Manufacturer] m\n[Manufacturer] n\n[Package]\n"
         "R_pkg 1 NA NA\nL_pkg 1 NA NA\nC_pkg 1 NA NA\n" + kPins +
             "[Component] " + std::string(41, 'x') + "\n[Manufacturer] m\n[Package]\n"
             "R_pkg 1 NA NA\nL_pkg 1 NA NA\nC_pkg 1 NA NA\n" + kPins +
             "[Component] gnd\n[Manufacturer] m\n[Package]\nR_pkg 1 NA NA\nL_pkg 1 NA NA\n"
             "C_pkg 1 NA NA\n" + kPins,
         "W0513 (line 4) - Component 'my part' contains a blank character.\n"
         "E1911 (line 6) - Duplicate 'Manufacturer' keyword.\n"
         "E1912 (line 13) - Component string '" + std::string(41, 'x') +
             "' is too long, truncating to 40 characters.\n"
             "E1916 (line 21) - Illegal use of Reserved Word 'gnd'.\n"},
        // Lines before any [Component]: 501 for the keyword, 502 per row.
        {"3.2", "[Pin] signal_name model_name\n1 a GND\n2 b GND\n",
         "E0501 (line 4) - Orphan Component keyword.\n"
         "E0502 (line 5) - Orphan data line keyword.\n"
         "E0502 (line 6) - Orphan data line keyword.\n"
         "E3901 - Required keyword 'Component' not found.\n"},
        // Data where keywords take none; under [Component] before version 3.
        {"2.1",
         "[Component] c\nx\n[Manufacturer] m\n[Manufacturer] n\ny\n[Package]\nR_pkg 1 NA NA\n"
         "L_pkg 1 NA NA\nC_pkg 1 NA NA\n[Package Model] p\nz\n" + kPins,
         "E0506 (line 5) - Data on this line appears to be for the Component keyword, which "
         "does not allow data on subsequent lines.\n"
         "E1911 (line 7) - Duplicate 'Manufacturer' keyword.\n"
         "E0507 (line 8) - Data on this line appears to be for the Manufacturer keyword, "
         "which does not allow data on subsequent lines.\n"
         "E0508 (line 14) - Data on this line appears to be for the Package Model keyword, "
         "which does not allow data on subsequent lines.\n"
         "E0516 - Unable to find Package Model 'p' for Component 'c'\n"},
        // Sub-parameters of [Component] from version 3 on.
        {"3.2",
         "[Component] c\nSi_location pin\nTiming_location Die Pin\nSi_location\n"
         "Timing_location Die\nSi_location Pad\nsi_location Pin\n[Manufacturer] m\n"
         "[Package]\nR_pkg 1 NA NA\nL_pkg 1 NA NA\nC_pkg 1 NA NA\n" + kPins,
         "E0540 (line 5) - Invalid Si_location (\"pin\") (try \"Pin\")\n"
         "E0539 (line 6) - Incorrect Number of Line Items (3) For Timing_location: Expecting 2\n"
         "E0537 (line 7) - Si_location Already Defined For Component 'c'\n"
         "E0538 (line 7) - 'Si_location' Subparameter Missing Setting\n"
         "E0537 (line 8) - Timing_location Already Defined For Component 'c'\n"
         "E0537 (line 9) - Si_location Already Defined For Component 'c'\n"
         "E0541 (line 9) - Invalid Si_location (\"Pad\")\n"
         "E0535 (line 10) - Unknown Line after Component Description\n"},
        // Three components of one name: one 511 per pair.
        {"3.2",
         std::string(kGoodComponent) + kPins + kGoodComponent + kPins + kGoodComponent + kPins,
         "E0511 - Component 'c' is duplicated within the .ibs file.\n"
         "E0511 - Component 'c' is duplicated within the .ibs file.\n"
         "E0511 - Component 'c' is duplicated within the .ibs file.\n"},
        // Pairs are reported in the order of a walk over each component and
        // those after it, newest first.
        {"3.2",
         "[Component] a\n[Component] b\n[Component] b\n[Component] a\n",
         "E0514 - Required keyword 'Manufacturer' not defined for Component 'a'.\n"
         "E0519 - Keyword 'Package' not defined for Component 'a'.\n"
         "E0514 - Required keyword 'Manufacturer' not defined for Component 'b'.\n"
         "E0519 - Keyword 'Package' not defined for Component 'b'.\n"
         "E0514 - Required keyword 'Manufacturer' not defined for Component 'b'.\n"
         "E0519 - Keyword 'Package' not defined for Component 'b'.\n"
         "E0514 - Required keyword 'Manufacturer' not defined for Component 'a'.\n"
         "E0519 - Keyword 'Package' not defined for Component 'a'.\n"
         "E0511 - Component 'a' is duplicated within the .ibs file.\n"
         "E0511 - Component 'b' is duplicated within the .ibs file.\n"
         "E0524 - Unable to find Pin keyword data for Component 'a'.\n"
         "E0524 - Unable to find Pin keyword data for Component 'b'.\n"
         "E0524 - Unable to find Pin keyword data for Component 'b'.\n"
         "E0524 - Unable to find Pin keyword data for Component 'a'.\n"},
        // Node declarations and a call of a circuit the file lacks.
        {"5.0",
         std::string(kGoodComponent) + kPins +
             "[Node Declarations]\nn1\n[End Node Declarations]\n"
             "[Circuit Call] e\nSignal_pin 1\n[End Circuit Call]\n",
         "E1838 - (line 15) No [External Circuit] for [Circuit Call] e in Component c\n"},
        // A data line after a block's end keyword belongs to no block: an
        // error in the file, not a bug of the checker.
        {"4.2",
         std::string(kGoodComponent) + kPins +
             "[Alternate Package Models]\np1\np2\n[End Alternate Package Models]\nstray\n"
             "[End Node Declarations]\nstray\n",
         "E0502 (line 16) - Orphan data line keyword.\n"
         "E0502 (line 18) - Orphan data line keyword.\n"
         "E0516 - Unable to find Package Model 'p1' for Component 'c'\n"
         "E0516 - Unable to find Package Model 'p2' for Component 'c'\n"},
        {"5.0",
         std::string(kGoodComponent) + kPins +
             "[Node Declarations]\nn1\n[End Node Declarations]\nn2\n"
             "[Circuit Call] e\nSignal_pin 1\n[End Circuit Call]\nPort_map a n1\n",
         "E0502 (line 15) - Orphan data line keyword.\n"
         "E0502 (line 19) - Orphan data line keyword.\n"
         "E1838 - (line 16) No [External Circuit] for [Circuit Call] e in Component c\n"},
        // Before version 4.2 there is no such keyword: the component stays
        // open and the names are data for no keyword.
        {"3.2", std::string(kGoodComponent) + kPins + "[Alternate Package Models]\np1\n",
         "E0916 (line 12) - Invalid Keyword: Alternate_Package_Models\n"
         "E0907 (line 13) - Data for unknown keyword.\np1\n"},
        // [Node Declarations] twice; a circuit call name over 40 characters.
        {"4.2",
         std::string(kGoodComponent) + kPins + "[Node Declarations]\n[Node Declarations]\n"
             "[Circuit Call] " + std::string(41, 'e') + "\n",
         "E0548 (line 13) - Duplicate Node Declaration keyword found.\n"
         "E1912 (line 14) - Circuit Call string '" + std::string(41, 'e') +
             "' is too long, truncating to 40 characters.\n"
             "E1838 - (line 14) No [External Circuit] for [Circuit Call] " + std::string(40, 'e') +
             " in Component c\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(Run(c.version, c.body), c.messages);
    }
}

TEST_F(ComponentSectionTest, ClosingAComponent) {
    const std::string good = std::string(kGoodComponent) + kPins;  // lines 4-11
    const std::vector<Case> cases = {
        // [Alternate Package Models] never ended: reported by the next keyword
        // inside the component, and at the close.
        {"4.2", std::string(kGoodComponent) + "[Alternate Package Models]\n" + kPins,
         "E0504 (line 11) - Expecting End Alternate Package Models keyword\n"},
        {"4.2", good + "[Alternate Package Models]\np1\n",
         "E0504 (line 14) - Expecting End Alternate Package Models keyword\n"
         "E0516 - Unable to find Package Model 'p1' for Component 'c'\n"},
        // A [Component] that follows hears both: as the close of the first and
        // as a keyword where the end was expected.
        {"4.2", good + "[Alternate Package Models]\np1\np2\n" + good,
         "E0504 (line 15) - Expecting End Alternate Package Models keyword\n"
         "E0504 (line 15) - Expecting End Alternate Package Models keyword\n"
         "E0511 - Component 'c' is duplicated within the .ibs file.\n"
         "E0516 - Unable to find Package Model 'p1' for Component 'c'\n"
         "E0516 - Unable to find Package Model 'p2' for Component 'c'\n"},
        {"4.2", good + "[End Alternate Package Models]\n",
         "E0503 (line 12) - Unexpected End Alternate Package Models keyword\n"
         "E1603 (line 12) - Alternate Package Model has no package models defined\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(Run(c.version, c.body), c.messages);
    }

    // Any keyword outside the component closes it; so does the end of the
    // file, with or without [End].
    EXPECT_EQ(ComponentMessages(Run("3.2", "[Component] a\n[Model] m\n")),
              "E0514 - Required keyword 'Manufacturer' not defined for Component 'a'.\n"
              "E0519 - Keyword 'Package' not defined for Component 'a'.\n"
              "E0524 - Unable to find Pin keyword data for Component 'a'.\n");

    // Without [End] the last component is closed all the same.
    std::string path = Write("b.ibs", Header("3.2", "b.ibs") + "[Component] a\n");
    passed_ = CHECKPASS_CheckFile(path.c_str(), FILE_IBS, 0);
    EXPECT_EQ(Messages(Output()),
              "E0903 - Required keyword 'End' not found.\n"
              "E0514 - Required keyword 'Manufacturer' not defined for Component 'a'.\n"
              "E0519 - Keyword 'Package' not defined for Component 'a'.\n"
              "E0524 - Unable to find Pin keyword data for Component 'a'.\n");
}

TEST_F(ComponentSectionTest, PackageRows) {
    const std::string head = "[Component] c\n[Manufacturer] m\n";  // lines 4-5
    const std::vector<Case> cases = {
        {"3.2", head + "[Package] extra\nR_pkg 1m NA NA\nl_pkg 1n NA NA\nC_PKG 1p NA NA\n" + kPins,
         "E0518 (line 6) - Unknown data after Package keyword.\n"},
        {"3.2", head + "[Package]\nR_pkg 1m 2m\nR_pkg 3 1 2\nC_pkg 1p NA NA\nC_pkg 2p NA NA\n"
                "X_pkg 1 2 3\nL_pkg abc 1 2\n[Package]\n" + kPins,
         "E1202 (line 7) - Expected 4 columns in Package sub-parameter line, found 3 columns.\n"
         "W3903 (line 8) - Typ value is not in between Min and Max \n"
         "E1205 (line 10) - Duplicate C_pkg sub-parameter.\n"
         "E1206 (line 11) - Unknown Package subparameter.\n"
         "E1909 (line 12) - Invalid Typical Value (\"abc\")\n"
         "E1207 (line 12) - Unable to parse data for Package subparameter 'L_pkg'.\n"
         "E0517 (line 13) - Duplicate Package keyword.\n"
         "E1215 - Component 'c': Required sub-parameter L_pkg not found.\n"},
        {"5.0", head + "[Package]\nR_pkg NA 1 2\nL_pkg 1n NA NA\nR_pkg 1 1 1\n" + kPins,
         "E1209 (line 7) - The typical column must be specified.\n"
         "E1203 (line 9) - Duplicate R_pkg sub-parameter.\n"
         "E1217 - Component 'c': Required sub-parameter C_pkg not found.\n"},
        // A second L_pkg, in any case, keeps the first.
        {"4.2", head + "[Package]\nR_pkg 1m NA NA\nL_pkg 1n NA NA\nl_PKG 2n NA NA\nC_pkg 1p NA NA\n" +
                    kPins,
         "E1204 (line 9) - Duplicate L_pkg sub-parameter.\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(Run(c.version, c.body), c.messages);
    }

    // An indented line (the reader never hands one over) is still read.
    PKG *package = nullptr;
    ASSERT_TRUE(PKG_Create(&package));
    MSG_SetLineNumber(7);
    PKG_ParseRow(package, "  R_pkg 1m 0.5m 2m");
    EXPECT_EQ(Messages(Output()),
              "E1201 (line 7) - Package sub-parameters must start in column 1.\n");
    ASSERT_NE(package->R_pkg, nullptr);
    EXPECT_DOUBLE_EQ(package->R_pkg->typ, 1e-3);
    EXPECT_DOUBLE_EQ(package->R_pkg->max, 2e-3);
    PKG_Check(package, "c");
    EXPECT_EQ(Messages(Output()),
              "E1215 - Component 'c': Required sub-parameter L_pkg not found.\n"
              "E1217 - Component 'c': Required sub-parameter C_pkg not found.\n");
    PKG_Free(package);
}

TEST_F(ComponentSectionTest, AlternatePackageModels) {
    const std::string good = std::string(kGoodComponent) + kPins;  // lines 4-11
    const std::string name45 = std::string(45, 'q');
    const std::vector<Case> cases = {
        {"4.2", good + "[Alternate Package Models] x\n[End Alternate Package Models]\n",
         "E0521 (line 12) - Unknown data after [Alternate Package Models] keyword.\n"
         "E1603 (line 13) - Alternate Package Model has no package models defined\n"},
        {"4.2", good + "[Alternate Package Models]\np1\n[End Alternate Package Models] y\n",
         "E0522 (line 14) - Unknown data after [End Alternate Package Models] keyword.\n"
         "W1604 (line 14) - Alternate Package Model has only one package model defined\n"
         "E0516 - Unable to find Package Model 'p1' for Component 'c'\n"},
        // A name twice stays twice; a second block after names; a long name.
        {"5.0", good + "[Alternate Package Models]\np1\np1\n" + name45 +
                    "\n[End Alternate Package Models]\n[Alternate Package Models]\n"
                    "[End Alternate Package Models]\n",
         "E1605 (line 14) - Package Model Name Previously Defined (\"p1\")\n"
         "E1600 (line 15) - Invalid Package Model name: '" + name45 + "' is too long.\n"
         "E0520 (line 17) - Duplicate [Alternate Package Models] keyword.\n"
         "E0516 - Unable to find Package Model 'p1' for Component 'c'\n"
         "E0516 - Unable to find Package Model 'p1' for Component 'c'\n"
         "E0516 - Unable to find Package Model '" + name45.substr(0, 40) + "' for Component 'c'\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(Run(c.version, c.body), c.messages);
    }

    // The names stay in file order, each cut to 40 characters.
    APKG *list = nullptr;
    for (const char *name : {"a", "b", "a"})
        APKG_ParseRow(&list, name);
    APKG_ParseRow(&list, name45.c_str());
    std::string names;
    for (APKG *a = list; a != nullptr; a = a->next)
        names += std::string(a->name) + " ";
    EXPECT_EQ(names, "a b a " + name45.substr(0, 40) + " ");
    APKG_Free(list);
    Output();
}

// Package models defined in the file, or found in a .pkg file of the
// directory, which is read with its own version: the file's stays in force.
TEST_F(ComponentSectionTest, PackageModelsOfTheFileAndOfTheDirectory) {
    auto model = [](const std::string &name, const std::vector<std::string> &pins) {
        std::string s = "[Define Package Model] " + name + "\n[Manufacturer] m\n[OEM] o\n"
                        "[Description] d\n[Number Of Pins] " + std::to_string(pins.size()) +
                        "\n[Pin Numbers]\n";
        for (const std::string &p : pins)
            s += p + "\n";
        s += "[Model Data]\n";
        for (const char *matrix : {"Inductance", "Capacitance"}) {
            s += std::string("[") + matrix + " Matrix] Sparse_matrix\n";
            for (const std::string &p : pins)
                s += "[Row] " + p + "\n" + p + " 1p\n";
        }
        return s + "[End Model Data]\n[End Package Model]\n";
    };
    Write("outer.pkg", Header("2.1", "outer.pkg") + model("outer", {"1"}) + "[End]\n");
    std::string body = std::string(kGoodComponent) + "[Package Model] inner\n" + kPins +
                       "2 b GND\n[Alternate Package Models]\ninner\nouter\nmissing\n"
                       "[End Alternate Package Models]\n" + model("inner", {"1", "3"});
    EXPECT_EQ(Run("5.0", body),
              "E0613 - Pin '3' found in Package_Model 'inner' Pin_Numbers list not found in "
              "Component 'c' Pin list.\n"
              "E0516 - Unable to find Package Model 'missing' for Component 'c'\n");
    EXPECT_EQ(PARSE_GetIbisVersion(), 5);
}

}  // namespace
