// One distributed R/L/C section of a package pin or board path: Len, L, R and
// C items ended by a slash.
#pragma once

// Each value is owned; null when its item was not given.
struct SECT {
    double *Len;
    double *L;
    double *R;
    double *C;
};

// Reads the next section of text. 1 with *section null when only blanks are
// left, or a last item without its value (reported); 1 with a new section (the caller owns it) and *rest just past its '/';
// 0 when the text ends inside a section or memory ran out (nothing kept).
int SECT_ParseSection(const char *text, SECT **section, const char **rest);
int SECT_ParseSection(char *text, SECT **section, char **rest);
int SECT_Create(SECT **section);
void SECT_Free(SECT *section);
