// The [Model] section: whole .ibs snippets through the check pass, one row
// per rule, each compared with the pass's whole output.
#include "ModelFixture.h"

#include "IbisParser/algmod.h"

namespace {

using namespace modeltest;

const std::string kInputBody =
    "Model_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\n[Voltage Range] 3.3 3.0 3.6\n";

std::string NoRamp(const std::string &model) { return Err("Model '" + model + "': Ramp Not Defined"); }
std::string NoCcomp(const std::string &model) {
    return Err("Model " + model + ": One of C_comp, C_comp_pullup, C_comp_pulldown, "
               "C_comp_power_clamp, C_comp_gnd_clamp must be defined");
}
std::string Refs188(const std::string &model) {
    std::string out;
    for (const char *r : {"Pullup Reference", "Pulldown Reference", "POWER Clamp Reference",
                          "GND Clamp Reference"})
        out += Err("Model '" + model + "': " + r + " Required when No Voltage Range is Specified");
    return out;
}

const Row kRows[] = {
    {"a model that passes", "5.0", InputModel("a") + "[End]\n", Tail("a")},

    {"Model_type, Polarity and Enable lines", "5.0",
     "[Model] a\nModel_type = Input\nModel_type Output\nC_comp 1p 1p 1p\n"
     "[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] b\nModel_type input\nPolarity Inverting Extra\nEnable\nC_comp 1p 1p 1p\n"
     "[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] c\nModel_type Bogus\nPolarity non-inverting\nEnable Active-Low\nFrobnicate = 1\n"
     "C_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n[End]\n",
     Err(5, "Invalid Model_type Line") + Err(6, "Model_type Already Defined For Model 'a'") +
         NoRamp("a") + Err(10, "Invalid Model_type (\"input\") (try \"Input\")") +
         Err(11, "Incorrect Number of Line Items (3) For Polarity: Expecting 2") +
         Err(12, "'Enable' Subparameter Missing Setting") + NoRamp("b") +
         Err(16, "Invalid Model_type (\"Bogus\")") +
         Err(17, "Invalid Polarity (\"non-inverting\") (try \"Non-Inverting\")") +
         Err(19, "Unknown Line Among Model Data") + NoRamp("c") + Tail("c")},

    {"version 2 knows 14 types and names of 20 characters", "2.1",
     "[Model] a\nModel_type Terminator\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] abcdefghijklmnopqrstu\nModel_type Series\nC_comp 1p 1p 1p\n"
     "[Voltage Range] 3.3 3.0 3.6\n[End]\n",
     Err(8, "Model Name Over 20 Characters Long") + Err(9, "Invalid Model_type (\"Series\")") +
         NoRamp("abcdefghijklmnopqrst") + Tail("abcdefghijklmnopqrst")},

    {"version 3 knows 17 types", "3.2",
     "[Model] s\nModel_type Series_switch\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] d\nModel_type I/O_diff\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n[End]\n",
     Err("Model s is of type Series_switch. [On] keyword is required") +
     Err("Model s is of type Series_switch. [Off] keyword is required") +
         Err(9, "Invalid Model_type (\"I/O_diff\")") + NoRamp("d") + Tail("d")},

    {"version 4.0 knows all types and the diff references", "4.0",
     "[Model] d\nModel_type Input_diff\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] e\nModel_type I/O_diff\nRref_diff = 100\nC_comp_pullup 1p 1p 1p\n"
     "[Voltage Range] 3.3 3.0 3.6\n[End]\n",
     NoRamp("e") + Tail("e")},

    {"model names", "5.0",
     "[Model] " + std::string(41, 'm') + "\n" + kInputBody + "[Model] gnd\n" + kInputBody +
         "[Model] a\n" + kInputBody + "[Model] a\n" + kInputBody + "[Model]\n" + kInputBody +
         "[Model] x y\n" + kInputBody + "[End]\n",
     Err(4, "Model Name Over 40 Characters Long") +
         Err(10, "Invalid Model Name (\"gnd\"); Reserved Word.") +
         Err(22, "Model Name Previously Defined (\"a\")") + Err(28, "'Model' Keyword Missing name") +
         Err(34, "Incorrect Number of Line Items (2) For Keyword Model: Expecting 1") + Tail("x")},

    {"value and range forms", "5.0",
     "[Model] a\nModel_type Input\nVinl 0.8\nVinh = high\nVinl = 0.9\nC_comp 5pF 6pF 4pF\n"
     "C_comp_pullup NA 4pF 6pF\nC_comp_pulldown 5pF NA 6pF\nC_comp_gnd_clamp 1p 2p 3p 4p\n"
     "C_comp 1p 1p 1p\nVmeas = 1\n[Voltage Range] 3.3 3.0 3.6\n[End]\n",
     Err(6, "Invalid Vinl Line") + Err(7, "Invalid Vinh Value (\"high\")") +
         Err(8, "Vinl Already Defined For Model 'a'") +
         Warn(9, "Model a: C_comp min value is not the smallest value listed") +
         Warn(9, "Model a: C_comp max value is not the largest value listed") +
         Err(10, "'NA' Not Allowed For Typical Value") +
         Err(12, "Incorrect Number of Line Items (4) For C_comp_gnd_clamp: Expecting 3") +
         Warn(12, "Typ value is not in between Min and Max ") +
         Warn(12, "Model a: C_comp_gnd_clamp min value is not the smallest value listed") +
         Err(13, "C_comp Already Defined For Model 'a'") +
         Warn(14, "Vmeas should not be specified for model type Input") + Tail("a")},

    {"timing test loads by type", "5.0",
     "[Model] b\nModel_type Output\nVmeas = 1.0 = 2\nVinl = 0.8\nVref=0.5\nRref_diff = 100\n"
     "C_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] t\nModel_type Terminator\nCref = 1p\nRref_diff = 1\nC_comp 1p 1p 1p\n"
     "[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] o\nModel_type Open_drain\nVmeas = 1\nRref = 50\nC_comp 1p 1p 1p\n"
     "[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] d\nModel_type Output_diff\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] x\nModel_type 3-state\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n[End]\n",
     Err(6, "Incorrect Number of Line Items (5) For Vmeas: Expecting 3") +
         Warn(7, "Vinl should not be specified for model type Output") + NoRamp("b") +
         Warn(14, "Cref should not be specified for model type Terminator") +
         Warn(15, "Rreff_diff should not be specified for model type Terminator") + NoRamp("o") +
         Warn("Model 'o': Vmeas, Vref and Rref timing test load parameters should be specified") +
         NoRamp("d") +
         Warn("Model 'd': Rref_diff or Cref_diff timing test load parameters should be specified") +
         NoRamp("x") + Warn("Model 'x': Vmeas timing test load parameter should be specified") +
         Tail("x")},

    {"sub-parameters that need version 4", "3.2",
     "[Model] a\nModel_type I/O\nRref_diff = 100\nCref_diff = 1p\nC_comp_pullup 1p 1p 1p\n"
     "C_comp_pulldown 1p 1p 1p\nC_comp_power_clamp 1p 1p 1p\nC_comp_gnd_clamp 1p 1p 1p\n"
     "C_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.5\n[Voltage Range] 3.3 3.0 3.6\n[End]\n",
     Err(6, "Sub Parameter Rref_diff is valid only for IBIS version >= 4.1") +
         Err(7, "Sub Parameter Cref_diff is valid only for IBIS version >= 4.1") +
         Err(8, "Sub Parameter C_comp_pullup is valid only for IBIS version >= 4.0") +
         Err(9, "Sub Parameter C_comp_pulldown is valid only for IBIS version >= 4.0") +
         Err(10, "Sub Parameter C_comp_power_clamp is valid only for IBIS version >= 4.0") +
         Err(11, "Sub Parameter C_comp_gnd_clamp is valid only for IBIS version >= 4.0") +
         NoRamp("a") + Tail("a")},

    {"range keywords", "5.0",
     InputModel("a") +
         "[TTgnd] 0 0 0\n[TTpower] -1n 2n -3n\n[Temperature Range] 25 0 100\n"
         "[Temperature Range] 50 0 100\n[Pullup Reference] NA 3.0 3.6\n[Rgnd] 1k 1k 1k\n"
         "1k 1k 1k\n[Cac] 1p 1p 1p\n[TTgnd] -1 -2 0\n"
         "[Model] b\nModel_type Terminator\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
         "[TTgnd] 1n -1n 2n\n[Rac] 1 1 1\n[End]\n",
     Err(11, "TTpower Typical value should be > 0") + Err(11, "TTpower Max value should be > 0") +
         Err(13, "Temperature Range Already Defined For Model 'a'") +
         Err(14, "'NA' Not Allowed For Typical Value") +
         Err(16, "Expecting Keyword.  Invalid Line") +
         Err(18, "TTgnd Already Defined For Model 'a'") +
         Err("Model 'a': Rgnd is set when Model_type is not Terminator") +
         Err("Model 'a': Cac is set when Model_type is not Terminator") +
         Err("Model 'a': Rac must be defined when Cac is") +
         Err(23, "TTgnd Min value should be > 0") +
         Err("Model 'b': Cac must be defined when Rac is") + Tail("b")},

    {"references without [Voltage Range]", "5.0",
     "[Model] a\nModel_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\n"
     "[External Reference] 1 1 1\n[Pulldown Reference] 0 0 0\n[Model] b\n" + kInputBody +
         "[Model] c\nModel_type Input\nC_comp 1p 1p 1p\n[End]\n",
     Err("Model 'a': Pullup Reference Required when No Voltage Range is Specified") +
     Err("Model 'a': POWER Clamp Reference Required when No Voltage Range is Specified") +
     Err("Model 'a': GND Clamp Reference Required when No Voltage Range is Specified") +
     Warn("Model 'c': Model_type 'Input' must have Vinl set") +
     Warn("Model 'c': Model_type 'Input' must have Vinh set") +
         Refs188("c") + Tail("c")},

    {"series elements", "5.0",
     "[Model] s\nModel_type Series_switch\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
     "[R Series] 10 9 11\n[On]\n[R Series] 10 9 11\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Temperature Range] 25 0 100\n[Off] x\n[Lc Series] 1n 1n 1n\n[TTgnd] 1n 1n 1n\n"
     "[Model] io\nModel_type I/O\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\nVmeas = 1.5\n"
     "[Voltage Range] 3.3 3.0 3.6\n[On]\n[R Series] 1 1 1\n"
     "[Model] ser\nModel_type Series\nC_comp 1p 1p 1p\n[Model Spec]\n[Voltage Range] 3.3 3.0 3.6\n"
     "[C Series] 1p 1p 1p\n[Rc Series] 1 1 1\n[Rl Series] 1 1 1\n[End]\n",
     Err(8, "No preceding [On] or [Off] keyword found. Assuming [On]") +
         Err(9, "[On] Series Info: Already Defined for this model") +
         Err(11, "Voltage Range Already Defined For Model 's'") +
         Err(12, "Model 's' is of type Series_switch. Temperature Range should be defined before "
                 "the [On] and [Off] sections") +
         Err(13, "Incorrect Number of Line Items (2) For [Off]: Expecting 1") +
         Err("Model 's': TTgnd is not allowed when Model_type is Series_switch") +
         Err("Model s [Off]: No series data found") +
         Err("Model s [Off]: Lc_series cannot be specified if C_series is not specified") +
         Err(23, "Keyword is valid only for Series_switch models") +
         Err(24, "Keyword is valid only for Series and Series_switch models") + NoRamp("io") +
         Warn("Model 'ser': Model Spec is not allowed when Model_type is Series") +
         Err("Model ser : Rl_series cannot be specified if L_series is not specified") +
         Tail("ser")},

    {"[Add Submodel] rows and the submodels they name", "5.0",
     InputModel("a") +
         "[Add Submodel] extra\nsub1 Driving\nsub2\nsub3 non-driving x\n"
         "abcdefghijklmnopqrstuv All\nNA Bogus\n[Add Submodel]\nsub4 All\n"
         "[Model] b\nModel_type Output\nC_comp 1p 1p 1p\nVmeas = 1\n[Voltage Range] 3.3 3.0 3.6\n"
         "[Add Submodel]\nsub5 Non-Driving\n"
         "[Model] c\nModel_type Series\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
         "[Add Submodel]\nsub1 All\n[Submodel] sub1\n[Submodel] unused\n[End]\n",
     Err(10, "Incorrect Number of Line Items (2) For Add Submodel: Expecting 1") +
         Err(11, "Driving mode is not valid for input model types") +
         Err(12, "Add Submodel Mode not found") +
         Err(13, "Invalid Add Submodel Line. Expecting two items only") +
         Err(13, "Invalid Add Submodel Mode (\"non-driving\") (try \"Non-Driving\")") +
         Err(14, "Add Submodel Name Over 20 Characters Long") +
         Err(15, "Invalid Submodel Name (\"NA\"); Reserved Word.") +
         Err(15, "Invalid Add Submodel Mode (\"Bogus\")") +
         Err(16, "Add sub model: Already Defined for this model") +
         Err(24, "Non-Driving mode is not valid for output model types") + NoRamp("b") +
         Err(29, "Add Submodel is not allowed for Series or Series_switch models") +
         Err("Required keyword 'Component' not found.") +
         Warn("Submodel unused is not referenced by any model [Add Submodel] keyword") +
         Err("Could not find definition for Submodel sub5 of Model b") +
         Err("Could not find definition for Submodel sub2 of Model a") +
         Err("Could not find definition for Submodel sub3 of Model a") +
         Err("Could not find definition for Submodel abcdefghijklmnopqrst of Model a") +
         Err("Could not find definition for Submodel NA of Model a") +
         Err("Could not find definition for Submodel sub4 of Model a") +
         Tail("c").substr(Tail("c").find("WARNING"))},

    {"[Model Spec] and [Receiver Thresholds] come first", "5.0",
     "[Model] a\nModel_type Output\nC_comp 1p 1p 1p\n[External Reference] 1 1 1\n[Model Spec]\n"
     "Vmeas 1.5 1.4 1.6\n[Voltage Range] 3.3 3.0 3.6\n[Model Spec]\nVmeas 1.5 1.4 1.6\n"
     "[Receiver Thresholds]\nReference_supply Pullup_ref\n[Model] c\n[Receiver Thresholds]\n[End]\n",
     Err(11, "[Model Spec] should be specified immediately after all the subparameters of a "
             "model and before the other keywords of a model") +
         Err(13, "[Receiver Thresholds] should be specified immediately after all the "
                 "subparameters of a model and before the other keywords of a model except "
                 "[Model Spec]") +
         Warn(13, "[Receiver Thresholds] should not be specified for model type Output") +
         NoRamp("a") +
         Err("Model a: Receiver Thresholds use Pullup Reference which is not defined in this Model") +
         Err("Model 'c': Model_type Not Defined") +
         Warn(16, "[Receiver Thresholds] should not be specified for model type No Type") +
         NoCcomp("c") +
         Refs188("c") + NoRamp("c") + Tail("c")},

    {"blocks and their end keywords", "5.0",
     InputModel("a") + "[Algorithmic Model]\nExecutable Linux_gcc_64 a.so a.ami\n[Model] b\n" +
         kInputBody +
         "[End Algorithmic Model]\n1 2 3\n[End EMI Model]\n[Begin EMI Model]\n"
         "Model_emi_type Ferrite\n[Model Spec]\n[Begin EMI Model]\n[End EMI Model]\n"
         "[End External Model]\nLanguage SPICE\n[End]\n",
     Err(12, "Missing [End Algorithmic Model] keyword") +
         Err(18, "Orphan [End Algorithmic Model] keyword found") +
         Err(19, "Expecting Keyword.  Invalid Line") +
         Err(20, "Orphan [End EMI Model] keyword found") + Err(23, "[End Emi Model] keyword expected") +
         Err(23, "[Model Spec] should be specified immediately after all the subparameters of a "
                 "model and before the other keywords of a model") +
         Err(27, "Expecting Keyword.  Invalid Line") + Tail("b")},

    {"an unfinished [External Model] keeps its model open", "5.0",
     "[Model] a\nModel_type Input\nVinl = 0.8\nVinh = 2.0\n[External Model]\nLanguage SPICE\n"
     "[Temperature Range] 25 0 100\n[External Model]\n[End External Model]\n"
     "[Model] b\n[External Model]\n" + InputModel("c") + "[End]\n",
     Err(10, "Expecting [End External Model]. Invalid Line, FATAL ERROR") +
         Err(11, "[External_Model] Already Defined For Model 'a'") +
         Err(12, "No Typ Corner Defined for [External Model](required)") +
         Warn("External Model for <a> has suspiciously few PORTS (0)") + Refs188("a") +
         Err("Model 'b': Model_type Not Defined") +
         Err(15, "Expecting [End External Model]. Invalid Line, FATAL ERROR") + Tail("c")},

    {"a keyword of another section ends the model", "5.0",
     "[Model] a\nModel_type Input\nVinl = 1\nVinh = 2\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Submodel] s\n[Temperature Range] 1 1 1\n1 2 3\n[End]\n",
     NoCcomp("a") +
         Err(10, "Orphan Model keyword.") + Err(11, "Orphan data line keyword.") +
         Err("Required keyword 'Component' not found.") +
         Warn("Submodel s is not referenced by any model [Add Submodel] keyword") +
         Tail("a").substr(Tail("a").find("WARNING"))},

    {"[Algorithmic Model] entries", "5.0",
     InputModel("a") + "[Algorithmic Model] extra\n"
                       "Executable Windows_VisualStudio_32 model.dll model.ami\n"
                       "Executable windows_visualstudio_32 other.dll other.ami\n"
                       "Executable Linux_gcc_64 a.so\n"
                       "Executable Linux_gcc_x64 a.so a.ami\n"
                       "Executable Linux_gcc_4294967328 a.so a.ami\n"
                       "Executable Lin_ux_gcc_64 a.so a.ami\n"
                       "Executable\n"
                       "Exec Linux_gcc_64 a b\n"
                       "Executable " + std::string(45, 'P') + "_gcc_64 " + std::string(45, 'F') +
         " a.ami\n[End Algorithmic Model]\n"
         "[Model] b\n" + kInputBody +
         "[Algorithmic Model]\nExecutable Linux_gcc_32 x.so x.ami\n[End Algorithmic Model]\n"
         "[Algorithmic Model]\n[End Algorithmic Model]\n[End]\n",
     Err(10, "Incorrect Number of Line Items (2) For Algorithmic Model: Expecting 1") +
         Err(13, "Incorrect Number of Line Items (3) For Algorithmic Model: Expecting 4") +
         Err(14, "Could not parse the Bits in Linux_gcc_x64 for [Algorithmic Model] Executable "
                 "Sub-parameter") +
         Err(16, "Could not parse Platform, Compiler, Bits  for [Algorithmic Model] Executable "
                 "Sub-parameter") +
         Err(17, "Incorrect Number of Line Items (1) For Algorithmic Model: Expecting 4") +
         Err(17, "Could not parse Platform, Compiler, Bits  for [Algorithmic Model] Executable "
                 "Sub-parameter") +
         Err(18, "Unknown Line in Algorithmic Model") +
         Err(19, "Platform name too long " + std::string(45, 'P')) +
         Err(19, "Filename too long " + std::string(45, 'F')) +
         Err("The Number of Bits should be 32 or 64 for Platform Linux and Compiler gcc for "
             "Algorithmic Model defined on line 10") +
         Err("The Number of Bits should be 32 or 64 for Platform Linux and Compiler gcc for "
             "Algorithmic Model defined on line 10") +
         Err("Duplicate Sub-Parameter: Platform windows Compiler visualstudio Bits 32 for "
             "Algorithmic Model defined on line 10") +
         Err(30, "Algorithmic Model: Already Defined for this model") + Tail("b")},

    {"warnings of the other values and corners", "5.0",
     "[Model] a\nModel_type Input\nC_comp 1p 1p 1p\nVref = 1\nRref = 50\nCref_diff = 1p\n"
     "[Receiver Thresholds]\nReference_supply Power_clamp_ref\n[Voltage Range] 3.3 3.0 3.6\n"
     "[TTgnd] -1n 1n -1n\n[TTpower] 1n -1n 1n\n"
     "[Model] b\nModel_type Input\nC_comp 1p 1p 1p\n"
     "[Receiver Thresholds]\nReference_supply Gnd_clamp_ref\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Model] c\nModel_type Input\nC_comp 1p 1p 1p\n"
     "[Receiver Thresholds]\nReference_supply Pulldown_ref\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Pullup Reference] 3.3 3.0 3.6\n[POWER Clamp Reference] 3.3 3.0 3.6\n"
     "[GND Clamp Reference] 0 0 0\n[External Reference] 1 1 1\n"
     "[Model] d\nModel_type Input\nC_comp 1p 1p 1p\n"
     "[Receiver Thresholds]\nReference_supply Ext_ref\n[Voltage Range] 3.3 3.0 3.6\n"
     "[Pulldown Reference] 0 0 0\n[Model] e\nModel_type Input\nC_comp 1p 1p 1p\n"
     "[Receiver Thresholds]\nReference_supply Pulldown_ref\n[Pulldown Reference] 0 0 0\n"
     "[Algorithmic Model]\nExecutable Linux_" + std::string(45, 'c') + "_64 e.so e.ami\n"
     "[End Algorithmic Model]\n[End]\n",
     Warn(7, "Vref should not be specified for model type Input") +
         Warn(8, "Rref should not be specified for model type Input") +
         Warn(9, "Creff_diff should not be specified for model type Input") +
         Err(13, "TTgnd Typical value should be > 0") + Err(13, "TTgnd Max value should be > 0") +
         Err(14, "TTpower Min value should be > 0") +
         Err("Model a: Receiver Thresholds use POWER Clamp Reference which is not defined in "
             "this Model") +
         Err("Model b: Receiver Thresholds use GND Clamp Reference which is not defined in this "
             "Model") +
         Err("Model c: Receiver Thresholds use Pulldown Reference which is not defined in this "
             "Model") +
         Err("Model d: Receiver Thresholds use External Reference which is not defined in this "
             "Model") +
         Err(45, "Compiler name too long " + std::string(45, 'c')) +
         Err("Model 'e': Pullup Reference Required when No Voltage Range is Specified") +
         Err("Model 'e': POWER Clamp Reference Required when No Voltage Range is Specified") +
         Err("Model 'e': GND Clamp Reference Required when No Voltage Range is Specified") +
         Tail("e")},

    // Each entry is reported once for every later entry that repeats it:
    // three equal entries are three pairs.
    {"repeated Executable entries, pair by pair", "5.0",
     InputModel("a") + "[Algorithmic Model]\n"
                       "Executable Linux_gcc_64 a.so a.ami\n"
                       "Executable linux_GCC_64 b.so b.ami\n"
                       "Executable Linux_gcc_32 c.so c.ami\n"
                       "Executable LINUX_gcc_64 d.so d.ami\n"
                       "[End Algorithmic Model]\n[End]\n",
     Err("Duplicate Sub-Parameter: Platform LINUX Compiler gcc Bits 64 for Algorithmic Model "
         "defined on line 10") +
         Err("Duplicate Sub-Parameter: Platform LINUX Compiler gcc Bits 64 for Algorithmic Model "
             "defined on line 10") +
         Err("Duplicate Sub-Parameter: Platform linux Compiler GCC Bits 64 for Algorithmic Model "
             "defined on line 10") +
         Tail("a")},
};

class ModelRows : public ModelTest, public ::testing::WithParamInterface<Row> {};

TEST_P(ModelRows, WholeOutput) {
    const Row &row = GetParam();
    EXPECT_EQ(Run(row.version, row.body), Expected(row.version, row.messages)) << row.title;
}

INSTANTIATE_TEST_SUITE_P(Snippets, ModelRows, ::testing::ValuesIn(kRows));

TEST_F(ModelTest, CautionsCompareVmeasWithTheThresholds) {
    MSG_SuppressCautions(0);
    std::string out = Run("5.0", "[Model] a\nModel_type I/O\nVinl = 1.6\nVinh = 1.4\nVmeas = 1.5\n"
                                 "C_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
                                 "[Model] b\nModel_type I/O_ECL\nVinl = 1.4\nVinh = 1.6\nVmeas = 1.5\n"
                                 "Vref = 1\nRref = 50\nC_comp 1p 1p 1p\n[Voltage Range] 3.3 3.0 3.6\n"
                                 "[End]\n");
    MSG_SuppressCautions(1);
    // Without I-V tables b drives nothing: the load holds its pin at Vref.
    std::string noDrive;
    for (const char *corner : {"TYP", "MIN", "MAX"})
        noDrive += Warn("Model 'b': " + std::string(corner) +
                        " VI curves cannot drive through Vmeas=1.5V\n"
                        "          given load Rref=50 Ohms to Vref=1V");
    EXPECT_EQ(out, Expected("5.0", "CAUTION - Vmeas is <= Vinl for model a\n"
                                   "CAUTION - Vmeas is >= Vinh for model a\n" +
                                       NoRamp("a") + NoRamp("b") + noDrive + Tail("b")));
}

// What the sub-parameter lines leave in the record: values with units,
// a refused value that still counts as given, NA corners, enumerations.
TEST_F(ModelTest, SubParameterValuesInTheRecord) {
    CHECKPASS_BeginFile();
    std::string path = Write("m.ibs", Header("5.0", "m.ibs") +
                                          "[Model] a\nModel_type I/O_open_drain\nVinl = 0.8V\n"
                                          "Vinh 2.0\nPolarity Inverting\nEnable Bogus\n"
                                          "C_comp 5pF NA 6pF\nC_comp_pulldown 1p 1p\n"
                                          "Vmeas=1.5\nRref_diff = 100\n[End]\n");
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    Output();
    MDL *m = ParsedModels();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Model_type, MDL_TYPE_IO_OPEN_DRAIN);
    EXPECT_EQ(m->Polarity, 3);
    EXPECT_EQ(m->Enable, 1);  // given, not valid
    ASSERT_NE(m->Vinl, nullptr);
    EXPECT_DOUBLE_EQ(*m->Vinl, 0.8);
    ASSERT_NE(m->Vinh, nullptr);  // refused for its missing '=', yet given
    EXPECT_EQ(*m->Vinh, 0.0);
    ASSERT_NE(m->C_comp, nullptr);
    EXPECT_DOUBLE_EQ(m->C_comp->typ, 5e-12);
    EXPECT_EQ(m->C_comp->min_state, CMN_VALUE_NA);
    EXPECT_DOUBLE_EQ(m->C_comp->max, 6e-12);
    ASSERT_NE(m->C_comp_pulldown, nullptr);  // a short line is kept with what it has
    EXPECT_EQ(m->C_comp_pulldown->max_state, CMN_VALUE_ABSENT);
    ASSERT_NE(m->Vmeas, nullptr);
    EXPECT_DOUBLE_EQ(*m->Vmeas, 1.5);
    ASSERT_NE(m->Rref_diff, nullptr);
    EXPECT_EQ(*m->Rref_diff, 100.0);
    EXPECT_EQ(m->Cref_diff, nullptr);
    CHECKPASS_EndFile();
}

TEST_F(ModelTest, AlgorithmicEntriesHoldTheirFields) {
    CHECKPASS_BeginFile();
    std::string path = Write("m.ibs", Header("5.0", "m.ibs") + InputModel("a") +
                                          "[Algorithmic Model]\n"
                                          "Executable Windows_VisualStudio_64 model.dll model.ami\n"
                                          "Executable Linux_gcc_x64\n"
                                          "Executable " + std::string(50, 'p') + "_c_32 x " +
                                          std::string(46, 'f') + "\n"
                                          "[End Algorithmic Model]\n[End]\n");
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    IBIS *root = nullptr;
    MDL *models = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    ASSERT_TRUE(IBIS_GetModels(root, &models));
    ASSERT_NE(models->algorithmicModel, nullptr);
    EXPECT_EQ(models->algorithmicModel->line, 10u);
    const ALGMOD *e = models->algorithmicModel->entries;  // newest first
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(std::string(e->platform), std::string(44, 'p'));
    EXPECT_STREQ(e->compiler, "c");
    EXPECT_EQ(e->bits, 32);
    EXPECT_STREQ(e->code_file, "x");
    EXPECT_EQ(std::string(e->ami_file), std::string(44, 'f'));
    e = e->next;
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->platform, "Linux");
    EXPECT_EQ(e->bits, -1);
    EXPECT_STREQ(e->code_file, "");
    EXPECT_STREQ(e->ami_file, "");
    e = e->next;
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->compiler, "VisualStudio");
    EXPECT_EQ(e->bits, 64);
    EXPECT_STREQ(e->code_file, "model.dll");
    EXPECT_STREQ(e->ami_file, "model.ami");
    EXPECT_EQ(e->tree, nullptr);
    EXPECT_EQ(e->next, nullptr);
    CHECKPASS_EndFile();
}

}  // namespace
