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
struct ALGMOD;
struct MDLEMI;
struct EXTMDL;  // [External Model] / [External Circuit] description

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
    ALGMOD *algorithmicModel;
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
