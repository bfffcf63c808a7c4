// [Test Data] section: the TESTDATA record with its eight reference
// waveforms, the section handlers and the end-of-file reference checks.
#pragma once

#include "IbisParser/parse.h"

struct WVFRM;
struct TESTLOAD;
struct NAMEDLIST_INDEX;

// The eight waveforms, in record order.
enum {
    TESTDATA_RISING_NEAR,
    TESTDATA_FALLING_NEAR,
    TESTDATA_RISING_FAR,
    TESTDATA_FALLING_FAR,
    TESTDATA_DIFF_RISING_NEAR,
    TESTDATA_DIFF_FALLING_NEAR,
    TESTDATA_DIFF_RISING_FAR,
    TESTDATA_DIFF_FALLING_FAR,
    TESTDATA_WAVEFORMS
};

// One [Test Data]. Empty names were not given; Test_data_type takes the
// codes of Test_load_type (testload.h). Fields after `waveforms` are
// bookkeeping.
struct TESTDATA {
    TESTDATA *next;
    char name[110];
    int Test_data_type;
    char Driver_model[41];
    char Driver_model_inv[41];
    char Test_load[111];
    WVFRM *waveforms[TESTDATA_WAVEFORMS];
    // The names of the list this record heads, held by the head alone.
    NAMEDLIST_INDEX *index;
};

// Section handlers.
void TESTDATA_Init(void);
void TESTDATA_ParseLine(int lineType, IBIS_KEYWORD code, char *text);
void TESTDATA_EndKeyword(IBIS_KEYWORD nextCode);
// Forgets the current test data and the waveform being read; frees nothing.
void TESTDATA_Reset(void);

// End-of-file checks: driver models, then the test load, of each one.
void TESTDATA_CheckAll(TESTDATA *testData);

// Records.
int TESTDATA_Create(TESTDATA **out);
void TESTDATA_SetNext(TESTDATA *record, TESTDATA *next);
void TESTDATA_Free(TESTDATA *list);
