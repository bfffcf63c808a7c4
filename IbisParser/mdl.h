// [Model] section: the MDL record, the section handlers and the lookups
// other sections use.
#pragma once

#include "IbisParser/nameidx.h"
#include "IbisParser/parse.h"

struct RNG;
struct SINFO;
struct CRV;
struct RAMP;
struct WVFRM;
struct DRVSH;
struct MSPEC;
struct RCVTH;
struct ALGMOD_LIST;
struct MDLEMI;
struct EXTMDL;  // [External Model] / [External Circuit] description
struct SUBMDL;

// Model_type codes, one table for the whole checker.
enum {
    MDL_TYPE_NONE = 0,     // not given
    MDL_TYPE_INVALID = 1,  // given but invalid
    MDL_TYPE_INPUT = 2,
    MDL_TYPE_OUTPUT = 3,
    MDL_TYPE_IO = 4,
    MDL_TYPE_3STATE = 5,
    MDL_TYPE_OPEN_DRAIN = 6,
    MDL_TYPE_IO_OPEN_DRAIN = 7,
    MDL_TYPE_OPEN_SINK = 8,
    MDL_TYPE_IO_OPEN_SINK = 9,
    MDL_TYPE_OPEN_SOURCE = 10,
    MDL_TYPE_IO_OPEN_SOURCE = 11,
    MDL_TYPE_INPUT_ECL = 12,
    MDL_TYPE_OUTPUT_ECL = 13,
    MDL_TYPE_IO_ECL = 14,
    MDL_TYPE_TERMINATOR = 15,
    MDL_TYPE_SERIES = 16,
    MDL_TYPE_SERIES_SWITCH = 17,
    MDL_TYPE_3STATE_ECL = 18,
    MDL_TYPE_IO_DIFF = 19,
    MDL_TYPE_OUTPUT_DIFF = 20,
    MDL_TYPE_3STATE_DIFF = 21,
    MDL_TYPE_INPUT_DIFF = 22
};

// Which drive tables a Model_type describes a driver with: both [Pullup] and
// [Pulldown] (Output, I/O, 3-state and their ECL forms), the [Pulldown] alone
// (the open-drain and open-sink types) or the [Pullup] alone (the open-source
// types).
inline bool MDL_PullsUpAndDown(int type) {
    switch (type) {
    case MDL_TYPE_OUTPUT:
    case MDL_TYPE_IO:
    case MDL_TYPE_3STATE:
    case MDL_TYPE_OUTPUT_ECL:
    case MDL_TYPE_IO_ECL:
    case MDL_TYPE_3STATE_ECL:
        return true;
    default:
        return false;
    }
}
inline bool MDL_PullsDownOnly(int type) {
    return type >= MDL_TYPE_OPEN_DRAIN && type <= MDL_TYPE_IO_OPEN_SINK;
}
inline bool MDL_PullsUpOnly(int type) {
    return type == MDL_TYPE_OPEN_SOURCE || type == MDL_TYPE_IO_OPEN_SOURCE;
}

// One [Add Submodel] row.
struct ADD_SUBMDL {
    char name[21];
    int mode;  // 0 Driving, 1 Non-Driving, 2 All, 3 not given or invalid
    ADD_SUBMDL *next;
};

// One [Model]. A non-null pointer means the keyword or sub-parameter was
// given. The record owns every sub-record.
struct MDL {
    MDL *next;
    char name[41];
    int Model_type;
    int Polarity;  // 0 not given, 1 invalid, 2 Non-Inverting, 3 Inverting
    int Enable;    // 0 not given, 1 invalid, 2 Active-High, 3 Active-Low
    double *Vinl;
    double *Vinh;
    RNG *C_comp;
    RNG *C_comp_pullup;
    RNG *C_comp_pulldown;
    RNG *C_comp_power_clamp;
    RNG *C_comp_gnd_clamp;
    double *Vmeas;
    double *Cref;
    double *Rref;
    double *Vref;
    double *Cref_diff;
    double *Rref_diff;
    RNG *temperatureRange;
    RNG *voltageRange;
    RNG *pullupReference;
    RNG *pulldownReference;
    RNG *powerClampReference;
    RNG *gndClampReference;
    RNG *externalReference;
    RNG *TTgnd;
    RNG *TTpower;
    DRVSH *driverSchedule;
    MSPEC *modelSpec;
    RCVTH *receiverThresholds;
    SINFO *on;   // also the series elements of a Series model
    SINFO *off;
    ADD_SUBMDL *addSubmodel;
    CRV *pulldown;
    CRV *pullup;
    CRV *gndClamp;
    CRV *powerClamp;
    RNG *Rgnd;
    RNG *Rpower;
    RNG *Rac;
    RNG *Cac;
    RAMP *ramp;
    WVFRM *risingWaveform;
    WVFRM *fallingWaveform;
    EXTMDL *externalModel;
    ALGMOD_LIST *algorithmicModel;  // [Algorithmic Model] entries
    CRV *ISSO_PU;
    CRV *ISSO_PD;
    MDLEMI *emiModel;
    int referenced;    // set by MDL_MarkReferenced
    int single_ended;  // 2 not known, 0 found on a [Diff Pin]
};

// The model's sub-sections that other source files read: [Model Spec],
// [Receiver Thresholds], [Driver Schedule] and [Begin EMI Model]. The model
// section calls them through this table (filled in checkpass.cpp).
struct MDL_SUBSECTION_OPS {
    int (*mspecInit)(const char *keywordText, MSPEC **slot);
    // Takes the model: which sub-parameters fit depends on its Model_type.
    void (*mspecParseLine)(const char *text, MSPEC *record, const MDL *model);
    void (*mspecEndKeyword)(MDL *model);
    void (*mspecFree)(MSPEC *record);
    int (*rcvthInit)(const char *keywordText, RCVTH **slot);
    void (*rcvthParseLine)(const char *text, RCVTH *record, const char *modelName);
    void (*rcvthEndKeyword)(MDL *model);
    void (*rcvthFree)(RCVTH *record);
    int (*drvshInit)(const char *keywordText, DRVSH **slot, const char *modelName);
    void (*drvshParseLine)(const char *text, DRVSH *schedule, const char *modelName);
    void (*drvshEndKeyword)(DRVSH *schedule, const char *modelName);
    void (*drvshFree)(DRVSH *schedule);
    int (*mdlemiInit)(const char *keywordText, MDLEMI **slot, int code);
    void (*mdlemiParseLine)(const char *text, MDLEMI *record);
    void (*mdlemiEndKeyword)(MDL *model);
    void (*mdlemiFree)(MDLEMI *record);
};
extern MDL_SUBSECTION_OPS MDL_subsections;

// Lookups by exact name; the newest model of a name wins, as a walk of the
// newest-first list finds it.
MDL *MDL_FindByName(const char *name, MDL *models);
int MDL_MarkReferenced(const char *name, MDL *models);
int MDL_GetTypeByName(MDL *models, const char *name, int *modelType);
// The Model_type text of a code ("No Type" for 0 and 1).
void MDL_GetModelTypeName(int code, const char **text);

// The [External Model] description, read by its own source (filled in
// checkpass.cpp).
struct MDL_EXTERNAL_OPS {
    int (*create)(EXTMDL **slot);  // 0 when out of memory
    // One data line; owner 0 for [External Model].
    void (*parseLine)(const char *text, EXTMDL *description, int owner);
    // The keyword after the description arrived: its end checks, and 1 when
    // that keyword is not [End External Model] (the model then stays open).
    int (*end)(MDL *model, IBIS_KEYWORD nextCode);
    void (*free)(EXTMDL *description);
};
extern MDL_EXTERNAL_OPS MDL_externalOps;

// ---- [External Model] and [External Circuit] --------------------------------

// Language of an external description.
enum {
    MDL_LANG_NONE = 0,
    MDL_LANG_SPICE = 27,  // SPICE, VHDL-A(MS), Verilog-A(MS)
    MDL_LANG_VHDL_AMS = 28,
    MDL_LANG_VERILOG_AMS = 29
};

// One name of a description's lists; the text lives with the node.
struct EXT_NAME {
    EXT_NAME *next;
    const char *text;
};

// One D_to_A or A_to_D row (an A_to_D row has no trise and tfall). The
// texts live with the row.
struct EXT_CONVERTER {
    const char *digital;
    const char *port1;
    const char *port2;
    const char *ports;  // "digital port1 port2": what corners compare
    double vlow;
    double vhigh;
    double trise;
    double tfall;
    unsigned long line;
    EXT_CONVERTER *next;
};

// One Corner line, and the converter rows given for that corner.
struct EXT_CORNER {
    const char *fileName;  // both live with the corner
    const char *circuitName;
    EXT_CONVERTER *dToA;  // newest first
    EXT_CONVERTER *aToD;  // newest first
    NAME_INDEX aToDDigital;  // digital ports of the A_to_D rows
};

// An [External Model] or [External Circuit] description. Port_type lines
// are always refused, so no port carries a declared type.
struct EXTMDL {
    int language;  // MDL_LANG_*
    EXT_CORNER *typ;
    EXT_CORNER *min;
    EXT_CORNER *max;
    EXT_NAME *digitalPorts;  // digital ports of an [External Circuit]'s converter rows
    EXT_NAME *parameters;    // file order
    EXT_NAME *parametersTail;
    EXT_NAME *ports;  // newest first
    int portCount;
    NAME_INDEX portIndex;  // over ports
    int portIndexFailed;   // out of memory: lookups walk the list
    unsigned portsReserved;    // reserved digital ports among ports (bits)
    unsigned digitalReserved;  // and among digitalPorts
};

// One [External Circuit].
struct EXTCKT {
    char name[41];
    EXTMDL *description;
    unsigned long line;  // of the keyword
    EXTCKT *next;
};

// The description behind [External Model] (the hooks of MDL_externalOps).
int MDL_CreateExternalModel(EXTMDL **out);
// One data line; owner 0 for [External Model], 1 for [External Circuit].
void MDL_ParseExternalModelSubparam(const char *text, EXTMDL *description, int owner);
// The keyword after the block: its end checks on [End External Model];
// 1 when the keyword is another one.
int MDL_EndExternalModel(MDL *model, IBIS_KEYWORD nextCode);
void MDL_FreeExternalModel(EXTMDL *description);

// [External Circuit] section handlers; there is no end handler.
void MDL_InitExternalCircuit(void);
void MDL_ParseExternalCircuitLine(int lineType, IBIS_KEYWORD code, char *text);
// Forgets the current circuit and every pointer into circuits.
void MDL_ResetExternalCircuit(void);

// 1 for a reserved analog or digital port name.
int MDL_IsReservedPort(const char *name);
// 1 for A_gnd or a name of the description's Ports.
int MDL_IsKnownPort(const char *name, const EXTMDL *description);
// The newest circuit of the name (exact), or null.
EXTCKT *MDL_FindExternalCircuit(const char *name, EXTCKT *circuits);
void MDL_SetExternalCircuitNext(EXTCKT *record, EXTCKT *next);
void MDL_FreeExternalCircuits(EXTCKT *list);

// Submodels as the [Add Submodel] checks see them (filled in checkpass.cpp).
struct MDL_SUBMODEL_OPS {
    SUBMDL *(*findByName)(const char *name, SUBMDL *submodels);  // exact name
    SUBMDL *(*next)(SUBMDL *submodel);
    const char *(*name)(const SUBMDL *submodel);
};
extern MDL_SUBMODEL_OPS MDL_submodelOps;

// Section handlers.
void MDL_Init(void);
void MDL_ParseLine(int lineType, IBIS_KEYWORD code, char *text);
void MDL_EndKeyword(IBIS_KEYWORD nextCode);
// Forgets the current model and every pointer into records.
void MDL_Reset(void);
// The series elements that [R Series] and the like fill: none until the
// next [On], [Off] or series keyword ([External Circuit] clears it too).
void MDL_ClearSeriesInfo(void);

// End checks of one model: of its sub-parameters when the [Model] block
// closes, of the whole model when it ends.
void MDL_CheckModelKeyword(MDL *model);
void MDL_CheckModel(MDL *model);

// Whole-file checks.
void MDL_CheckAddSubmodelRefs(MDL *models, SUBMDL *submodels);
void MDL_WarnUnreferenced(MDL *models);
void MDL_CheckSubmodelsReferenced(MDL *models, SUBMDL *submodels);

// Records.
int MDL_Create(MDL **out);
void MDL_SetNext(MDL *record, MDL *next);
void MDL_Free(MDL *record);
void MDL_FreeList(MDL *list);
