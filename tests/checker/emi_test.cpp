// [Begin EMI Component] blocks: sub-parameters, [Pin EMI], [Pin Domain EMI],
// the close of a block, and the end checks of its pins and domains.
#include "ComponentTest.h"
#include "IbisParser/cmpntemi.h"
#include "IbisParser/pinemi.h"

namespace {

std::string Value(const double *v) {
    if (v == nullptr)
        return "-";
    char buf[32];
    snprintf(buf, sizeof buf, "%g", *v);
    return buf;
}

// "domain Cpd gnd float|", then "pin domain div|" per [Pin EMI] row, then
// "domain=pct|" per [Pin Domain EMI] row; "-" for a value not given.
std::string Block(const CMPNTEMI *e) {
    if (e == nullptr)
        return "none";
    std::string s = std::to_string(e->domain) + " " + Value(e->Cpd) + " " +
                    Value(e->C_Heatsink_gnd) + " " + Value(e->C_Heatsink_float) + "|";
    for (PINEMI *p = e->pin_emi; p != nullptr; p = p->next)
        s += std::string(p->pin_name) + " " + p->domain_name + " " +
             (p->clock_div_state == CMN_VALUE_NUMBER ? Value(&p->clock_div)
              : p->clock_div_state == CMN_VALUE_NA   ? "NA"
                                                     : "-") +
             "|";
    if (e->pin_domains != nullptr)
        for (CMPNTEMI_DOMAIN *d = e->pin_domains->first; d != nullptr; d = d->next)
            s += std::string(d->domain_name) + "=" + Value(d->percentage) + "|";
    return s;
}

class EmiTest : public ComponentTest {
protected:
    void RunCases(const std::vector<TableCase> &cases) {
        RunTableCases(cases, [this](IBIS *root, const std::string &body) {
            if (Names(body, "io"))
                AddModel("io", MDL_TYPE_IO);
            return Block(root->components->emi);
        });
    }
};

// Pins 1 (a signal) and 2 (GND); the block starts on line 13.
const std::string kPins = "[Pin] signal_name model_name\n1 a io\n2 b GND\n";

TEST_F(EmiTest, SubParameters) {
    const std::string begin = kPins + "[Begin EMI Component]\n";
    RunCases({
        {"5.0", begin + "Domain Digital_Analog\nCpd = 1p\nC_Heatsink_gnd=2p\n[End EMI Component]\n", "",
         "3 1e-12 2e-12 -|"},
        {"5.0", begin + "[End EMI Component]\n",
         "W4712 (line 14) - Empty Emi Component block found\n", "0 - - -|"},
        // Twice; the case; a missing value; a value too many. A line that is
        // not read forgets the value, and the block ends empty.
        {"5.0", begin + "Domain Analog\nDomain digital\nDomain\nDomain Analog x\n[End EMI Component]\n",
         "E4701 (line 15) - Domain Already Defined For EMI Component\n"
         "E4720 (line 15) - Invalid Domain (\"digital\") (try \"Digital\")\n"
         "E4718 (line 16) - 'Domain' Subparameter Missing Setting\n"
         "E4719 (line 17) - Incorrect Number of Line Items (3) For Domain: Expecting 2\n"
         "W4712 (line 18) - Empty Emi Component block found\n",
         "0 - - -|"},
        // Values: no '=', twice, not a number, one item too many; a line that
        // cannot be read still gives the value.
        {"5.0", begin + "Cpd 1p\nCpd = 2p\nC_Heatsink_gnd = x\nC_Heatsink_float = 1p 2\n"
                 "Rpd = 1\n[End EMI Component]\n",
         "E4723 (line 14) - Invalid Cpd Line\n"
         "E4701 (line 15) - Cpd Already Defined For EMI Component\n"
         "E4721 (line 16) - Invalid C_Heatsink_gnd (\"x\")\n"
         "E4715 (line 17) - C_Heatsink_float cannot be specified since C_Heatsink_gnd is "
         "already specified\n"
         "E4719 (line 17) - Incorrect Number of Line Items (4) For C_Heatsink_float: "
         "Expecting 3\n"
         "E4716 (line 18) - Unknown Line after [Begin EMI Component]\n",
         "0 0 0 1e-12|"},
        {"5.0", begin + "C_Heatsink_float=3p\nC_Heatsink_gnd = 1p\n[End EMI Component] x\n",
         "E4714 (line 15) - C_Heatsink_gnd cannot be specified since C_Heatsink_float is "
         "already specified\n"
         "E4704 (line 16) - Unexpected data 'x' found after the Keyword\n",
         "0 - 1e-12 3e-12|"},
    });
}

TEST_F(EmiTest, BlocksAndOrphans) {
    RunCases({
        // Another keyword inside the block; the component ends it.
        {"5.0", kPins + "[Begin EMI Component] x\nDomain Analog\n[Package Model] p\n",
         "E4704 (line 13) - Unexpected data 'x' found after the Keyword\n"
         "E0553 (line 15) - Unexpected Keyword in a [Component EMI] block\n"
         "E4711 (line 16) - [End EMI Component] expected\n"
         "E0516 - Unable to find Package Model 'p' for Component 'c'\n",
         "1 - - -|"},
        // A second block while the first is open, and after it was closed:
        // only the last block's data remains.
        {"5.0", kPins + "[Begin EMI Component]\nDomain Analog\n[Begin EMI Component]\nCpd = 1p\n"
                 "[End EMI Component]\n[Begin EMI Component]\nCpd = 2p\n[End EMI Component]\n",
         "E0553 (line 15) - Unexpected Keyword in a [Component EMI] block\n"
         "E4703 (line 15) - [Emi Component] is already defined for this Component\n"
         "E4703 (line 18) - [Emi Component] is already defined for this Component\n",
         "0 2e-12 - -|"},
        // Lines of the block's keywords with no block open.
        {"5.0", kPins + "[End EMI Component]\nx\n[Pin EMI] domain_name clock_div\n1 d 1\n",
         "E4705 (line 13) - Orphan keyword line.\n"
         "E4706 (line 14) - Orphan data line\n"
         "E4705 (line 15) - Orphan keyword line.\n"
         "E4706 (line 16) - Orphan data line\n",
         "none"},
    });
}

TEST_F(EmiTest, PinEmi) {
    const std::string begin = kPins + "[Begin EMI Component]\n";  // 13
    RunCases({
        {"5.0", begin + "[Pin EMI] DOMAIN_NAME clock_div x\n1 d 1\n1 NA na\n3 GND 123456 y\n4 d\n"
                 "[Pin EMI] domain_name clock_div\n[End EMI Component]\n",
         "E4704 (line 14) - Unexpected data 'x' found after the Keyword\n"
         "E4906 (line 16) - Duplicate Pin '1'\n"
         "E4905 (line 17) - Unexpected data 'y' after clock_div\n"
         "E1916 (line 17) - Illegal use of Reserved Word 'GND'.\n"
         "E4904 (line 17) - clock_div should be at most 5 characters long\n"
         "E4903 (line 18) - clock_div not found\n"
         "E4729 (line 19) - [Pin EMI]: Already defined for this EMI Component.\n"
         "E4909 - Component 'c': pin_name '3' found in [Pin EMI] section was not found in the "
         "[Pin] section\n"
         "E4909 - Component 'c': pin_name '4' found in [Pin EMI] section was not found in the "
         "[Pin] section\n",
         "0 - - -|1 d 1|1 NA NA|3 GND 123456|4 d -|"},
        {"5.0", begin + "[Pin EMI] domain_name\n[Pin EMI]\n[End EMI Component]\n",
         "E4731 (line 14) - 'clock_div' column header not found or out of order.\n"
         "E4730 (line 15) - Unable to find column headers after [Pin EMI] keyword.\n"
         "W4712 (line 16) - Empty Emi Component block found\n"},
        // A row of the pin alone: both other columns missing.
        {"5.0", begin + "[Pin EMI] domain_name clock_div\n1\n[End EMI Component]\n",
         "E4902 (line 15) - domain_name not found\n"
         "E4903 (line 15) - clock_div not found\n",
         "0 - - -|1  -|"},
        // A row for a pin without a model.
        {"5.0", begin + "[Pin EMI] domain_name clock_div\n2 d 1\n1 d 2\n[End EMI Component]\n",
         "E4911 - Component 'c': Pin '2' is of model 'GND' and cannot be referened in a [Pin "
         "EMI] section\n"},
        // A component without [Pin]: every row's pin is missing.
        {"5.0", "[Begin EMI Component]\n[Pin EMI] domain_name clock_div\n1 d 1\n[End EMI Component]\n",
         "E0524 - Unable to find Pin keyword data for Component 'c'.\n"
         "E4909 - Component 'c': pin_name '1' found in [Pin EMI] section was not found in the "
         "[Pin] section\n"},
    });
}

// A pin is found at its first [Pin EMI] row, and only a pin that has a row.
TEST_F(EmiTest, LookupsByPin) {
    auto lookups = [this](IBIS *root, const std::string &) {
        AddModel("io", MDL_TYPE_IO);
        const CMPNTEMI *e = root->components->emi;
        PINEMI *rows = e != nullptr ? e->pin_emi : nullptr;
        std::string s;
        for (const char *pin : {"1", "2", "3", "10", ""}) {
            const PINEMI *row = PINEMI_FindByPin(rows, pin);
            s += std::string(pin) + (PINEMI_Exists(rows, pin) ? "+" : "-") +
                 (row != nullptr ? row->domain_name : "") + " ";
        }
        return s;
    };
    const std::string begin = kPins + "[Begin EMI Component]\n[Pin EMI] domain_name clock_div\n";
    RunTableCases(
        {
            {"5.0", begin + "1 d 1\n3 e 2\n1 f 3\n[End EMI Component]\n",
             "E4906 (line 17) - Duplicate Pin '1'\n"
             "E4909 - Component 'c': pin_name '3' found in [Pin EMI] section was not found in the "
             "[Pin] section\n",
             "1+d 2- 3+e 10- - "},
            {"5.0", begin + "[End EMI Component]\n",
             "W4712 (line 15) - Empty Emi Component block found\n", "1- 2- 3- 10- - "},
        },
        lookups);
}

TEST_F(EmiTest, PinDomainEmi) {
    const std::string begin =
        kPins + "[Begin EMI Component]\n[Pin EMI] domain_name clock_div\n3 d 1\n";  // 13-15
    const std::string tail = "[End EMI Component]\n";
    RunCases({
        {"5.0", begin + "[Pin Domain EMI] percentage\nd 50\nd 60\nz 0\nq abc\ny 123456\nw\nv 1 2\n" +
             tail,
         "E4727 (line 18) - domain_name 'd' is redefined\n"
         "E4728 (line 19) - Invalid percentage '0'. Should be greater than 0 and less than equal "
         "to 100\n"
         "E4728 (line 20) - Invalid percentage 'abc'. Invalid Number\n"
         "E4728 (line 21) - Invalid percentage '123456'. Should be specified using at most 5 "
         "characters\n"
         "E4728 (line 21) - Invalid percentage '123456'. Should be greater than 0 and less than "
         "equal to 100\n"
         "E4719 (line 22) - Incorrect Number of Line Items (1) For Pin Domain EMI: Expecting 2\n"
         "E4719 (line 23) - Incorrect Number of Line Items (3) For Pin Domain EMI: Expecting 2\n"
         "E4908 - Component 'c': domain_name 'z' found in [Pin Domain EMI] section was not "
         "associated with any pin_name in the [Pin EMI] section\n"
         "E4908 - Component 'c': domain_name 'y' found in [Pin Domain EMI] section was not "
         "associated with any pin_name in the [Pin EMI] section\n"
         "E4908 - Component 'c': domain_name 'v' found in [Pin Domain EMI] section was not "
         "associated with any pin_name in the [Pin EMI] section\n"
         "E4909 - Component 'c': pin_name '3' found in [Pin EMI] section was not found in the "
         "[Pin] section\n",
         "0 - - -|3 d 1|d=50|z=0|y=123456|v=1|"},
        // The keyword's parameter; a second table replaces the first.
        {"5.0", begin + "[Pin Domain EMI]\nd 10\n[Pin Domain EMI] percent\n[Pin Domain EMI] percentage "
                 "x\nd 20\n" + tail,
         "E4725 (line 16) - Expected 'percentage' parameter after keyword\n"
         "E4724 (line 18) - [Pin Domain EMI]: Already Defined for this EMI Component\n"
         "E4726 (line 18) - Unknown parameter 'percent': Expected 'percentage'\n"
         "E4724 (line 19) - [Pin Domain EMI]: Already Defined for this EMI Component\n"
         "E4719 (line 19) - Incorrect Number of Line Items (3) For Pin Domain EMI: Expecting 2\n"
         "E4909 - Component 'c': pin_name '3' found in [Pin EMI] section was not found in the "
         "[Pin] section\n",
         "0 - - -|3 d 1|d=20|"},
    });
}

}  // namespace
