// [Submodel Spec] of a submodel: V_trigger_r, V_trigger_f and Off_delay.
#pragma once

struct RNG;
struct SUBMDL;

// One range per sub-parameter, null while not given.
struct SMSPEC {
    RNG *V_trigger_r;
    RNG *V_trigger_f;
    RNG *Off_delay;
};

// A record already in *slot is reported and replaced; 0 when out of memory
// (the slot is then empty).
int SMSPEC_Init(const char *keywordText, SMSPEC **slot);
// One data line; a null record (its Init ran out of memory) takes nothing.
void SMSPEC_ParseLine(const char *text, SMSPEC *record, const char *submodelName);
// The end check of the submodel's spec (nothing when it has none).
void SMSPEC_EndKeyword(const SUBMDL *submodel);
// 1 V_trigger_r, 2 V_trigger_f, 3 Off_delay; 0 for any other name.
int SMSPEC_LookupSubparam(const char *name);
void SMSPEC_Free(SMSPEC *record);
