// [Test Load] section: the TESTLOAD record, the section handlers and the
// end-of-file checks of the receiver models.
#pragma once

#include <cstddef>

#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

struct RNG;
struct NAMEDLIST_INDEX;

// Test_load_type and Test_data_type codes.
enum {
    TEST_TYPE_NONE = 0,     // not given
    TEST_TYPE_INVALID = 1,  // given without a valid value
    TEST_TYPE_SINGLE_ENDED = 2,
    TEST_TYPE_DIFFERENTIAL = 3
};

// One [Test Load]. Null values and empty names were not given. Fields after
// Receiver_model_inv are bookkeeping.
struct TESTLOAD {
    TESTLOAD *next;
    char name[110];
    int Test_load_type;
    double *C1_near;
    double *Rs_near;
    double *Ls_near;
    double *C2_near;
    double *Rp1_near;
    double *Rp2_near;
    double *Td;
    double *Zo;
    double *Rp1_far;
    double *Rp2_far;
    double *C2_far;
    double *Ls_far;
    double *Rs_far;
    double *C1_far;
    RNG *V_term1;
    RNG *V_term2;
    double *R_diff_near;
    double *R_diff_far;
    char Receiver_model[41];
    char Receiver_model_inv[41];
    // The names of the list this record heads, held by the head alone.
    NAMEDLIST_INDEX *index;
};

// Section handlers.
void TESTLOAD_Init(void);
void TESTLOAD_ParseLine(int lineType, IBIS_KEYWORD code, char *text);
void TESTLOAD_EndKeyword(IBIS_KEYWORD nextCode);
// Forgets the current test load; frees nothing.
void TESTLOAD_Reset(void);

// End check of one test load, when its keyword ends.
void TESTLOAD_CheckTestLoad(const TESTLOAD *testLoad);
// End-of-file checks of the receiver models of every test load.
void TESTLOAD_CheckAll(TESTLOAD *testLoads);

// The first test load of the list with exactly this name, or null.
TESTLOAD *TESTLOAD_FindByName(const char *name, TESTLOAD *testLoads);

// The line forms a test load shares with a test data, each reported with
// the codes of the section that reads it.
struct TEST_CODES {
    MSG_SOURCE source;
    const char *keywordWord;  // "TestLoad" in the bug of a keyword line
    const char *keyword;      // "Test Load" in the count of its names
    int eatKeyword, saveName, missingName, nameCount, nameOver, nameReserved;
    int alreadyDefined, splitBug, missingSetting, invalidLine, itemCount, tryValue,
        invalidValue, valueOver, valueReserved;
};
// The name of the keyword line into name (room for 110): 0 when none was
// stored, 1 when the stored name still needs its duplicate check, 2 when it
// was cut (no further checks).
int TESTLOAD_ParseName(const char *text, char *name, const TEST_CODES *codes);
// "Test_load_type value" / "Test_data_type value" into *type.
void TESTLOAD_ParseTestLoadType(const char *text, const char *subparam, const char *ownerName,
                                int *type, const TEST_CODES *codes);
// "Receiver_model name" and the like into field (room for limit + 1).
void TESTLOAD_ParseModelName(const char *text, const char *subparam, const char *ownerName,
                             char *field, size_t limit, const TEST_CODES *codes);

// Records.
int TESTLOAD_Create(TESTLOAD **out);
void TESTLOAD_SetNext(TESTLOAD *record, TESTLOAD *next);
void TESTLOAD_Free(TESTLOAD *list);
