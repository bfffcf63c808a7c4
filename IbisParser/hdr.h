// File header: [IBIS Ver], [File Name], [File Rev], [Date], [Source],
// [Notes], [Disclaimer], [Copyright].
#pragma once

#include <cstddef>

#include "IbisParser/parse.h"

// Most bytes of one header text; beyond it lines are refused (1020).
#define HDR_MAX_TEXT (64UL * 1024UL * 1024UL)

struct HDR_TEXT_SIZE {
    size_t length;
    size_t room;
    int full;  // HDR_MAX_TEXT reached and reported
};

struct HDR {
    HDR *next;
    char ibis_ver[71];
    char file_name[1025];
    char file_rev[71];
    char date[41];
    char *source;  // lines joined by '\n'; null when absent
    char *notes;
    char *disclaimer;
    char *copyright;
    // Length and room of the four texts, so that long texts grow in linear time.
    HDR_TEXT_SIZE source_size;
    HDR_TEXT_SIZE notes_size;
    HDR_TEXT_SIZE disclaimer_size;
    HDR_TEXT_SIZE copyright_size;
};

void HDR_Init(void);
void HDR_ParseLine(int lineType, IBIS_KEYWORD code, char *text);
void HDR_EndKeyword(IBIS_KEYWORD nextCode);
void HDR_Reset(void);  // no header open, seen-flags cleared

void HDR_ParseIbisVer(const char *value);
void HDR_ParseFileName(const char *value);
void HDR_ParseFileRev(const char *value);
void HDR_ParseDate(const char *value);
void HDR_ParseSource(const char *value);
void HDR_ParseNotes(const char *value);
void HDR_ParseDisclaimer(const char *value);
void HDR_ParseCopyright(const char *value);
// Appends a line to a text (a '\n' between lines); 0 after message 1020.
int HDR_AppendText(char **text, HDR_TEXT_SIZE *size, const char *line);

void HDR_Free(HDR *list);
void HDR_SetNext(HDR *record, HDR *next);

int HDR_GetVersion(const HDR *record, const char **out);
int HDR_GetFileName(const HDR *record, const char **out);
int HDR_GetFileRev(const HDR *record, const char **out);
int HDR_GetDate(const HDR *record, const char **out);
int HDR_GetSource(const HDR *record, const char **out);
int HDR_GetNotes(const HDR *record, const char **out);
int HDR_GetDisclaimer(const HDR *record, const char **out);
int HDR_GetCopyright(const HDR *record, const char **out);
