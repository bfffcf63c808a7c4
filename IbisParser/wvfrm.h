// Time-value tables: model and submodel waveforms, pulse tables, the eight
// [Test Data] waveforms and [Composite Current].
#pragma once

#include "IbisParser/rngp.h"

// One table. Lists keep file order (new tables at the tail). Fixture values
// are null until their line is read. Fields after `composite` are the
// reader's own bookkeeping.
struct WVFRM {
    WVFRM *next;
    double *R_fixture;
    double *V_fixture;
    double *V_fixture_min;
    double *V_fixture_max;
    double *C_fixture;
    double *L_fixture;
    double *R_dut;
    double *L_dut;
    double *C_dut;
    RNGP *points;  // x is the time
    WVFRM *composite;  // its [Composite Current], or null
    RNGP_TAIL rows;    // where the next row goes
    // Kept in the first table of a list only: its last table and the number
    // of tables, so that appending does not walk the list.
    WVFRM *listLast;
    int listCount;
};

// Kinds of WVFRM_EndKeyword.
enum {
    WVFRM_KIND_WAVEFORM = 0,
    WVFRM_KIND_PULSE = 1,
    WVFRM_KIND_TEST_DATA = 2,
    WVFRM_KIND_COMPOSITE = 3
};

// Appends a new table to *list and selects it; 0 when out of memory (nothing
// is then selected).
int WVFRM_Init(const char *keywordText, WVFRM **list, const char *caption);
// A data line of the selected table; nothing without one. The pulse tables
// pass "GND Pulse Table" / "POWER Pulse Table" here.
void WVFRM_ParseLine(const char *text, const char *caption);
// End checks of the selected table, which is then deselected; nothing
// without one. `caption` is "Rising"/"Falling" with kind 0, the pulse table
// names with kind 1, the [Test Data] captions with kind 2, "Composite
// Current" with kind 3.
void WVFRM_EndKeyword(const char *caption, int kind);
// 1 when the waveform and its composite current have the same time points
// (within a relative 1e-6); else reported with the waveform's index.
int WVFRM_SameTimePoints(const WVFRM *waveform, const WVFRM *composite, int index,
                         const char *modelName, const char *edge);
// Frees a whole list with fixtures, rows and composite currents.
void WVFRM_Free(WVFRM *list);
// Forgets the selected table (new pass, owner's section reset).
void WVFRM_Reset(void);
