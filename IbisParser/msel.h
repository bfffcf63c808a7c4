// [Model Selector]: the selector record and the lookup by name that the pin
// and component checks use.
#pragma once

// One row of a selector: a model it may select.
struct MSEL_MODEL {
    MSEL_MODEL *next;
    char name[41];
    char description[87];
};

struct MSEL {
    MSEL *next;
    MSEL_MODEL *models;  // file order
    char name[41];
    int single_ended;  // 2 not known; 1 or 0 (differential) after the selector check
};

// The first selector of the list with exactly this name, or null.
MSEL *MSEL_FindByName(const char *name, MSEL *selectors);
