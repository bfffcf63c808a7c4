// Board descriptions: [Begin Board Description] to [End Board Description]
// of an .ebd file with its pins, electrical paths and reference-designator
// map, the checks when a board closes, and the end pass that follows each
// path node into the board or component the map names, checking the .ibs
// and .ebd files the boards reference.
#pragma once

#include <cstdint>

#include "IbisParser/nameidx.h"
#include "IbisParser/parse.h"

struct SECT;

// [Pin List] row.
struct EBDPIN {
    char pin[9];
    char signal[21];
};

enum { EBD_FORK = 0, EBD_NODE = 1, EBD_PIN = 2, EBD_SECTION = 3, EBD_NC = 4 };

// A node: reference designator and pin.
struct EBDNODE {
    char refdes[11];
    char pin[9];
};

// One element of a path. The elements after a fork's branch continue on the
// fork's `next`.
struct EBDELEM {
    EBDELEM *next;
    int32_t kind;  // EBD_FORK .. EBD_NC
    union {
        EBDELEM *branch;  // fork: first element of its branch
        EBDNODE *node;
        char *pin;  // at most 8 characters
        SECT *section;
    } data;
    // The path's next element in file order. Reading a path in file order
    // visits each fork before its branch and its branch before what follows
    // the fork, so the walks of the checks follow this chain and need no
    // stack, whatever the nesting of the file.
    EBDELEM *after;
};

struct EBDPATH {
    EBDPATH *next;
    char name[41];
    EBDELEM *first;
    EBDELEM *all;   // every element in file order (linked through `after`)
    EBDELEM *last;  // the newest of them
};

// [Reference Designator Map] row.
struct REFDES {
    REFDES *next;
    char refdes[11];
    char file[45];  // 24 characters below IBIS version 4, else 44
    char component[41];
    int32_t fileValid;       // the file name passed the file-name rule
    int32_t componentGiven;  // cleared once a reference to the board itself is reported
};

struct EBDMDL {
    EBDMDL *next;
    char name[41];
    char Manufacturer[41];
    uint32_t Number_of_Pins;  // 0: not given
    // The [Pin List] rows in file order: the array grows with the rows, the
    // count bounds every walk.
    EBDPIN **pins;  // null until the first row is stored
    uint32_t pinCount;
    uint32_t pinRoom;
    EBDPATH *paths;  // file order
    EBDPATH *lastPath;
    REFDES *map;  // newest first
    NAME_INDEX pinIndex;   // number: 1-based index of the name's first row
    NAME_INDEX mapIndex;   // item: the newest row of the designator
    NAME_INDEX pathIndex;  // path names
};

// Section protocol.
void EBDMDL_Init(void);
void EBDMDL_ParseLine(int lineType, IBIS_KEYWORD code, char *text);
void EBDMDL_EndKeyword(IBIS_KEYWORD nextCode);
// Forgets the board being read, its path and element, the fork stack, the
// keyword and the flags (a new pass, a destroyed root).
void EBDMDL_Reset(void);

void EBDMDL_SetNext(EBDMDL *record, EBDMDL *next);
void EBDMDL_Free(EBDMDL *list);

// The end pass over a root's boards: duplicates, references within the
// file, and (nested 0) a check pass of each other file referenced, with the
// referenced pins looked up in it.
void EBDMDL_CheckAll(EBDMDL *list, int nested);
