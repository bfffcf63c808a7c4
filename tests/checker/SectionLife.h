// Files for checking one pass after another: a first file left open
// inside a section, and second files of each kind with all they print when
// checked alone. Shared by the section-life tests and their out-of-memory
// counterpart.
#pragma once

#include "IbisParser/parse.h"

// Files of a second pass, each with keywords of many sections (the .pkg and
// .ebd files also with keywords their kind refuses).
inline const char kSecondIbs[] =
    "[Source]\nsome source\n[Notes]\na note\n"
    "[Component] c\n[Manufacturer] m\n[Package]\nR_pkg 1m NA NA\nL_pkg 1n NA NA\nC_pkg 1p NA NA\n"
    "[Package Model] nowhere\n"
    "[Pin] signal_name model_name\n1 s1 io\n2 s2 sel\n3 s3 io\n4 s4 io\n5 g GND\n"
    "[Pin Mapping] pulldown_ref pullup_ref\n1 GND VCC\n2 GND VCC\n"
    "[Diff Pin] inv_pin vdiff tdelay_typ\n3 4 0.1 0\n"
    "[Series Pin Mapping] pin_2 model_name function_table_group\n1 2 ser g1\n"
    "[Series Switch Groups]\nOn g1 /\nOff g1 /\n"
    "[Alternate Package Models]\nnowhere2\n[End Alternate Package Models]\n"
    "[Node Declarations]\nn1\n[End Node Declarations]\n"
    "[Circuit Call] ckt\nSignal_pin 1\nPort_map a n1\n[End Circuit Call]\n"
    "[Begin EMI Component]\nDomain Digital\n[Pin EMI] domain\n1 Digital\n[End EMI Component]\n"
    "[External Circuit] ckt\nLanguage SPICE\nCorner Typ c.sp ckt\nPorts a\n[End External Circuit]\n"
    "[Model Selector] sel\nio first\nio2 second\n"
    "[Model] io\nModel_type I/O\nC_comp 1p NA NA\n[Voltage Range] 3.3 NA NA\n"
    "[Model Spec]\nVinh 2 NA NA\nVinl 0.8 NA NA\n"
    "[Pulldown]\n-1 -1m NA NA\n0 0 NA NA\n1 1m NA NA\n"
    "[Pullup]\n-1 1m NA NA\n0 0 NA NA\n1 -1m NA NA\n"
    "[Ramp]\ndV/dt_r 1/1n NA NA\ndV/dt_f 1/1n NA NA\n"
    "[Rising Waveform]\nR_fixture = 50\nV_fixture = 0\n0 0 NA NA\n1n 1 NA NA\n"
    "[Add Submodel]\nbh Non-Driving\n"
    "[Driver Schedule]\nio2 1n NA 2n NA\n"
    "[Begin EMI Model]\nDomain Digital\n[End EMI Model]\n"
    "[Model] io2\nModel_type Input\nC_comp 1p NA NA\n[Voltage Range] 3.3 NA NA\n"
    "[Receiver Thresholds]\nVth = 1.5\n"
    "[Model] ser\nModel_type Series_switch\n[On]\n[R Series] 1 NA NA\n[Off]\n[R Series] 1M NA NA\n"
    "[Series MOSFET]\nVds = 1\n0 0 NA NA\n1 1m NA NA\n"
    "[Submodel] bh\nSubmodel_type Bus_hold\n[Submodel Spec]\nV_trigger_r 1 1 1\n"
    "[Pulldown]\n0 0 NA NA\n1 1m NA NA\n[GND Pulse Table]\n0 0 NA NA\n"
    "[Define Package Model] local\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
    "[Number Of Pins] 1\n[Pin Numbers]\n1\n[Model Data]\n[Resistance Matrix] Full_matrix\n"
    "[Row] 1\n1\n[End Model Data]\n[End Package Model]\n"
    "[Test Data] d\nTest_data_type Single_ended\n[Rising Waveform Near]\n0 0 NA NA\n"
    "[Test Load] t\nTest_load_type Single_ended\nC1_near = 1p\n";
inline const char kSecondPkg[] =
    "[Define Package Model] p1\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
    "[Number Of Sections] 1\n[Number Of Pins] 2\n[Pin Numbers]\nA1 Len=0 L=1n /\nFork\n"
    "Len=1 L=1n /\nEndfork\nLen=0 L=1n /\nA2\n[End Package Model]\n"
    "[Define Package Model] p2\n[Manufacturer] m\n[OEM] o\n[Description] d\n"
    "[Number Of Pins] 2\n[Pin Numbers]\nA1\nA2\n[Model Data]\n"
    "[Inductance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] A1\n1n 1n\n[Row] A2\n1n\n"
    "[Capacitance Matrix] Sparse_matrix\n[Row] A1\nA1 1p\n[End Model Data]\n[End Package Model]\n"
    "[Component] c\n[Pin] signal_name model_name\n1 s m\n[Model] m\n[Pulldown]\n0 0 0 0\n"
    "[Model Selector] ms\nm first\n";
inline const char kSecondEbd[] =
    "[Begin Board Description] B\n[Manufacturer] m\n[Number Of Pins] 2\n"
    "[Pin List] signal_name\n1 s1\n2 s2\n[Path Description] p1\nPin 1 Len=0 L=1n /\n"
    "Fork\nLen=1 L=1n /\nFork\nNode U1.2\nEndfork\nNode U1.1\nEndfork\nLen=0 L=1n /\nNode U1.3\n"
    "[Path Description] p2\nPin 2\nNode U1.4\n[Reference Designator Map]\nU1 far.ibs chip\n"
    "[End Board Description]\n"
    "[Define Package Model] p\n[Pin Numbers]\n1\n[Model Data]\n[End Model Data]\n"
    "[End Package Model]\n[Component] c\n[Pin] signal_name model_name\n1 s m\n"
    "[Model] m\n[Pulldown]\n0 0 0 0\n[Submodel] s\n[Test Load] t\n";

// What each prints when checked alone.
inline const char kSecondIbsAlone[] =
    "\n"
    "Checking t2.ibs for IBIS 5.0 Compatibility...\n"
    "\n"
    "WARNING (line   33) -\n"
    "    Alternate Package Model has only one package model defined\n"
    "ERROR (line   43) - 'domain_name' column header not found or out of order.\n"
    "ERROR (line   43) - 'clock_div' column header not found or out of order.\n"
    "ERROR (line   44) - clock_div not found\n"
    "WARNING - [External Circuit] <ckt> has suspiciously few PORTS (1)\n"
    "ERROR (line   58) - [Model Spec] should be specified immediately after all the subparameters of a model and before the other keywords of a model\n"
    "WARNING - Model 'io': The [Driver_Schedule] has only one model defined\n"
    "WARNING - Model 'io': Model_type 'I/O' must have Vinl set\n"
    "WARNING - Model 'io': Model_type 'I/O' must have Vinh set\n"
    "WARNING - Model 'io': Vmeas timing test load parameter should be specified\n"
    "ERROR (line   88) - [Receiver Thresholds] should be specified immediately after all the subparameters of a model and before the other keywords of a model except [Model Spec]\n"
    "ERROR - Model ser: One of C_comp, C_comp_pullup, C_comp_pulldown, C_comp_power_clamp, C_comp_gnd_clamp must be defined\n"
    "ERROR -\n"
    "    Model 'ser': Pullup Reference Required when No Voltage Range is Specified\n"
    "ERROR -\n"
    "    Model 'ser': Pulldown Reference Required when No Voltage Range is Specified\n"
    "ERROR - Model 'ser': POWER Clamp Reference Required when No Voltage Range is Specified\n"
    "ERROR - Model 'ser': GND Clamp Reference Required when No Voltage Range is Specified\n"
    "ERROR - Model ser: [Series_MOSFET] is not allowed in conjunction with the [Off] keyword\n"
    "ERROR - Require at least 2 Data Points for GND Pulse Table Waveform Beginning at Line 107\n"
    "ERROR - Submodel bh: [Submodel Spec] V_trigger_f is required when Submodel_type is Bus_hold\n"
    "ERROR - Submodel bh: [Ramp] is required when Submodel_type is Bus_hold\n"
    "ERROR - Inductance matrix not found for Package Model 'local'.\n"
    "ERROR - Capacitance matrix not found for Package Model 'local'.\n"
    "ERROR - Test Data 'd': Driver_model Not Defined\n"
    "ERROR - Test Data 'd': Test_load Not Defined\n"
    "ERROR - Require at least 2 Data Points for Rising Waveform Near Waveform Beginning at Line 124\n"
    "WARNING - Model io2 Receiver Thresholds: Vinh_ac must be specified for single ended receivers\n"
    "WARNING - Model io2 Receiver Thresholds: Vinl_ac must be specified for single ended receivers\n"
    "WARNING - Model io2 Receiver Thresholds: Vinh_dc must be specified for single ended receivers\n"
    "WARNING - Model io2 Receiver Thresholds: Vinl_dc must be specified for single ended receivers\n"
    "WARNING - Model io2 Receiver Thresholds: Tslew_ac must be specified for single ended receivers\n"
    "ERROR - Model io: The [Rising Waveform] \n"
    "      with [R_fixture]=50 Ohms and [V_fixture]=0V\n"
    "      has TYP column DC endpoints of  0.00V and  1.00v, but\n"
    "      an equivalent load applied to the model's I-V tables yields\n"
    "      different voltages (-0.00V and  0.16V),\n"
    "      a difference of  0.00% and 536.36%, respectively.\n"
    "ERROR -\n"
    "    Model io2 used in the Driver Schedule of Model io should be an output model\n"
    "WARNING - Model io2 in Model Selector sel is Single Ended, but this Model Selector contains Differential models too \n"
    "ERROR - Unable to find Package Model 'nowhere' for Component 'c'\n"
    "ERROR - Component 'c': Pin '3' not referenced in Pin Mappings.\n"
    "ERROR - Component 'c': Pin '4' not referenced in Pin Mappings.\n"
    "ERROR - Component 'c': Pin '5' not referenced in Pin Mappings.\n"
    "ERROR - Component 'c': Pin Mapping pulldown_ref entry 'GND' is not connected to at least one pin whose model_name is POWER or GND.\n"
    "ERROR - Component 'c': Pin Mapping pulldown_ref entry 'GND' is not connected to at least one pin whose model_name is POWER or GND.\n"
    "ERROR - Component 'c': Pin Mapping pullup_ref entry 'VCC' is not connected to at least one pin whose model_name is POWER or GND.\n"
    "ERROR - Component 'c': Pin Mapping pullup_ref entry 'VCC' is not connected to at least one pin whose model_name is POWER or GND.\n"
    "ERROR - [Circuit Call] at (line 37) first reference pin <1> is not declared CIRCUITCALL in [Pin] section\n"
    "ERROR - Component <c> Floating Node <n1> (1 connection)\n"
    "        [CCALL] Line 37 Node <n1>, Conflicting port = Port <a> = ANALOG \n"
    "ERROR - Unable to find Package Model 'nowhere2' for Component 'c'\n"
    "\n"
    "Errors  : 32\n"
    "Warnings: 12\n"
    "\n"
    "File Failed\n";
inline const char kSecondPkgAlone[] =
    "\n"
    "Checking t2.pkg for IBIS 5.0 Compatibility...\n"
    "\n"
    "ERROR (line   13) -  L and C must be specified when Len != 0\n"
    "ERROR (line   16) - No Sections were defined for this pin even though [Number of Sections] was defined.\n"
    "ERROR - Pin 'A1' has 3 sections. This is greater than the Number of Sections 1 specified\n"
    "ERROR (line   36) -\n"
    "    Expected 2 Rows, found 1 for Matrix ending previous to this line.\n"
    "ERROR (line   38) - Illegal keyword for a '.pkg' file.\n"
    "ERROR (line   41) - Illegal keyword for a '.pkg' file.\n"
    "ERROR (line   44) - Illegal keyword for a '.pkg' file.\n"
    "\n"
    "Errors  : 7\n"
    "\n"
    "File Failed\n";
inline const char kSecondEbdAlone[] =
    "\n"
    "Checking t2.ebd for IBIS 5.0 Compatibility...\n"
    "\n"
    "ERROR (line   13) -  L and C must be specified when Len != 0\n"
    "ERROR (line   27) - Illegal keyword for a '.ebd' file.\n"
    "ERROR (line   33) - Illegal keyword for a '.ebd' file.\n"
    "ERROR (line   36) - Illegal keyword for a '.ebd' file.\n"
    "ERROR (line   39) - Illegal keyword for a '.ebd' file.\n"
    "ERROR (line   40) - Illegal keyword for a '.ebd' file.\n"
    "ERROR - Unable To Open File 'far.ibs'\n"
    "ERROR - Could not determine Version for file far.ibs\n"
    "\n"
    "Errors  : 2\n"
    "\n"
    "File Failed\n"
    "\n"
    "Errors  : 8\n"
    "\n"
    "File Failed\n";

// One file of the second pass and all it prints when checked alone.
struct SecondFile {
    const char *name;
    int kind;
    const char *body;
    const char *alone;
};

inline const SecondFile kSecondFiles[] = {
    {"t2.ibs", FILE_IBS, kSecondIbs, kSecondIbsAlone},
    {"t2.pkg", FILE_PKG, kSecondPkg, kSecondPkgAlone},
    {"t2.ebd", FILE_EBD, kSecondEbd, kSecondEbdAlone},
};

// A first file that ends inside a section: its kind, version and body up to
// the unknown keyword that leaves the section open.
struct OpenCase {
    const char *name;
    int kind;
    const char *version;
    const char *body;
};

inline const OpenCase kOpenCases[] = {
    {"header text", FILE_IBS, "5.0", "[Source]\nline one\nline two\n"},
    {"header notes 2.1", FILE_IBS, "2.1", "[Notes]\nnote\n"},
    {"component keyword", FILE_IBS, "5.0", "[Component] c\n[Manufacturer] m\n"},
    {"component package", FILE_IBS, "5.0", "[Component] c\n[Package]\nR_pkg 1m NA NA\n"},
    {"pin table", FILE_IBS, "5.0", "[Component] c\n[Pin] signal_name model_name\n1 s io\n2 g GND\n"},
    {"pin mapping table", FILE_IBS, "5.0",
     "[Component] c\n[Pin] signal_name model_name\n1 s io\n[Pin Mapping] pulldown_ref pullup_ref\n"
     "1 GND VCC\n"},
    {"diff pin table", FILE_IBS, "5.0",
     "[Component] c\n[Pin] signal_name model_name\n1 s io\n2 t io\n"
     "[Diff Pin] inv_pin vdiff tdelay_typ\n1 2 0.1 0\n"},
    {"series pin mapping table", FILE_IBS, "5.0",
     "[Component] c\n[Pin] signal_name model_name\n1 s ser\n2 t ser\n"
     "[Series Pin Mapping] pin_2 model_name function_table_group\n1 2 ser g1\n"},
    {"switch group open", FILE_IBS, "5.0", "[Component] c\n[Series Switch Groups]\nOn g1 g2\n"},
    {"switch group closed", FILE_IBS, "5.0", "[Component] c\n[Series Switch Groups]\nOn g1 /\nOff g1\n"},
    {"alternate package models", FILE_IBS, "5.0", "[Component] c\n[Alternate Package Models]\nq1\n"},
    {"node declarations", FILE_IBS, "5.0", "[Component] c\n[Node Declarations]\nn1 n2\n"},
    {"circuit call", FILE_IBS, "5.0", "[Component] c\n[Circuit Call] x\nSignal_pin 1\nPort_map a n1\n"},
    {"emi component", FILE_IBS, "5.0", "[Component] c\n[Begin EMI Component]\nDomain Digital\n"},
    {"emi pin table", FILE_IBS, "5.0",
     "[Component] c\n[Pin] signal_name model_name\n1 s io\n[Begin EMI Component]\n"
     "Domain Digital\n[Pin EMI] domain\n1 Digital\n"},
    {"emi pin domain table", FILE_IBS, "5.0",
     "[Component] c\n[Begin EMI Component]\nDomain Digital\n[Pin Domain EMI]\nd 1 2\n"},
    {"external circuit", FILE_IBS, "5.0",
     "[External Circuit] x\nLanguage SPICE\nCorner Typ x.sp x\nPorts a b\n"},
    {"model keyword", FILE_IBS, "5.0", "[Model] m\nModel_type I/O\n"},
    {"model 2.1", FILE_IBS, "2.1", "[Model] m\nModel_type I/O\n[Pulldown]\n0 0 NA NA\n"},
    {"model iv table", FILE_IBS, "5.0", "[Model] m\nModel_type I/O\n[Pulldown]\n0 0 NA NA\n1 1m NA NA\n"},
    {"model ramp", FILE_IBS, "5.0", "[Model] m\nModel_type I/O\n[Ramp]\ndV/dt_r 1/1n NA NA\n"},
    {"model waveform", FILE_IBS, "5.0",
     "[Model] m\nModel_type I/O\n[Rising Waveform]\nR_fixture = 50\n0 0 NA NA\n"},
    {"model composite current", FILE_IBS, "5.0",
     "[Model] m\nModel_type I/O\n[Rising Waveform]\nR_fixture = 50\n0 0 NA NA\n"
     "[Composite Current]\n0 0 NA NA\n"},
    {"model spec", FILE_IBS, "5.0", "[Model] m\nModel_type I/O\n[Model Spec]\nVinh 2 NA NA\n"},
    {"receiver thresholds", FILE_IBS, "5.0",
     "[Model] m\nModel_type Input\n[Receiver Thresholds]\nVth = 1.5\n"},
    {"driver schedule", FILE_IBS, "5.0", "[Model] m\nModel_type I/O\n[Driver Schedule]\nm2 1n NA 2n NA\n"},
    {"add submodel", FILE_IBS, "5.0", "[Model] m\nModel_type I/O\n[Add Submodel]\nbh Non-Driving\n"},
    {"external model", FILE_IBS, "5.0",
     "[Model] m\nModel_type I/O\n[External Model]\nLanguage SPICE\nCorner Typ m.sp m\n"},
    {"algorithmic model", FILE_IBS, "5.0",
     "[Model] m\nModel_type I/O\n[Algorithmic Model]\nExecutable Linux_gcc_32 m.so m.ami\n"},
    {"emi model", FILE_IBS, "5.0", "[Model] m\nModel_type I/O\n[Begin EMI Model]\nDomain Digital\n"},
    {"series model", FILE_IBS, "5.0",
     "[Model] s\nModel_type Series_switch\n[On]\n[R Series] 1 NA NA\n"},
    {"series mosfet", FILE_IBS, "5.0",
     "[Model] s\nModel_type Series_switch\n[On]\n[Series MOSFET]\nVds = 1\n0 0 NA NA\n"},
    {"series current", FILE_IBS, "5.0",
     "[Model] s\nModel_type Series\n[Series Current]\n0 0 NA NA\n"},
    {"isso", FILE_IBS, "5.0", "[Model] m\nModel_type I/O\n[ISSO PD]\n0 0 NA NA\n"},
    {"package model pins", FILE_IBS, "5.0", "[Define Package Model] p\n[Number Of Pins] 2\n[Pin Numbers]\nA1\n"},
    {"package model data", FILE_PKG, "5.0",
     "[Define Package Model] p\n[Number Of Pins] 2\n[Pin Numbers]\nA1\nA2\n[Model Data]\n"},
    {"package matrix row", FILE_PKG, "5.0",
     "[Define Package Model] p\n[Number Of Pins] 2\n[Pin Numbers]\nA1\nA2\n[Model Data]\n"
     "[Inductance Matrix] Full_matrix\n[Row] A1\n1n 1n\n"},
    {"package banded matrix", FILE_PKG, "3.2",
     "[Define Package Model] p\n[Number Of Pins] 2\n[Pin Numbers]\nA1\nA2\n[Model Data]\n"
     "[Capacitance Matrix] Banded_matrix\n[Bandwidth] 1\n[Row] A1\n1p\n"},
    {"package model data ended", FILE_PKG, "5.0",
     "[Define Package Model] p\n[Number Of Pins] 1\n[Pin Numbers]\nA1\n[Model Data]\n"
     "[Resistance Matrix] Full_matrix\n[Row] A1\n1\n[End Model Data]\n"},
    {"package section fork", FILE_PKG, "5.0",
     "[Define Package Model] p\n[Number Of Sections] 1\n[Number Of Pins] 2\n[Pin Numbers]\n"
     "A1 Len=0 L=1n /\nFork\nLen=1 L=1n /\nFork\nLen=1 C=1p /\n"},
    {"package 2.1 in board", FILE_EBD, "2.1",
     "[Define Package Model] p\n[Number Of Pins] 1\n[Pin Numbers]\nA1\n"},
    {"board pin list", FILE_EBD, "5.0",
     "[Begin Board Description] b\n[Manufacturer] m\n[Number Of Pins] 2\n[Pin List] signal_name\n1 s\n"},
    {"board path", FILE_EBD, "5.0",
     "[Begin Board Description] b\n[Path Description] p\nPin 1 Len=0 L=1n /\nNode U1.1\n"},
    {"board fork", FILE_EBD, "5.0",
     "[Begin Board Description] b\n[Path Description] p\nPin 1 Len=0 L=1n /\nFork\nLen=1 L=1n /\n"},
    {"board nested forks", FILE_EBD, "5.0",
     "[Begin Board Description] b\n[Path Description] p\nPin 1\nFork\nLen=1 L=1n /\nFork\n"
     "Node U1.1\nEndfork\nFork\nLen=2 C=1p /\n"},
    {"board map", FILE_EBD, "3.2",
     "[Begin Board Description] b\n[Reference Designator Map]\nU1 x.ibs c\n"},
    {"board unended", FILE_EBD, "5.0",
     "[Begin Board Description] b\n[Manufacturer] m\n[Number Of Pins] 1\n[Pin List] signal_name\n"
     "1 s\n[Path Description] p\nPin 1 Node U1.1\n[Reference Designator Map]\nU1 x.ibs c\n"},
    {"model selector", FILE_IBS, "5.0", "[Model Selector] ms\nm1 first\nm2 second\n"},
    {"submodel keyword", FILE_IBS, "5.0", "[Submodel] s\nSubmodel_type Dynamic_clamp\n"},
    {"submodel spec", FILE_IBS, "5.0", "[Submodel] s\nSubmodel_type Bus_hold\n[Submodel Spec]\nV_trigger_r 1 1 1\n"},
    {"submodel iv table", FILE_IBS, "5.0", "[Submodel] s\nSubmodel_type Bus_hold\n[Pullup]\n0 0 NA NA\n"},
    {"submodel pulse table", FILE_IBS, "5.0",
     "[Submodel] s\nSubmodel_type Dynamic_clamp\n[GND Pulse Table]\n0 0 NA NA\n"},
    {"submodel ramp", FILE_IBS, "5.0", "[Submodel] s\n[Ramp]\ndV/dt_r 1/1n NA NA\n"},
    {"submodel waveform", FILE_IBS, "5.0",
     "[Submodel] s\nSubmodel_type Bus_hold\n[Falling Waveform]\nR_fixture = 50\n0 0 NA NA\n"},
    {"test data", FILE_IBS, "5.0", "[Test Data] d\nTest_data_type Single_ended\n"},
    {"test data waveform", FILE_IBS, "5.0",
     "[Test Data] d\nTest_data_type Differential\n[Diff Rising Waveform Near]\n0 0 NA NA\n"},
    {"test load", FILE_IBS, "4.2", "[Test Load] t\nTest_load_type Single_ended\nC1_near = 1p\n"},
};
