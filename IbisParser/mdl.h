// [Model] section: the MDL record, the section handlers and the lookups
// other sections use.
#pragma once

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
// section calls them through this table (filled in checkpass.cpp); an empty
// slot leaves the keyword's lines unread.
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
// checkpass.cpp). Empty slots: the keyword creates nothing, its lines are
// not read and it closes without checks.
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

// Submodels as the [Add Submodel] checks see them (filled in checkpass.cpp).
// Empty slots skip those checks.
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
