// [Pin Mapping]: the header by version, the rows, and the checks of the
// buses against the POWER and GND pins, also on large shuffled tables
// against a plain reading of the rules.
#include <algorithm>
#include <random>

#include "ComponentTest.h"

namespace {

std::string Field(const char *s) { return s[0] != '\0' ? s : "-"; }

// "pin down up gclamp pclamp ext columns|" per row, "-" for an empty bus.
std::string Rows(PINMPG *rows) {
    std::string s;
    for (PINMPG *m = rows; m != nullptr; m = m->next)
        s += Field(m->pin) + " " + Field(m->pulldown_ref) + " " + Field(m->pullup_ref) + " " +
             Field(m->gnd_clamp_ref) + " " + Field(m->power_clamp_ref) + " " +
             Field(m->ext_ref) + " " + std::to_string(m->columns) + "|";
    return s;
}

class PinMappingTest : public ComponentTest {
protected:
    void RunCases(const std::vector<TableCase> &cases) {
        RunTableCases(cases, [this](IBIS *root, const std::string &body) {
            if (Names(body, "io"))
                AddModel("io", MDL_TYPE_IO);
            return Rows(root->components->pin_mappings);
        });
    }
};

const std::string kPins = "[Pin] signal_name model_name\n1 a GND\n2 b POWER\n";  // 10-12
const std::string kRows = "1 G NC\n2 NC P\n";

TEST_F(PinMappingTest, Header) {
    RunCases({
        {"4.2", kPins + "[Pin Mapping] pulldown_ref pullup_ref\n" + kRows, "",
         "1 G NC - - - 3|2 NC P - - - 3|"},
        // Six columns: fine from version 4 on, not before.
        {"4.2",
         kPins + "[Pin Mapping] PULLDOWN_REF pullup_ref gnd_clamp_ref power_clamp_ref ext_ref\n" +
             kRows,
         ""},
        {"3.2",
         kPins + "[Pin Mapping] pulldown_ref pullup_ref gnd_clamp_ref power_clamp_ref ext_ref x\n" +
             kRows,
         "E0532 (line 13) - Pin_Mappings keyword column count must be 3 or 5, found 6 "
         "columns.\n"},
        // The message names [Diff Pin], as it always has.
        {"4.2", kPins + "[Pin Mapping] pulldown_ref pullup_ref gnd_clamp_ref\n" + kRows,
         "E0526 (line 13) - [Diff Pin] keyword column count must be 3,5 or 6 found 4 columns.\n"},
        // Out of order, missing, twice, empty.
        {"5.0",
         kPins + "[Pin Mapping] pullup_ref pulldown_ref power_clamp_ref gnd_clamp_ref\n" + kRows +
             "[Pin Mapping] pulldown_ref\n",
         "E0529 (line 13) - 'pulldown_ref' column header not found or out of order.\n"
         "E0529 (line 13) - 'pullup_ref' column header not found or out of order.\n"
         "E0529 (line 13) - 'gnd_clamp_ref' column header not found or out of order.\n"
         "E0529 (line 13) - 'power_clamp_ref' column header not found or out of order.\n"
         "E0525 (line 16) - Duplicate Pin_Mapping keyword found.\n"},
        {"5.0", kPins + "[Pin Mapping]\n" + kRows,
         "E0528 (line 13) - Unable to find column headers after Pin_Mapping keyword.\n"},
    });
}

TEST_F(PinMappingTest, Rows) {
    const std::string header3 = kPins + "[Pin Mapping] pulldown_ref pullup_ref\n";  // 13
    RunCases({
        // NA is taken as a bus name; a name over 15 characters is cut.
        {"4.2", header3 + "1 G na\n2 NC P1234567890123456\n",
         "E0729 (line 14) - na is an invalid Pin_Mapping column entry.\n"
         "E1912 (line 15) - pullup_ref string 'P1234567890123456' is too long, truncating to 15 "
         "characters.\n"
         "W0711 - Component c Pin 1 is a GND pin. Usually only has Pulldown_ref in Pin Mapping\n",
         "1 G na - - - 3|2 NC P12345678901234 - - - 3|"},
        // Five columns under three; too few; too many; a pin twice.
        {"4.2", header3 + "1 G NC NC NC\n2\n2 NC P NC NC NC x\n",
         "E0706 (line 14) - When 5 columns are specified, the headings gnd_clamp_ref and "
         "power_clamp_ref must be used.\n"
         "E0702 (line 15) - No pulldown_ref data.\n"
         "E0703 (line 15) - No pullup_ref data.\n"
         "E0704 (line 15) - Pin Mapping data lines must contain either 3, 5 or 6 columns.\n"
         "E0700 (line 16) - Extra data columns on this line.\n"
         "E0707 (line 16) - When 6 columns are specified, the headings gnd_clamp_ref, "
         "power_clamp_ref and ext_ref must be used.\n"
         "E0708 (line 16) - Duplicate Pin Mapping Pin.\n"
         "W0709 - Component c Pin 2 is a POWER pin. Usually only has Pullup_ref in Pin Mapping\n",
         "1 G NC NC NC - 5|2 - - - - - 1|2 NC P NC NC NC 6|"},
        // Six columns before version 4.
        {"3.2", header3 + "1 G NC\n2 NC P NC NC NC\n",
         "E0705 (line 15) - Pin Mapping data lines must contain either 3 or 5 columns.\n"},
    });
}

// A pin is found at its first row, and only a pin that has a row.
TEST_F(PinMappingTest, LookupsByPin) {
    auto lookups = [](IBIS *root, const std::string &) {
        PINMPG *rows = root->components->pin_mappings;
        std::string s;
        for (const char *pin : {"1", "2", "3", "10", ""}) {
            const PINMPG *row = PINMPG_FindByPin(pin, rows);
            s += std::string(pin) + (PINMPG_Contains(rows, pin) ? "+" : "-") +
                 (row != nullptr ? row->pulldown_ref : "") + " ";
        }
        return s;
    };
    const std::string header = kPins + "[Pin Mapping] pulldown_ref pullup_ref\n";  // 13
    RunTableCases(
        {
            {"4.2", header + "1 G NC\n3 X NC\n2 NC P\n1 Y NC\n",
             "E0708 (line 17) - Duplicate Pin Mapping Pin.\n"
             "E0715 - Component 'c': Pin Mapping Pin '3' not previously declared in Pin section.\n"
             "E0716 - Component 'c': Pin Mapping pulldown_ref entry 'X' is not connected to at "
             "least one pin whose model_name is POWER or GND.\n",
             "1+G 2+NC 3+X 10- - "},
            {"4.2", kPins, "", "1- 2- 3- 10- - "},
        },
        lookups);
}

TEST_F(PinMappingTest, BusChecks) {
    // Pins 1-4 are signals; 5, 7 GND; 6, 8 POWER; 9 NC.
    const std::string pins = "[Pin] signal_name model_name\n1 a io\n2 b io\n3 c io\n4 d io\n"
                             "5 g GND\n6 v POWER\n7 g2 GND\n8 v2 POWER\n9 n NC\n";
    const std::string header = "[Pin Mapping] pulldown_ref pullup_ref gnd_clamp_ref "
                               "power_clamp_ref ext_ref\n";
    const std::string rows =
        "1 G P G P P\n"       // each carried as it should be
        "2 VB GB VB GB G\n"   // each carried by a pin of the other kind
        "3 X Y Z W U\n"       // carried by nothing
        "4 NC nc NC NC NC\n"  // nothing used
        "5 G NC G NC NC\n"    // GND with a clamp
        "6 VB P NC NC NC\n"   // POWER with a pulldown
        "7 GB GB NC NC NC\n"  // GND whose bus is also a pullup
        "8 NC P NC NC NC\n"
        "9 NC NC NC NC X\n"   // NC with a reference, checked as a signal's
        "10 G P NC NC NC\n";  // no such pin
    // The same rules below version 4: the short texts, no ext_ref.
    const std::string pins32 = "[Pin] signal_name model_name\n1 a io\n5 g GND\n6 v POWER\n"
                               "7 g2 GND\n9 n NC\n";
    const std::string rows32 = "[Pin Mapping] pulldown_ref pullup_ref gnd_clamp_ref "
                               "power_clamp_ref\n5 G NC G NC\n6 VB P NC NC\n7 GB GB NC NC\n"
                               "9 NC NC NC X\n1 G P G P\n";
    RunCases({
        {"4.2", pins + header + rows,
         "W0711 - Component c Pin 5 is a GND pin. Usually only has Pulldown_ref in Pin Mapping\n"
         "W0709 - Component c Pin 6 is a POWER pin. Usually only has Pullup_ref in Pin Mapping\n"
         "W0711 - Component c Pin 7 is a GND pin. Usually only has Pulldown_ref in Pin Mapping\n"
         "W0713 - Component c Pin 9 is NC. Should not have any references in Pin Mapping\n"
         "E0715 - Component 'c': Pin Mapping Pin '10' not previously declared in Pin section.\n"
         "W0717 - Component 'c': Pin Mapping 'VB': pulldown_ref entry is usually connected to "
         "GND.\n"
         "E0716 - Component 'c': Pin Mapping pulldown_ref entry 'X' is not connected to at least "
         "one pin whose model_name is POWER or GND.\n"
         "W0718 - Component c: Pulldown Reference GB is also used as a Pullup Reference\n"
         "W0721 - Component 'c': Pin Mapping 'GB': pullup_ref entry is usually connected to "
         "POWER.\n"
         "E0720 - Component 'c': Pin Mapping pullup_ref entry 'Y' is not connected to at least "
         "one pin whose model_name is POWER or GND.\n"
         "W0723 - Component 'c': Pin Mapping 'VB': gnd_clamp_ref entry is usually connected to "
         "GND.\n"
         "E0722 - Component 'c': Pin Mapping gnd_clamp_ref entry 'Z' is not connected to at "
         "least one pin whose model_name is POWER or GND.\n"
         "W0725 - Component 'c': Pin Mapping 'GB': power_clamp_ref entry is usually connected "
         "to POWER.\n"
         "E0724 - Component 'c': Pin Mapping power_clamp_ref entry 'W' is not connected to at "
         "least one pin whose model_name is POWER or GND.\n"
         "W0727 - Component 'c': Pin Mapping 'G': ext_ref entry is usually connected to POWER.\n"
         "E0726 - Component 'c': Pin Mapping ext_ref entry 'U' is not connected to at least one "
         "pin whose model_name is POWER or GND.\n"
         "E0726 - Component 'c': Pin Mapping ext_ref entry 'X' is not connected to at least one "
         "pin whose model_name is POWER or GND.\n"},
        {"3.2", pins32 + rows32,
         "W0712 - Pin 5 is a GND pin. Usually only has Pulldown_ref in Pin Mapping\n"
         "W0710 - Pin 6 is a POWER pin. Usually only has Pullup_ref in Pin Mapping\n"
         "W0712 - Pin 7 is a GND pin. Usually only has Pulldown_ref in Pin Mapping\n"
         "W0714 - Pin 9 is NC. Should not have any references in Pin Mapping\n"
         "W0719 - Pulldown Reference GB is also used as a Pullup Reference\n"
         "E0724 - Component 'c': Pin Mapping power_clamp_ref entry 'X' is not connected to at "
         "least one pin whose model_name is POWER or GND.\n"},
        // The first POWER or GND row carrying a bus decides, whatever follows.
        {"4.2",
         "[Pin] signal_name model_name\n1 a io\n2 v POWER\n3 g GND\n"
         "[Pin Mapping] pulldown_ref pullup_ref\n1 B P\n2 B P\n3 B NC\n",
         "W0709 - Component c Pin 2 is a POWER pin. Usually only has Pullup_ref in Pin Mapping\n"
         "W0717 - Component 'c': Pin Mapping 'B': pulldown_ref entry is usually connected to "
         "GND.\n"},
        // Without [Pin], no row is checked.
        {"4.2", "[Pin Mapping] pulldown_ref pullup_ref\n1 X Y\n",
         "E0524 - Unable to find Pin keyword data for Component 'c'.\n"},
    });
}

// The rules read plainly: every pin looked up by a walk of [Pin], every bus
// by a walk of the rows in list order.
struct PlainCheck {
    PIN *pins;
    PINMPG *rows;
    int version;
    const char *component = "c";

    int Kind(const char *pin) const {  // 0 signal, 1 POWER, 2 GND
        for (PIN *p = pins; p != nullptr; p = p->next)
            if (strcmp(p->pin, pin) == 0)
                return CMN_StrEqualNoCase(p->model_name, "POWER") ? 1
                       : CMN_StrEqualNoCase(p->model_name, "GND") ? 2
                                                                  : 0;
        return 0;
    }
    static bool Used(const char *bus) { return bus[0] != 0 && !CMN_StrEqualNoCase(bus, "NC"); }
    void Say(bool warning, int code, const char *a, const char *b = nullptr) const {
        if (warning)
            b != nullptr ? MSG_WarningFrom(MSGSRC_PINMPG, code, a, b)
                         : MSG_WarningFrom(MSGSRC_PINMPG, code, a);
        else
            MSG_ErrorFrom(MSGSRC_PINMPG, code, a, b);
    }
    // fine: the kind of pin the bus should reach; down, up: carrier columns.
    void Decide(const PINMPG *r, const char *bus, bool down, bool up, int fine, int warning,
                int error) const {
        for (PINMPG *m = rows; m != nullptr; m = m->next)
            if (m != r && ((down && strcmp(m->pulldown_ref, bus) == 0) ||
                           (up && strcmp(m->pullup_ref, bus) == 0)) &&
                Kind(m->pin) != 0) {
                if (Kind(m->pin) != fine)
                    Say(true, warning, component, bus);
                return;
            }
        Say(false, error, component, bus);
    }
    void Run() const {
        for (PIN *p = pins; p != nullptr; p = p->next) {
            PINMPG *m = rows;
            while (m != nullptr && strcmp(m->pin, p->pin) != 0)
                m = m->next;
            if (m == nullptr)
                continue;
            bool down = Used(m->pulldown_ref), up = Used(m->pullup_ref);
            bool clamps = Used(m->gnd_clamp_ref) || Used(m->power_clamp_ref);
            int code = 0;
            if (CMN_StrEqualNoCase(p->model_name, "POWER") && !(up && !down && !clamps))
                code = 709;
            if (CMN_StrEqualNoCase(p->model_name, "GND") && !(down && !up && !clamps))
                code = 711;
            if (CMN_StrEqualNoCase(p->model_name, "NC") && (down || up || clamps || Used(m->ext_ref)))
                code = 713;
            if (code != 0)
                version >= 4 ? Say(true, code, component, p->pin) : Say(true, code + 1, p->pin);
        }
        for (PINMPG *r = rows; r != nullptr; r = r->next) {
            PIN *p = pins;
            while (p != nullptr && strcmp(p->pin, r->pin) != 0)
                p = p->next;
            if (p == nullptr)
                Say(false, 715, component, r->pin);
        }
        for (PINMPG *r = rows; r != nullptr; r = r->next) {
            if (!Used(r->pulldown_ref))
                continue;
            if (Kind(r->pin) == 0) {
                Decide(r, r->pulldown_ref, true, false, 2, 717, 716);
                continue;
            }
            for (PINMPG *m = rows; m != nullptr; m = m->next)
                if (strcmp(m->pullup_ref, r->pulldown_ref) == 0) {
                    version >= 4 ? Say(true, 718, component, r->pulldown_ref)
                                 : Say(true, 719, r->pulldown_ref);
                    break;
                }
        }
        struct {
            char (PINMPG::*field)[16];
            bool down, up;
            int fine, warning, error;
        } const refs[] = {{&PINMPG::pullup_ref, false, true, 1, 721, 720},
                          {&PINMPG::gnd_clamp_ref, true, false, 2, 723, 722},
                          {&PINMPG::power_clamp_ref, false, true, 1, 725, 724},
                          {&PINMPG::ext_ref, true, true, 1, 727, 726}};
        for (const auto &ref : refs)
            for (PINMPG *r = rows; r != nullptr; r = r->next)
                if ((ref.field != &PINMPG::ext_ref || version >= 4) && Used(r->*ref.field) &&
                    Kind(r->pin) == 0)
                    Decide(r, r->*ref.field, ref.down, ref.up, ref.fine, ref.warning, ref.error);
    }
};

TEST_F(PinMappingTest, IndexedChecksSayWhatThePlainRulesSay) {
    std::mt19937 random(15);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char *const models[] = {"io", "POWER", "GND", "NC", "gnd", "Power"};
    const char *const buses[] = {"", "NC", "nc", "A", "B", "C", "D"};
    int messages = 0;
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        PIN *pins = nullptr;
        PINMPG *rows = nullptr;
        PIN_COLUMN_MAP map = {0, 1, 2};
        for (int n = pick(12); n > 0; --n) {
            PIN *pin = nullptr;
            std::string row = std::to_string(pick(10)) + " s " + models[pick(6)];
            ASSERT_TRUE(PIN_ParseRow(row.c_str(), 3, &pin, &map));
            PIN_Append(&pins, pin);
        }
        for (int n = pick(14); n > 0; --n) {
            PINMPG *row = nullptr;
            ASSERT_TRUE(PINMPG_Create(&row));
            strcpy(row->pin, std::to_string(pick(11)).c_str());
            for (char *bus : {row->pulldown_ref, row->pullup_ref, row->gnd_clamp_ref,
                              row->power_clamp_ref, row->ext_ref})
                strcpy(bus, buses[pick(7)]);
            PINMPG_Append(&rows, row);
        }
        Output();
        const int version = 3 + pick(3);
        PARSE_SetIbisVersion(version);
        PINMPG_CheckAll(rows, pins, "c");
        std::string indexed = Output();
        if (pins != nullptr)
            PlainCheck{pins, rows, version}.Run();
        std::string plain = Output();
        ASSERT_EQ(indexed, plain);
        messages += static_cast<int>(std::count(plain.begin(), plain.end(), '\n'));
        PIN_Free(pins);
        PINMPG_Free(rows);
    }
    EXPECT_GT(messages, 1000);
}

}  // namespace
