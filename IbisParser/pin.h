// [Pin] of a component: the rows, the lookups other component tables use,
// and the end checks of a component's pins.
#pragma once

#include "IbisParser/nameidx.h"

struct MDL;
struct MSEL;
struct PINMPG;
struct DIFPIN;

struct PIN {
    PIN *next;
    int columns;  // columns found on the row
    char pin[6];
    char signal_name[41];
    char model_name[41];  // a [Model], a [Model Selector], POWER, GND, NC or CIRCUITCALL
    double R_pin;
    int R_pin_state;  // CMN_VALUE_ABSENT, CMN_VALUE_NUMBER or CMN_VALUE_NA
    double L_pin;
    int L_pin_state;
    double C_pin;
    int C_pin_state;
    NAMEIDX_LIST *index;  // head row only: the list's tail and its names
};

// Where R_pin, L_pin and C_pin stand (0, 1, 2) among the three columns after
// model_name; a component starts with R 0, L 1, C 2.
struct PIN_COLUMN_MAP {
    int r;
    int l;
    int c;
};

int PIN_Create(PIN **out);
// One data line; 1 with a new record in *out (also when the row had faults).
int PIN_ParseRow(const char *text, int headerColumns, PIN **out, const PIN_COLUMN_MAP *map);
// Appends at the tail; each earlier row of the same name is reported.
void PIN_Append(PIN **head, PIN *pin);
void PIN_Free(PIN *list);

// Lookups by exact pin name over one component's list; the first row of a
// name answers. A null list answers as for an absent pin.
int PIN_Exists(const char *name, PIN *pins);
PIN *PIN_FindByName(const char *name, PIN *pins);
const char *PIN_GetModelName(const char *name, PIN *pins);
// The pin's model_name is POWER (GND), in any case.
int PIN_IsPower(const char *name, PIN *pins);
int PIN_IsGnd(const char *name, PIN *pins);
int PIN_IsPowerOrGnd(const char *name, PIN *pins);

// The models and model selectors that pins name, indexed once for all the
// components of a file.
struct PIN_MODELS {
    MDL *models;
    MSEL *selectors;
    NAME_TALLY modelIndex;
    NAME_TALLY selectorIndex;
};
void PIN_IndexModels(PIN_MODELS *out, MDL *models, MSEL *selectors);
// The first model (selector) of the name, as a walk of the list finds it.
MDL *PIN_FindModel(const PIN_MODELS *index, const char *name);
MSEL *PIN_FindSelector(const PIN_MODELS *index, const char *name);
void PIN_FreeModels(PIN_MODELS *index);

// End checks of one component's pins. `models` may be null: the root's
// models and selectors are then indexed for this call.
void PIN_CheckAll(PIN *pins, PINMPG *pinMappings, DIFPIN *diffPins, const char *component,
                  const char *packageModel, const PIN_MODELS *models);
