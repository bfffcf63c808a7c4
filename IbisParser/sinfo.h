// Series information of a model's [On] or [Off] state.
#pragma once

#include "IbisParser/rng.h"

struct CRV;   // [Series Current] I-V table
struct SMOS;  // [Series MOSFET] list

struct SINFO {
    RNG *R_series;
    RNG *L_series;
    RNG *Rl_series;
    RNG *C_series;
    RNG *Rc_series;
    RNG *Lc_series;
    CRV *series_current;
    SMOS *series_mosfet;
};

// What the I-V and Series MOSFET records bring along (filled in
// checkpass.cpp).
struct SINFO_OPS {
    void (*freeCurve)(CRV *curve);
    void (*freeMosfets)(SMOS *list);
    void (*checkMosfets)(SMOS *list, const char *modelName, const char *label);
};
extern SINFO_OPS SINFO_ops;

// [On] / [Off]: a fresh record into *slot; the keyword line must end at its
// bracket.
int SINFO_Init(const char *keywordText, SINFO **slot, const char *label);
int SINFO_Create(SINFO **slot);
void SINFO_Check(const SINFO *record, const char *modelName, const char *label);
void SINFO_Free(SINFO *record);
