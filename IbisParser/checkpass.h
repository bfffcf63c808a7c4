// One check pass over one file: begin, parse, run the whole-file checks, end.
#pragma once

int CHECKPASS_BeginFile(void);
void CHECKPASS_RunChecks(int kind, int nested);
// Destroys the current root and prints the summary of this pass (nested
// passes included). Returns 1 when the pass had no bug and no error.
int CHECKPASS_EndFile(void);

// Runs the four steps on one file; returns CHECKPASS_EndFile's result.
int CHECKPASS_CheckFile(const char *path, int kind, int nested);

// Clears the state every section keeps between calls (current records, the
// name counters). Runs at the start of each pass and when a root is destroyed.
void CHECKPASS_ResetSections(void);

// The package files that the current pass has listed and scanned, null
// before its first search; kept per pass, so that a nested pass neither sees
// nor clears the outer one's. Null when no pass is open.
struct PKGMDL_SCAN;
PKGMDL_SCAN **CHECKPASS_GetPackageScan(void);
