// [External Model] blocks and [External Circuit] sections: whole .ibs
// snippets through the check pass, one row per group of rules.
#include "ModelFixture.h"

namespace {

using namespace modeltest;

// A Terminator model that passes the model checks: four lines.
std::string Terminator(const std::string &name) {
    return "[Model] " + name + "\nModel_type Terminator\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n";
}

// An I/O model that passes the model checks: ten lines.
std::string IoModel(const std::string &name) {
    return "[Model] " + name + "\nModel_type I/O\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.0\n"
           "[Voltage Range] 3.3 3.0 3.6\n[Ramp]\ndV/dt_r 1/1n 1/1n 1/1n\ndV/dt_f 1/1n 1/1n 1/1n\n";
}

// The head of an I/O model's SPICE description: four lines.
const std::string kIoHead =
    "[External Model]\nLanguage SPICE\nCorner Typ t.sp t\nPorts A_signal my_drive my_enable my_receive\n";

const std::string kNoComponent = Err("Required keyword 'Component' not found.");

std::string Reserved(const std::string &model, const std::string &corner, const std::string &type,
                     const std::string &port, bool required) {
    return Err("[External Model] <" + model + "> corner <" + corner + "> type <" + type +
               (required ? "> does not contain reserved port <" + port + "> REQUIRED"
                         : "> contains reserved port <" + port + "> ILLEGAL"));
}

// Ports and 40 names: the letters a-z and A-M, then A_signal.
std::string Ports40() {
    std::string line = "Ports";
    for (int i = 0; i < 39; ++i)
        line += std::string(" ") + static_cast<char>(i < 26 ? 'a' + i : 'A' + i - 26);
    return line + " A_signal\n";
}

// Sixteen D_to_A rows, each between two ports of its own: a-z, then A-F.
std::string DToARows() {
    std::string rows;
    for (int i = 0; i < 32; i += 2) {
        auto name = [](int k) { return std::string(1, static_cast<char>(k < 26 ? 'a' + k : 'A' + k - 26)); };
        rows += "D_to_A D_drive " + name(i) + " " + name(i + 1) + " 0 1 1n 1n\n";
    }
    return rows;
}

const Row kRows[] = {
    {"a complete description passes", "5.0",
     IoModel("a") + kIoHead +
         "D_to_A D_drive my_drive A_gnd 0 1 1n 1n\nD_to_A D_enable my_enable A_gnd 0 1 1n 1n Typ\n"
         "A_to_D D_receive my_receive A_gnd 0.8 2.0\nParameters x y\n[End External Model]\n[End]\n",
     Tail("a")},

    {"languages", "5.0",
     Terminator("a") +
         "[External Model]\nD_to_A D_drive A_signal A_gnd 0 1 1n 1n\n"      // 8-9
         "A_to_D D_receive A_signal A_gnd 0 1\nLanguage Spice\n"             // 10-11
         "Language VHDL-AMS\nLanguage SPICE\nCorner Typ t.vhd t\n"           // 12-14
         "Ports A_signal A_gnd\nD_to_A D_drive A_signal A_gnd 0 1 1n 1n\n"   // 15-16
         "A_to_D D_receive A_signal A_gnd 0 1\n[End External Model]\n" +     // 17-18
         Terminator("b") +
         "[External Model]\nLanguage VHDL-A(MS)\nCorner Typ t.va t\n"        // 23-25
         "Ports A_signal A_gnd x\nD_to_A D_drive x A_gnd 0 1 1n 1n\n"        // 26-27
         "[End External Model]\n[End]\n",
     Err(9, "Language must be defined before D2A") + Err(10, "Language must be defined before A2D") +
         Err(11, "Invalid Language (\"Spice\") (try \"SPICE, VHDL-AMS, VHDL-A(MS), Verilog-AMS, "
                 "Verilog-A(MS)\")") +
         Err(13, "Duplicate External Language Line") +
         Err(16, "D2A only allowed for language = SPICE") +
         Err(17, "A2D only allowed for language = SPICE") +
         Reserved("b", "TYP", "Terminator", "D_drive", false) + Tail("b")},

    {"Corner lines", "5.0",
     Terminator("a") + "[External Model]\nCorner Typ t.sp t\nLanguage SPICE\n"  // 8-10
         "Corner Typ u.sp u\nCorner Min m.sp\nCorner Max x.sp x extra\n"        // 11-13
         "Corner Max y.sp y\nCorner Min " + std::string(112, 'f') + " m\n"      // 14-15
         "Corner Min m.sp " + std::string(112, 'c') + "\n"                       // 16
         "Corner Min " + std::string(111, 'f') + " m\nCorner Min m.sp m\n"      // 17-18
         "Corner typ t.sp t\nPorts A_signal A_gnd\n[End External Model]\n[End]\n",
     Err(9, "Missing Language sub-parameter. Language must be defined") +
         Err(11, "Duplicate Typ Corner") +
         Err(12, "Incorrect Number of Line Items (2) For Corner: Expecting 3") +
         Err(13, "Incorrect Number of Line Items (4) For Corner: Expecting 3") +
         Err(14, "Duplicate Max Corner") +
         Err(15, "Exceeds 120 chararacters.") +
         Err(15, "Invalid Corner file name Value (\"" + std::string(112, 'f') + "\")") +
         Err(16, "Exceeds 120 chararacters.") +
         Err(16, "Invalid Corner circuit name Value (\"" + std::string(112, 'c') + "\")") +
         Err(17, "Exceeds 120 chararacters.") +
         Err(18, "Duplicate Min Corner") +
         Err(19, "Invalid Corner (\"typ\") (try \"Typ,Min,Max\")") + Tail("a")},

    {"Ports, Parameters, Port_type and unknown lines", "5.0",
     Terminator("a") + "[External Model]\nLanguage SPICE\nPorts D_drive A_signal\n"  // 8-10
         "Ports D_switch\nPorts D_receive\nParameters p1 p2\n"                     // 11-13
         "Port_type A_signal analog\nports A_gnd\nCorner Typ t.sp t\n"              // 14-16
         "[End External Model]\n[End]\n",
     Err(10, "Illegal Digital Port <D_drive> (not allowed in SPICE Ports section)") +
         Err(11, "Illegal Digital Port <D_switch> (not allowed in SPICE Ports section)") +
         Err(11, "D_switch not allowed with (D_drive, D_receive, or D_enable) in Ports/A2D/D2A "
                 "Section") +
         Err(12, "Illegal Digital Port <D_receive> (not allowed in SPICE Ports section)") +
         Err(12, "D_receive not allowed with D_switch in Ports/A2D/D2A Section") +
         Err(14, "Port_type not allowed without -etc flag") +
         Err(15, "Invalid [External Model] subparameter (\"ports\")") +
         Reserved("a", "TYP", "Terminator", "D_receive", false) +
         Reserved("a", "TYP", "Terminator", "D_switch", false) +
         Reserved("a", "TYP", "Terminator", "D_drive", false) + Tail("a")},

    // Words past the 29th of a line are ports like the others, and the
    // connection check counts every name of the corner.
    {"40 ports on one Ports line", "5.0",
     Terminator("a") + "[External Model]\nLanguage SPICE\nCorner Typ t.sp t\n" + Ports40() +  // 8-11
         DToARows() +                                                                            // 12-27
         "D_to_A D_drive L M 0 1 1n 1n\nD_to_A D_drive M L 0 1 1n 1n\n"                        // 28-29
         "[End External Model]\n[End]\n",
     Err("External Model D2A Line <29> Illegal connection, 2 analog reference/driver ports <M> <L>") +
         Err("External Model D2A Line <28> Illegal connection, 2 analog reference/driver ports <L> <M>") +
         Reserved("a", "TYP", "Terminator", "D_drive", false) + Tail("a")},

    {"D_to_A and A_to_D rows of an [External Model]", "5.0",
     IoModel("a") + kIoHead +                                                     // 4-17
         "D_to_A D_drive my_drive A_gnd 0 1 1n 1n\n"                              // 18
         "D_to_A D_enable my_enable A_gnd 0 1 1n 1n Typ\n"                        // 19
         "A_to_D D_receive my_receive A_gnd 0.8 2.0\n"                            // 20
         "D_to_A D_drive my_drive A_gnd 0 1 1n\n"                                 // 21
         "D_to_A D_drive my_drive A_gnd 0 1 1n 1n Fast\n"                         // 22
         "D_to_A D_drive nowhere A_gnd 0 1 1n 1n Min\n"                           // 23
         "D_to_A D_receive my_drive A_gnd 0 1 1n 1n Min\n"                        // 24
         "D_to_A D_drive my_drive A_gnd one 1 0 -1n Max\n"                        // 25
         "D_to_A D_drive my_drive A_gnd 2 1 1n 1n Max\n"                          // 26
         "A_to_D D_drive my_receive A_gnd 0.8 2.0 Min\n"                          // 27
         "A_to_D D_receive my_receive A_gnd 2.0 0.8 Min\n"                        // 28
         "A_to_D D_receive my_receive A_gnd 0.8 2.0 Min\n"                        // 29
         "A_to_D D_receive my_enable A_gnd 0.8 2.0 Min\n"                         // 30
         "A_to_D D_receive my_receive\n[End External Model]\n[End]\n",            // 31-32
     Err(21, "Incorrect Number of Line Items (7) For D_to_A: Expecting 9") +
         Err(22, "Invalid Corner Value (\"Fast\")") +
         Err(23, "Illegal Analog Port nowhere, not in port list") +
         Err(24, "Illegal Digital Port <D_receive> in D2A ") +
         Err(25, "Invalid vlow Value (\"one\")") + Err(25, "trise < 0, [0]") +
         Err(25, "tfall < 0, [-1n]") + Err(26, "Vlow >= Vhigh [2 >= 1]") +
         Err(27, "Illegal Digital Port <D_drive> in A2D (must use D_receive)") +
         Err(28, "Vlow > Vhigh [2.0 >= 0.8]") +
         Err(30, "Digital Port <D_receive> already used in previous A2D for this corner") +
         Err(31, "Incorrect Number of Line Items (3) For A_to_D: Expecting 7") +
         Err("MODEL <a> Corner <Min> line: 30 has A2D not matching TYP A2D: <D_receive> "
             "<my_enable> <A_gnd>") +
         Err("MODEL <a> Corner <Min> line: 27 has A2D not matching TYP A2D: <D_drive> "
             "<my_receive> <A_gnd>") +
         Err("MODEL <a> Corner <Min> line: 24 has D2A not matching TYP D2A: <D_receive> "
             "<my_drive> <A_gnd>") +
         Err("External Model D2A Line <26> Illegal connection, 2 analog reference/driver ports "
             "<my_drive> <A_gnd>") +
         Err("External Model D2A Line <25> Illegal connection, 2 analog reference/driver ports "
             "<my_drive> <A_gnd>") +
         Tail("a")},

    // Min and Max rows are made from the Typ corner's names: without one
    // they are refused.
    {"a Min D_to_A before Typ", "5.0",
     Terminator("a") + "[External Model]\nLanguage SPICE\nPorts A_signal\n"  // 8-10
         "D_to_A D_drive A_signal A_gnd 0 1 1n 1n Min\n"                    // 11
         "A_to_D D_receive A_signal A_gnd 0 1 Max\n"                        // 12
         "D_to_A D_drive A_signal A_gnd 0 1 1n 1n\n[End External Model]\n"  // 13-14
         "[End]\n",
     Err(11, "No Typ Corner Defined... required") + Err(12, "NO Typ Corner defined for A2D") +
         Err(13, "No Typ Corner Defined... required") +
         Err(14, "No Typ Corner Defined for [External Model](required)") +
         Warn("External Model for <a> has suspiciously few PORTS (1)") + Tail("a")},

    {"reserved ports by Model_type", "5.0",
     IoModel("a") +
         "[External Model]\nLanguage SPICE\nCorner Typ t.sp t\n"         // 14-16
         "Ports A_signal my_drive my_receive A_pos\n"                     // 17
         "D_to_A D_drive my_drive A_gnd 0 1 1n 1n\n"                      // 18
         "A_to_D D_receive my_receive A_gnd 0.8 2.0\n[End External Model]\n" +  // 19-20
         InputModel("b") +                                                // 21-26
         "[External Model]\nLanguage Verilog-AMS\nCorner Typ b.va b\n"   // 27-29
         "Ports D_receive A_signal_pos\n[End External Model]\n[End]\n",   // 30-31
     Reserved("a", "TYP", "I/O", "D_enable", true) + Reserved("a", "TYP", "I/O", "A_pos", false) +
         Reserved("b", "ALL", "Input", "A_signal", true) +
         Reserved("b", "ALL", "Input", "A_signal_pos", false) + Tail("b")},

    {"[External Circuit] names and orphans", "5.0",
     "[External Circuit]\n[External Circuit] a b\n[External Circuit] gnd\n"  // 4-6
     "[External Circuit] " + std::string(41, 'x') + "\n[External Circuit] a\n"  // 7-8
     "Language SPICE\n[End External Circuit]\n[End External Circuit]\n"        // 9-11
     "Ports x\n[End]\n",                                                       // 12
     Err(4, "'External Circuit' Keyword Missing name") +
         Err(5, "Incorrect Number of Line Items (2) For Keyword Externa Circuit: Expecting 1") +
         Err(6, "Invalid External Circuit Name (\"gnd\"); Reserved Word.") +
         Err(7, "External Circuit Name Over 40 Characters Long") +
         Err(8, "External Circuit Name Previously Defined (\"a\")") +
         Err(10, "No Typ Corner Defined for [External Model](required)") +
         Warn("[External Circuit] <a> has suspiciously few PORTS (0)") +
         Err(11, "Orphan External Cucuit keyword.") + Err(12, "Orphan data line keyword.") +
         kNoComponent},

    {"rows of an [External Circuit]", "5.0",
     "[External Circuit] ckt\nLanguage SPICE\nCorner Typ c.sp c\n"  // 4-6
     "Ports a1 a2 D_drive\n"                                        // 7
     "D_to_A D_drive a1 a2 0 1 1n 1n\n"                             // 8
     "D_to_A D_receive a1 a2 0 1 1n 1n\n"                           // 9
     "D_to_A A_signal a1 a2 0 1 1n 1n\n"                            // 10
     "D_to_A dig a1 D_drive 0 1 1n 1n\n"                            // 11
     "A_to_D D_switch a1 a2 0 1\n"                                  // 12
     "A_to_D rcv a1 a2 0 1\n"                                       // 13
     "A_to_D rcv a2 a1 0 1\n"                                       // 14
     "A_to_D out a1 a2 0 1 Min\n"                                   // 15
     "D_to_A a1 a2 a1 0 1 1n 1n Max\n"                              // 16
     "Port_type a1 analog\n[End External Circuit]\n[End]\n",        // 17-18
     Err(7, "Illegal Digital Port <D_drive> (not allowed in SPICE Ports section)") +
         Err(9, "Illegal Digital Port <D_receive> in D2A ") +
         Err(10, "Reserved Analog Port <A_signal> used as digital port") +
         Err(11, "Reserved Digital Port <D_drive> used as analog port") +
         Err(12, "D_switch not allowed with (D_drive, D_receive, or D_enable) in Ports/A2D/D2A "
                 "Section") +
         Err(12, "Illegal Digital Port <D_switch> in A2D (use D_receive or a User Defined)") +
         Err(14, "Digital Port <rcv> already used in previous A2D for this corner") +
         Err(17, "Port_type not allowed without -etc flag") +
         Err("MODEL <ckt> Corner <Min> line: 15 has A2D not matching TYP A2D: <out> <a1> <a2>") +
         Err("MODEL <ckt> Corner <Max> line: 16 has D2A not matching TYP D2A: <a1> <a2> <a1>") +
         Err("External Model D2A Line <10> Illegal connection, 2 analog reference/driver ports "
             "<a1> <a2>") +
         Err("External Model D2A Line <9> Illegal connection, 2 analog reference/driver ports "
             "<a1> <a2>") +
         Err("External Model D2A Line <8> Illegal connection, 2 analog reference/driver ports "
             "<a1> <a2>") +
         Err("[EXTERNAL CIRCUIT] <ckt>: corner <Typ> Port <D_drive>: used as digital and analog ") +
         Err("[EXTERNAL CIRCUIT] <ckt>: corner <Max> Port <a1>: used as digital and analog ") +
         kNoComponent},

    // An AMS circuit is not checked for its converter connections.
    {"an [External Circuit] in another language", "5.0",
     "[External Circuit] v\nLanguage VHDL-AMS\nCorner Typ v.vhd v\nPorts D_drive a\n"  // 4-7
     "D_to_A D_drive a A_gnd 0 1 1n 1n\n[End External Circuit]\n[End]\n",              // 8-9
     Err(8, "D2A only allowed for language = SPICE") + kNoComponent},
};

class ExternalRows : public ModelTest, public ::testing::WithParamInterface<Row> {};

TEST_P(ExternalRows, WholeOutput) {
    const Row &row = GetParam();
    EXPECT_EQ(Run(row.version, row.body), Expected(row.version, row.messages)) << row.title;
}

INSTANTIATE_TEST_SUITE_P(Snippets, ExternalRows, ::testing::ValuesIn(kRows));

// The records a description keeps: the ports newest first, the parameters in
// file order, the converter rows newest first per corner.
TEST_F(ModelTest, ExternalCircuitRecords) {
    std::string path = Write("m.ibs", Header("5.0", "m.ibs") +
                                          "[External Circuit] c\nLanguage SPICE\nCorner Typ c.sp c\n"
                                          "Ports a b\nPorts d\nParameters p q\nParameters r\n"
                                          "D_to_A dd a b 0 1 1n 1n\nD_to_A de b a 0 1 2n 3n\n"
                                          "D_to_A dd a b 0 1 1n 1n Min\n[End External Circuit]\n"
                                          "[External Circuit] e\n[End]\n");
    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    IBIS *root = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    EXTCKT *circuits = nullptr;
    ASSERT_EQ(IBIS_GetExternalCircuits(root, &circuits), 1);
    EXPECT_STREQ(circuits->name, "e");
    EXTCKT *c = MDL_FindExternalCircuit("c", circuits);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->line, 4u);
    EXPECT_EQ(MDL_FindExternalCircuit("x", circuits), nullptr);
    const EXTMDL *d = c->description;
    EXPECT_EQ(d->language, MDL_LANG_SPICE);
    std::string ports, parameters, rows;
    for (const EXT_NAME *p = d->ports; p != nullptr; p = p->next)
        ports += std::string(p->text) + " ";
    for (const EXT_NAME *p = d->parameters; p != nullptr; p = p->next)
        parameters += std::string(p->text) + " ";
    for (const EXT_CONVERTER *r = d->typ->dToA; r != nullptr; r = r->next)
        rows += std::string(r->ports) + " @" + std::to_string(r->line) + " ";
    EXPECT_EQ(ports, "d b a ");
    EXPECT_EQ(parameters, "p q r ");
    EXPECT_EQ(rows, "de b a @12 dd a b @11 ");
    EXPECT_DOUBLE_EQ(d->typ->dToA->tfall, 3e-9);
    ASSERT_NE(d->min, nullptr);
    EXPECT_STREQ(d->min->fileName, "c.sp");
    EXPECT_STREQ(d->min->circuitName, "c");
    EXPECT_EQ(MDL_IsKnownPort("A_gnd", d), 1);
    EXPECT_EQ(MDL_IsKnownPort("d", d), 1);
    EXPECT_EQ(MDL_IsKnownPort("A_signal", d), 0);
    EXPECT_EQ(MDL_IsReservedPort("A_signal"), 1);
    EXPECT_EQ(MDL_IsReservedPort("D_switch"), 1);
    EXPECT_EQ(MDL_IsReservedPort("d_switch"), 0);
    CHECKPASS_EndFile();
    Output();
}

}  // namespace
