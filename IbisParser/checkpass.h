// One check pass over one file: begin, parse, run the whole-file checks, end.
#pragma once

#include <cstdint>

int CHECKPASS_BeginFile(void);
void CHECKPASS_RunChecks(int kind, int nested);
// Destroys the current root and prints the summary of this pass (nested
// passes included). Returns 1 when the pass had no bug and no error.
int CHECKPASS_EndFile(void);

// Runs the four steps on one file; returns CHECKPASS_EndFile's result.
int CHECKPASS_CheckFile(const char *path, int kind, int nested);

// Clears the state every section keeps between calls (current records, the
// name counters). Runs at the start of each pass, when a root is destroyed,
// and before a package search reads a file into the root it checks.
void CHECKPASS_ResetSections(void);

// Passes open at once that the bookkeeping follows; a pass nested deeper
// gets no root and so reads nothing.
#define CHECKPASS_MAX_DEPTH 16

// The package files listed and scanned during the current run: the
// outermost pass and the passes nested in it share them, since no file
// changes while it runs. The end of the outermost pass frees them, so that
// the next run sees the files afresh. *depth receives the pass's nesting
// (0 for the outermost) and *serial a number that no other pass of the
// process has. Null, and the two left as they were, when no pass is open
// (or the pass has no root).
struct PKGMDL_SCAN;
PKGMDL_SCAN **CHECKPASS_GetPackageScans(uint32_t *depth, uint64_t *serial);
