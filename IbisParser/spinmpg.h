// [Series Pin Mapping] of a component: pairs of pins joined by a series
// model, and the end checks of the models they name.
#pragma once

struct PIN;
struct PIN_MODELS;
struct SSWCH;

struct Series_Pin_Mapping {
    Series_Pin_Mapping *next;
    int columns;  // columns stored from the row
    char pin1[6];
    char pin2[6];
    char model_name[41];
    char function_table_group[21];  // empty: not given
    Series_Pin_Mapping *listLast;   // head row only (CMN_AppendAtTail)
    int listCount;
};

// A cleared record; 0 (reported) when memory runs out.
int SPINMPG_Create(Series_Pin_Mapping **out);
// One data line; 1 with a new record in *out, 0 when none could be made.
int SPINMPG_ParseRow(const char *text, int headerColumns, Series_Pin_Mapping **out);
void SPINMPG_Append(Series_Pin_Mapping **head, Series_Pin_Mapping *row);
void SPINMPG_Free(Series_Pin_Mapping *list);

// End checks of one component's rows: pins declared, each model (or each
// model of a selector) a series model, switches with a group the component's
// [Series Switch Groups] lists.
void SPINMPG_CheckAll(Series_Pin_Mapping *rows, PIN *pins, const char *component,
                      SSWCH *groups, const PIN_MODELS *models);
