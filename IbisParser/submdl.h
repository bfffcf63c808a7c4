// [Submodel] section: the SUBMDL record, the section handlers and the lookup
// by name that the [Add Submodel] checks use.
#pragma once

#include "IbisParser/parse.h"

struct CRV;
struct RAMP;
struct WVFRM;
struct SMSPEC;
struct NAMEDLIST_INDEX;

// Submodel_type codes.
enum {
    SUBMDL_TYPE_NONE = 0,     // not given
    SUBMDL_TYPE_INVALID = 1,  // given but invalid
    SUBMDL_TYPE_DYNAMIC_CLAMP = 2,
    SUBMDL_TYPE_BUS_HOLD = 3,
    SUBMDL_TYPE_FALL_BACK = 4
};

// One [Submodel]. A non-null pointer means the keyword was given; the record
// owns every table. Fields after `submodelSpec` are bookkeeping.
struct SUBMDL {
    SUBMDL *next;
    char name[21];
    int Submodel_type;
    CRV *pulldown;
    CRV *pullup;
    CRV *gndClamp;
    CRV *powerClamp;
    RAMP *ramp;
    WVFRM *risingWaveform;   // file order
    WVFRM *fallingWaveform;  // file order
    WVFRM *gndPulseTable;
    WVFRM *powerPulseTable;
    SMSPEC *submodelSpec;
    // The names of the list this record heads, held by the head alone.
    NAMEDLIST_INDEX *index;
};

// Section handlers.
void SUBMDL_Init(void);
void SUBMDL_ParseLine(int lineType, IBIS_KEYWORD code, char *text);
void SUBMDL_EndKeyword(IBIS_KEYWORD nextCode);
// Forgets the current submodel and the table being read; frees nothing.
void SUBMDL_Reset(void);

// The type rules and the trigger voltages against the waveforms, run when a
// submodel ends.
void SUBMDL_CheckSubmodel(const SUBMDL *submodel);

// The first submodel of the list with exactly this name, or null. A list
// built by the section answers through its index.
SUBMDL *SUBMDL_FindByName(const char *name, SUBMDL *submodels);

// Records.
int SUBMDL_Create(SUBMDL **out);
void SUBMDL_SetNext(SUBMDL *record, SUBMDL *next);
void SUBMDL_Free(SUBMDL *record);
void SUBMDL_FreeList(SUBMDL *list);
