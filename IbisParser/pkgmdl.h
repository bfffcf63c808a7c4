// Package models: [Define Package Model] to [End Package Model] of an .ibs or
// .pkg file, the whole-file duplicate check, the lookups the component
// checks make, and the search of a directory's package files for a model
// the file does not define.
#pragma once

#include <cstdint>

#include "IbisParser/nameidx.h"
#include "IbisParser/parse.h"

struct MTX;
struct SECT;

enum { PKGMDL_FORK = 0, PKGMDL_SECTION = 1 };

// One link of a pin's section list or of a fork's branch. The elements
// after a fork's branch continue on the fork's `next`.
struct PKGMDL_ELEMENT {
    PKGMDL_ELEMENT *next;
    int32_t kind;  // PKGMDL_FORK or PKGMDL_SECTION
    union {
        PKGMDL_ELEMENT *branch;  // fork: first element of the branch
        SECT *section;           // section
    } child;
};

// The section list of one pin and the sections in it, fork branches included.
struct PKGMDL_PIN_SECTIONS {
    PKGMDL_ELEMENT *head;
    uint32_t sections;
};

struct PKGMDL {
    PKGMDL *next;
    char name[41];
    char Manufacturer[41];
    char OEM[41];
    char Description[61];
    uint32_t Number_of_Pins;      // 0: not given
    uint32_t Number_of_Sections;  // 0: not given
    // The [Pin Numbers] names (at most 5 characters each) in file order: the
    // arrays grow as names arrive, so the count bounds every walk.
    char **Pin_Numbers;  // null until the first pin line
    uint32_t pinCount;
    uint32_t pinRoom;
    // One entry per name once the section form has needed it, else null.
    PKGMDL_PIN_SECTIONS *Pin_Sections;
    uint32_t sectionRoom;
    MTX *Resistance;
    MTX *Inductance;
    MTX *Capacitance;
    NAME_INDEX pinIndex;  // number: 1-based index of the name's first entry
    uint32_t repeatedPins;  // names stored that an earlier entry has already
};

// Section protocol.
void PKGMDL_Init(void);
void PKGMDL_ParseLine(int lineType, IBIS_KEYWORD code, char *text);
void PKGMDL_EndKeyword(IBIS_KEYWORD nextCode);
// Forgets the model being read, its keywords, flags, current element, fork
// stack and open matrix, and the lookup caches (a new pass, a destroyed root).
void PKGMDL_Reset(void);

void PKGMDL_SetNext(PKGMDL *record, PKGMDL *next);
void PKGMDL_Free(PKGMDL *list);

// 3410 once for each pair of models of equal name.
void PKGMDL_CheckAll(PKGMDL *list);

// The first model from `list` on whose name equals `name` exactly; 1 and
// *out (when out is given), else 0.
int PKGMDL_FindByName(PKGMDL *list, const char *name, PKGMDL **out);
// 1-based index of the pin among the current model's names; 0 (index 0)
// when there is no model being read or no such name.
int PKGMDL_FindPinIndex(const char *pinName, uint32_t *index);
// The same, looking first at the name in place `hint` (1-based), where the
// caller expects it: matrix rows mostly follow the names.
int PKGMDL_FindPinIndexAt(const char *pinName, uint32_t hint, uint32_t *index);
// Walks a model's pin names: first = 1 starts at the first name, any other
// value moves to the next; 1 and *name, or 0 past the last name or for an
// unknown model.
int PKGMDL_NextPinNumber(PKGMDL *list, const char *modelName, int first, const char **name);
// Reads every package file of the remembered directory that defines a model
// whose name begins with modelName into the current root; 1 when some file
// of the directory defines it. Each file is read at most once per pass.
int PKGMDL_FindInPkgFiles(const char *modelName);

// The package files of the directories a run has searched: their names, the
// model lines each one holds and what each pass has read of them. Kept by
// the check pass until the run ends.
struct PKGMDL_SCAN;
void PKGMDL_FreeScan(PKGMDL_SCAN *scan);
