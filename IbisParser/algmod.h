// [Algorithmic Model] of a model: its Executable entries, their end checks,
// and the checks of the AMI parameter files they name.
#pragma once

struct AMIP_TREE;
struct MDL;

// One Executable entry.
struct ALGMOD {
    ALGMOD *next;
    char platform[45];
    char compiler[45];
    int bits;  // -1 until a number is read
    char code_file[45];
    char ami_file[45];
    AMIP_TREE *tree;  // the parsed .ami file while it is checked, owned; null after
};

// The entries of one [Algorithmic Model], newest first, and the line of
// its keyword (named by the end checks).
struct ALGMOD_LIST {
    ALGMOD *entries;
    unsigned long line;
};

// The [Algorithmic Model] keyword line: a fresh, empty list into *slot (an
// earlier one is reported and freed). 0 when out of memory.
int ALGMOD_Init(const char *keywordText, ALGMOD_LIST **slot, const char *modelName);
// One data line of the block.
void ALGMOD_ParseLine(const char *text, ALGMOD_LIST *list);
// End checks of the entries, run when the model ends.
void ALGMOD_CheckExecutables(const ALGMOD_LIST *list);
// Frees the entries with their trees, then the list; null is allowed.
void ALGMOD_Free(ALGMOD_LIST *list);

// Whole-file checks of every model's entries: the named files exist, and
// each .ami file is read, parsed and its tree checked.
void ALGMOD_CheckModels(MDL *models);
// Parses and checks the joined text of the .ami file read last and frees
// the text; the tree, or null when the text did not parse (reported).
AMIP_TREE *ALGMOD_ParseAmiText(void);
// A lone .ami file under check: its text parsed and checked.
void ALGMOD_CheckAmiFile(void);
// 1 when name opens where the reader would look for it.
int ALGMOD_FileExists(const char *name);
