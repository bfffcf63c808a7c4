// [Component] section: the CMPNT record, the section handlers, the end checks
// of every component, and the question the model checks ask: is a model used
// on a differential pin.
#pragma once

#include "IbisParser/nameidx.h"
#include "IbisParser/parse.h"
#include "IbisParser/pin.h"

struct PKG;
struct PINMPG;
struct DIFPIN;
struct SSWCH;
struct Series_Pin_Mapping;
struct APKG;
struct STRING_LIST;
struct CIRCUIT_CALL;
struct CMPNTEMI;
struct MDL;
struct EXTCKT;
struct PKGMDL;

// Si_location and Timing_location values.
enum {
    CMPNT_LOCATION_NONE = 0,     // not given
    CMPNT_LOCATION_INVALID = 1,  // given without a valid value
    CMPNT_LOCATION_DIE = 2,
    CMPNT_LOCATION_PIN = 3
};

// One [Component]; it owns every list and record hanging on it.
struct CMPNT {
    CMPNT *next;
    char name[41];
    char manufacturer[41];
    PKG *package;     // null until [Package]
    int pin_columns;  // columns of the [Pin] header; 0: no [Pin] yet
    PIN *pins;        // file order
    char package_model[41];
    int pin_mapping_columns;
    PINMPG *pin_mappings;
    int diff_pin_columns;
    DIFPIN *diff_pins;
    int si_location;  // CMPNT_LOCATION_*
    int timing_location;
    SSWCH *series_switch_groups;
    int series_pin_mapping_columns;
    Series_Pin_Mapping *series_pin_mappings;
    APKG *alternate_package_models;  // file order
    STRING_LIST *node_declarations;  // owned names; null until [Node Declarations]
    CIRCUIT_CALL *circuit_calls;     // newest first
    CMPNTEMI *emi;
};

// Section handlers and the reset of the section state.
void CMPNT_Init(void);
void CMPNT_ParseLine(int lineType, IBIS_KEYWORD code, char *text);
void CMPNT_EndKeyword(IBIS_KEYWORD nextCode);
void CMPNT_Reset(void);

int CMPNT_Create(CMPNT **out);
void CMPNT_SetNext(CMPNT *component, CMPNT *next);
void CMPNT_Free(CMPNT *list);

// Keyword-line handlers of the component's own tables.
void CMPNT_ParsePinHeader(CMPNT *component, PIN_COLUMN_MAP *map, const char *text);
void CMPNT_ParsePinMappingHeader(CMPNT *component, const char *text);
void CMPNT_ParseDiffPinHeader(CMPNT *component, const char *text);
// A second header replaces the table: the rows read so far are freed.
void CMPNT_ParseSeriesPinMappingHeader(CMPNT *component, const char *text);
// Also forgets the group being read.
void CMPNT_BeginSeriesSwitchGroups(CMPNT *component, const char *text);
void CMPNT_BeginAlternatePackageModels(CMPNT *component, const char *text);
void CMPNT_EndAlternatePackageModels(CMPNT *component, const char *text);

// End checks of every component, once per file.
void CMPNT_CheckAll(CMPNT *components, EXTCKT *circuits, MDL *models);
void CMPNT_CheckPackageModel(const char *component, const char *packageModel);
void CMPNT_CheckAlternatePackageModels(const char *component, APKG *names);
void CMPNT_CheckDiffModels(const char *component, PIN *pins, DIFPIN *diffPins, MDL *models);

// 1 when the model sits, directly or through a model selector, on a pin or
// inv_pin of a [Diff Pin] row of the current file; marks it differential and
// hands out that pin (pin may be null). The answers of one file are worked out
// once, at the first question.
int CMPNT_IsModelOnDiffPin(MDL *model, PIN **pin);

// The names of the pins and inv_pins of [Diff Pin] rows, and whether a pin is
// one of them (the rows are searched when the index gave up).
void CMPNT_IndexDiffPins(NAME_TALLY *out, DIFPIN *rows);
int CMPNT_IsOnDiffPin(const NAME_TALLY *index, DIFPIN *rows, const char *pin);

// The component's other tables, each read by a source file of its own. Until
// a table's slots are filled, its keyword and data lines are taken and
// dropped and its check step is skipped.
struct CMPNT_TABLE_OPS {
    void (*parseHeader)(CMPNT *component, const char *text);  // text after the keyword
    int (*addRow)(CMPNT *component, const char *text);  // 0: no row could be made
    // Called when the component has rows, with the file's models and
    // selectors indexed once for every component.
    void (*checkAll)(CMPNT *component, const PIN_MODELS *models);
    void (*freeRows)(CMPNT *component);  // called when the component has rows
    void (*reset)(void);                 // forget the state kept between lines
};
struct CMPNT_TABLES {
    CMPNT_TABLE_OPS pinMapping;          // [Pin Mapping]
    CMPNT_TABLE_OPS diffPin;             // [Diff Pin]
    CMPNT_TABLE_OPS seriesSwitchGroups;  // [Series Switch Groups]
    CMPNT_TABLE_OPS seriesPinMapping;    // [Series Pin Mapping]
};
extern CMPNT_TABLES CMPNT_tables;

// [Begin EMI Component] blocks: every line of their keywords goes to
// parseLine (keyword lines with the text after the keyword).
struct CMPNT_EMI_OPS {
    void (*parseLine)(int lineType, IBIS_KEYWORD code, const char *text, CMPNTEMI **slot);
    int (*isOpen)(void);
    void (*endKeyword)(IBIS_KEYWORD code);  // the component closes with a block open
    void (*checkAll)(CMPNT *component, CMPNTEMI *record);
    void (*freeRecord)(CMPNTEMI *record);
    void (*reset)(void);
};
extern CMPNT_EMI_OPS CMPNT_emiOps;

// [Node Declarations] and [Circuit Call]. The component creates the node list
// (an empty head node) and the call records and frees them with their names
// and port entries, all allocated through CMN_Alloc.
struct CMPNT_CIRCUIT_OPS {
    int (*parseNodeList)(const char *line, STRING_LIST **list);
    void (*endDeclarations)(void);
    int (*parseCallLine)(const char *line, CIRCUIT_CALL *call);
    void (*resolveCalls)(CMPNT *component, EXTCKT *circuits);
};
extern CMPNT_CIRCUIT_OPS CMPNT_circuitOps;

// Package models: a component's [Package Model] and alternate names are
// looked up here, and the pins a model lists are walked (filled in
// checkpass.cpp).
struct CMPNT_PKGMDL_OPS {
    int (*findByName)(PKGMDL *list, const char *name, PKGMDL **out);
    // Reads the .pkg files of the directory that define the model into the
    // current root; 1 when one did.
    int (*findInPkgFiles)(const char *name);
    int (*nextPinNumber)(PKGMDL *list, const char *modelName, int first, const char **name);
};
extern CMPNT_PKGMDL_OPS CMPNT_pkgmdlOps;
