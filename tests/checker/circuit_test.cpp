// [Node Declarations], [Circuit Call] and the connections the calls of a
// component make: each case is a file body (after a 3-line header) and the
// messages it gives.
#include "ComponentTest.h"

#include "IbisParser/node.h"
#include "IbisParser/stringlist.h"

namespace {

struct Case {
    const char *title;
    std::string body;
    std::string messages;
};

// A SPICE circuit of two ports, lines 4-8.
const std::string kSpice =
    "[External Circuit] s\nLanguage SPICE\nCorner Typ s.sp s\nPorts a b\n[End External Circuit]\n";

// A component of three pins, two of them CIRCUITCALL, and its declared
// nodes: ten lines, then [Node Declarations] and its end.
std::string Component(const std::string &nodes) {
    return "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\nL_pkg 1n NA NA\n"
           "C_pkg 1p NA NA\n[Pin] signal_name model_name\n1 s1 CIRCUITCALL\n2 s2 CIRCUITCALL\n"
           "3 s3 GND\n[Node Declarations]\n" + nodes + "\n[End Node Declarations]\n";
}

const std::string kTooMany =
    "Too Many Signal Pins (only one instance of Signal_pin, Diff_signal_pins, or Series_pins is "
    "allowed) ";

std::string Floating(const std::string &node, const std::string &trailer) {
    return "E1821 - Component <c> Floating Node <" + node + "> (1 connection)" + trailer + "\n";
}
std::string Conflict(int call, const std::string &node, const std::string &port, const std::string &kinds) {
    return "\n        [CCALL] Line " + std::to_string(call) + " Node <" + node +
           ">, Conflicting port = Port <" + port + "> = " + kinds;
}
std::string Conflict(int call, const std::string &node, int row, const std::string &port,
                     const std::string &kinds) {
    return "\n        [CCALL] Line " + std::to_string(call) + " Node <" + node +
           ">, Conflicting port = Line <" + std::to_string(row) + "> Port <" + port + "> = " + kinds;
}
std::string Floats(int call, int circuit, const std::string &port) {
    return "E1817 - Circuit Call Line " + std::to_string(call) + " instantiates  External Circuit at " +
           std::to_string(circuit) + " with Floating Internal Node <" + port + "> type ANALOG \n";
}

const Case kCases[] = {
    {"the lines of a call", kSpice + Component("n1 n2 n3") +  // 4-21
         "[Circuit Call] s\nSignal_pin 1\nSignal_pin 2\nDiff_signal_pins 1\n"  // 22-25
         "Series_pins 1 2 3\nPort_map a\nPort_map a n1\nPort_map a n2\n"        // 26-29
         "Port_map b 1 extra\nPin_map a b\nSignal_pin\n[End Circuit Call]\n",  // 30-33
     "E1800 (line 24) - " + kTooMany + "<2>\n"
     "E1805 (line 25) - Not Enough arguments to Diff_signal_pins\n"
     "E1800 (line 26) - " + kTooMany + "<2>\n"
     "E1806 (line 26) - Extra Charaters on PIN line <3>\n"
     "E1807 (line 27) - Missing port or pad name in Port_map\n"
     "E1801 (line 29) - Redundant use of port <a>\n"
     "E1804 (line 31) - Illegal parameter <Pin_map>\n"
     "E1805 (line 32) - Not Enough arguments to Signal_pin\n"
     "E1842 - CMPT <c>, [CIRCUIT CALL] at (line 22) references same pin twice: <1>\n" +
         Floating("n1", Conflict(22, "n1", "a", "ANALOG "))},

    {"reference pins and unknown circuits", kSpice + Component("n1") +  // 4-21
         "[Circuit Call] s\nDiff_signal_pins 1 1\nPort_map a 1\nPort_map b n1\n"  // 22-25
         "[End Circuit Call]\n[Circuit Call] s\nSeries_pins 3 9\nPort_map a n1\n"  // 26-29
         "Port_map b 3\n[End Circuit Call]\n[Circuit Call] s\nSignal_pin 2\n"      // 30-33
         "[End Circuit Call]\n[Circuit Call] t\n[End Circuit Call]\n",             // 34-36
     "E1838 - (line 35) No [External Circuit] for [Circuit Call] t in Component c\n"
     "E1840 - [Circuit Call] at (line 27) first reference pin <3> is not declared CIRCUITCALL in "
     "[Pin] section\n"
     "E1839 - CMPT <c>, [Circuit Call] at (line 27) refererences illegal pin: <9>\n"
     "E1842 - CMPT <c>, [CIRCUIT CALL] at (line 22) references same pin twice: <1>\n" +
         Floats(32, 4, "b") + Floats(32, 4, "a") +
         "E1823 - Component <c> Floating Pin <2> (no connections but used in CIRCIUT CALL)\n"},

    // Each call adds its connections to one table: a node that two calls
    // share is not floating.
    {"a declared node shared by two calls", kSpice + Component("n1 n2 n3") +  // 4-21
         "[Circuit Call] s\nPort_map a n1\nPort_map b n2\n[End Circuit Call]\n"  // 22-25
         "[Circuit Call] s\nPort_map a n1\nPort_map b nx\nPort_map q n3\n"        // 26-29
         "[End Circuit Call]\n",
     "E1845 - [Circuit Call] at (line 26), no port <q> in [External Circuit] s\n"
     "E1846 - [Circuit Call] at (line 26), no node/pin <nx> in Component c\n" +
         Floats(26, 4, "b") + Floating("n2", Conflict(22, "n2", "b", "ANALOG ")) +
         "W1822 - Component <c> Unused Node <n3> (0 connection)\n"},

    {"digital ports",
     "[External Circuit] d\nLanguage SPICE\nCorner Typ d.sp d\nPorts out ref\n"         // 4-7
     "D_to_A dig out ref 0 1 1n 1n\nA_to_D rcv out ref 0 1\n[End External Circuit]\n"  // 8-10
     "[External Circuit] v\nLanguage VHDL-AMS\nCorner Typ v.vhd v\n"                    // 11-13
     "Ports D_drive D_receive x\n[End External Circuit]\n" +                            // 14-15
         Component("n1 n2 n3 n4") +                                                     // 16-28
         "[Circuit Call] v\nSignal_pin 2\nPort_map D_receive n1\nPort_map D_drive 1\n"  // 29-32
         "Port_map x n4\n[End Circuit Call]\n[Circuit Call] v\nPort_map D_receive n2\n" // 33-36
         "Port_map x n2\nPort_map D_drive n4\n[End Circuit Call]\n"                    // 37-39
         "[Circuit Call] d\nPort_map dig n3\nPort_map out 2\nPort_map ref 2\n"          // 40-43
         "[End Circuit Call]\n",
     Floating("n1", Conflict(29, "n1", "D_receive", "DIGITAL ")) +
         "E1827 - Component <c> Node: <n1> has a digital driver but no digital receiver" +
         Conflict(29, "n1", "D_receive", "DIGITAL DIGITAL_DRIVER ") + "\n"
         "E1824 - Component c Node <1>: is analog and digital" +
         Conflict(29, "1", "D_drive", "DIGITAL DIGITAL_RECEIVER ") + "\n"
         "E1825 - Component <c> Node: <1> has a digital receiver but no digital driver" +
         Conflict(29, "1", "D_drive", "DIGITAL DIGITAL_RECEIVER ") + "\n"
         "E1834 - Component <c> Pin <1> Used as Digital in CIRCUIT CALL(s)(pins are analog)" +
         Conflict(29, "1", "D_drive", "DIGITAL DIGITAL_RECEIVER ") + "\n"
         "W1828 - Component <c> Node: <n2> has a digital driver but no obvious digital receiver\n"
         "        This indicates connection to a AMS port that 'may' be digital " +
         Conflict(35, "n2", "D_receive", "DIGITAL DIGITAL_DRIVER ") + "\n"
         "W1826 - Component <c> Node: <n4> has a digital receiver but no obvious digital driver\n"
         "        This indicates connection to a AMS port that 'may' be digital " +
         Conflict(35, "n4", "D_drive", "DIGITAL DIGITAL_RECEIVER ") + "\n" +
         Floating("n3", Conflict(40, "n3", 8, "dig", "DIGITAL ")) +
         "E1825 - Component <c> Node: <n3> has a digital receiver but no digital driver" +
         Conflict(40, "n3", 8, "dig", "DIGITAL DIGITAL_RECEIVER ") + "\n"},

    {"analog drivers and references",
     "[External Circuit] g\nLanguage SPICE\nCorner Typ g.sp g\nPorts p q A_gnd\n"        // 4-7
     "D_to_A d1 p q 0 1 1n 1n\nD_to_A d2 p q 0 1 1n 1n\nA_to_D r1 A_gnd A_gnd 0 1\n"  // 8-10
     "[End External Circuit]\n" +                                                        // 11
         Component("n1 n2") +                                                            // 12-24
         "[Circuit Call] g\nPort_map p 1\nPort_map q n1\nPort_map A_gnd n2\n"           // 25-28
         "[End Circuit Call]\n",
     // the circuit's own end checks
     "E0255 - External Model D2A Line <9> Illegal connection, 2 analog reference/driver ports <p> <q>\n"
     "E0255 - External Model D2A Line <8> Illegal connection, 2 analog reference/driver ports <p> <q>\n"
     "E1816 - CCALL Line <25> A2D Line <10> Illegal connection, 2 analog reference/driver ports "
     "<A_gnd>=<n2> <A_gnd>=<n2>\n"
     "E1819 - CCALL Line <25> A2D Line <9> Illegal connection,\n"
     "        2 analog reference/driver ports <p>=<1> <q>=<n1>" +
         Conflict(25, "1", 9, "p", "ANALOG_REFERENCE ANALOG_DRIVER ") +
         Conflict(25, "1", 8, "p", "ANALOG_REFERENCE ANALOG_DRIVER ") +
         Conflict(25, "n1", 9, "q", "ANALOG_REFERENCE ANALOG_DRIVER ") +
         Conflict(25, "n1", 8, "q", "ANALOG_REFERENCE ANALOG_DRIVER ") + "\n"
         "E1819 - CCALL Line <25> A2D Line <8> Illegal connection,\n"
         "        2 analog reference/driver ports <p>=<1> <q>=<n1>" +
         Conflict(25, "1", 9, "p", "ANALOG_REFERENCE ANALOG_DRIVER ") +
         Conflict(25, "1", 8, "p", "ANALOG_REFERENCE ANALOG_DRIVER ") +
         Conflict(25, "n1", 9, "q", "ANALOG_REFERENCE ANALOG_DRIVER ") +
         Conflict(25, "n1", 8, "q", "ANALOG_REFERENCE ANALOG_DRIVER ") + "\n"},

    // A name the port list repeats floats at each of its places, in list
    // order, until a port map reaches it; A_gnd never floats.
    {"ports named many times",
     "[External Circuit] s\nLanguage SPICE\nCorner Typ s.sp s\nPorts a b A_gnd a\n"  // 4-7
     "Ports c a A_gnd\n[End External Circuit]\n" +                                      // 8-9
         Component("n1 n2 n3") +                                                          // 10-22
         "[Circuit Call] s\nSignal_pin 1\nPort_map a n1\nPort_map b n2\n"             // 23-26
         "[End Circuit Call]\n[Circuit Call] s\nSignal_pin 2\nPort_map c n3\n"        // 27-30
         "[End Circuit Call]\n",
     // (the list holds the ports newest first)
     Floats(28, 4, "a") + Floats(28, 4, "a") + Floats(28, 4, "b") + Floats(28, 4, "a") +
         Floats(23, 4, "c") + Floating("n1", Conflict(23, "n1", "a", "ANALOG ")) +
         Floating("n2", Conflict(23, "n2", "b", "ANALOG ")) +
         "E1823 - Component <c> Floating Pin <1> (no connections but used in CIRCIUT CALL)\n" +
         Floating("n3", Conflict(28, "n3", "c", "ANALOG ")) +
         "E1823 - Component <c> Floating Pin <2> (no connections but used in CIRCIUT CALL)\n"},
    // Pin lookups take a component without [Pin]; a reference pin is cut to
    // its five characters.
    {"a call in a component without [Pin]", kSpice +  // 4-8
         "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\nL_pkg 1n NA NA\n"  // 9-13
         "C_pkg 1p NA NA\n[Node Declarations]\nn1\n[End Node Declarations]\n"             // 14-17
         "[Circuit Call] s\nSignal_pin 123456\nPort_map a n1\nPort_map b 1\n"              // 18-21
         "[End Circuit Call]\n",
     "E1912 (line 19) - Signal_pin string '123456' is too long, truncating to 5 characters.\n"
     "E0524 - Unable to find Pin keyword data for Component 'c'.\n"
     "E1839 - CMPT <c>, [Circuit Call] at (line 18) refererences illegal pin: <12345>\n"
     "E1846 - [Circuit Call] at (line 18), no node/pin <1> in Component c\n" +
         Floats(18, 4, "b") + Floating("n1", Conflict(18, "n1", "a", "ANALOG "))},
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.title; }

class CircuitTest : public ComponentTest, public ::testing::WithParamInterface<Case> {};

TEST_P(CircuitTest, Messages) {
    const Case &c = GetParam();
    EXPECT_EQ(Run("5.0", c.body), c.messages) << c.title;
}

INSTANTIATE_TEST_SUITE_P(Calls, CircuitTest, ::testing::ValuesIn(kCases));

// A node that hundreds of ports share: its conflict text grows past what a
// message holds and is cut there; the messages after it are whole.
TEST_F(ComponentTest, ConflictTextOfManyConnectionsIsCutAtTheMessageLimit) {
    const int ports = 400, perLine = 20;  // lines stay within 120 characters
    std::string names, maps;
    for (int i = 0; i < ports; ++i) {
        names += (i % perLine == 0 ? "\nPorts p" : " p") + std::to_string(i);
        maps += "Port_map p" + std::to_string(i) + " n\n";
    }
    const std::string body = "[External Circuit] s\nLanguage SPICE\nCorner Typ s.sp s" + names +
                             "\nD_to_A dig p0 p1 0 1 1n 1n\n[End External Circuit]\n" +
                             Component("n") + "[Circuit Call] s\n" + maps +
                             "Port_map dig n\n[End Circuit Call]\n";
    const int row = 7 + ports / perLine, call = row + 2 + 13;  // the D_to_A and the call
    // The connections in file order: the converter's ports by their row.
    std::string conflicts = Conflict(call, "n", row, "p0", "ANALOG_DRIVER ") +
                            Conflict(call, "n", row, "p1", "ANALOG_DRIVER ");
    for (int i = 2; i < ports; ++i)
        conflicts += Conflict(call, "n", "p" + std::to_string(i), "ANALOG ");
    const std::string digital = Conflict(call, "n", row, "dig", "DIGITAL DIGITAL_RECEIVER ");
    conflicts += digital;
    const std::string text = "Component c Node <n>: is analog and digital" + conflicts;
    ASSERT_GT(text.size(), static_cast<size_t>(MSG_BUFFER_SIZE));
    EXPECT_EQ(Run("5.0", body),
              "E1824 - " + text.substr(0, MSG_BUFFER_SIZE - 1) + "\n"
              "E1825 - Component <c> Node: <n> has a digital receiver but no digital driver" +
                  digital + "\n");
}

// Node names are owned copies put at the front of the list, tabs and blanks
// both separating them.
TEST(NodeList, NamesGoToTheFront) {
    STRING_LIST *list = nullptr;
    ASSERT_EQ(NODE_ParseList("  n1\tn2   n3", &list), 1);
    ASSERT_EQ(NODE_ParseList("n4", &list), 1);
    std::string names;
    for (STRING_LIST *n = list; n != nullptr;) {
        names += std::string(n->text) + " ";
        STRING_LIST *next = n->next;
        CMN_Free(const_cast<char *>(n->text));
        CMN_Free(n);
        n = next;
    }
    EXPECT_EQ(names, "n4 n3 n2 n1 ");
}

}  // namespace
