/*
** Printers, counters, settings and summary of the numbered diagnostics.
*/
#include "IbisParser/msg.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

FILE *msgOut = nullptr; /* null: standard output */

int plainStyle = 1;
int bugsSilent = 0;
int errorsSilent = 0;
int warningsSilent = 0;
int cautionsSilent = 1;

int32_t nBugs = 0;
int32_t nErrors = 0;
int32_t nWarnings = 0;
int32_t nCautions = 0;

unsigned long lineNumber = 0;

int memoryFailed = 0;

struct MSG_ROW_ID {
  MSG_SOURCE source;
  int code;
};

/* The reports of a failed allocation itself: printing one marks the pass. */
const MSG_ROW_ID kMemoryFailures[] = {
    {MSGSRC_CMN, 1906},    /* Memory allocation failed */
    {MSGSRC_CMN, 1907},    /* Memory reallocation failed */
    {MSGSRC_CMN, 1908},    /* Unable to Allocate Memory */
    {MSGSRC_ALGMOD, 4621}, /* the parameter parser, whose allocator is silent */
};

/* Rows that say memory ran out, and nothing else: the only ones printed
   once the pass is marked.  A section's report of the record, name, row or
   word split it could not get is one; a row that a fault of the file can
   also print is not. */
const MSG_ROW_ID kMemoryRows[] = {
    {MSGSRC_MDL, 100},       {MSGSRC_MDL, 126},       {MSGSRC_MDL, 134},
    {MSGSRC_MDL, 250},       {MSGSRC_CMPNT, 512},     {MSGSRC_CMPNT, 534},
    {MSGSRC_CMPNT, 549},     {MSGSRC_CMPNT, 550},     {MSGSRC_PIN, 600},
    {MSGSRC_PIN, 614},       {MSGSRC_PINMPG, 728},    {MSGSRC_DIFPIN, 800},
    {MSGSRC_PARSE, 922},     {MSGSRC_HDR, 1006},      {MSGSRC_CRV, 1101},
    {MSGSRC_CRV, 1103},      {MSGSRC_CRV, 1105},      {MSGSRC_PKG, 1200},
    {MSGSRC_RAMP, 1301},     {MSGSRC_RAMP, 1303},     {MSGSRC_RNGP, 1400},
    {MSGSRC_RNGP, 1404},     {MSGSRC_APKG, 1602},     {MSGSRC_CIRCUIT, 1803},
    {MSGSRC_CMN, 1906},      {MSGSRC_CMN, 1907},      {MSGSRC_CMN, 1908},
    {MSGSRC_WVFRM, 2002},    {MSGSRC_WVFRM, 2012},    {MSGSRC_STRING, 2100},
    {MSGSRC_TESTLOAD, 2200}, {MSGSRC_TESTLOAD, 2207}, {MSGSRC_TESTLOAD, 2213},
    {MSGSRC_TESTDATA, 2300}, {MSGSRC_TESTDATA, 2315}, {MSGSRC_TESTDATA, 2321},
    {MSGSRC_SUBMDL, 2400},   {MSGSRC_SUBMDL, 2409},   {MSGSRC_SUBMDL, 2415},
    {MSGSRC_SSWCH, 2501},    {MSGSRC_SSWCH, 2503},    {MSGSRC_SSWCH, 2508},
    {MSGSRC_SPINMPG, 2619},  {MSGSRC_SMSPEC, 2701},   {MSGSRC_SMSPEC, 2703},
    {MSGSRC_SMOS, 2802},     {MSGSRC_SMOS, 2809},     {MSGSRC_SINFO, 2901},
    {MSGSRC_SINFO, 2903},    {MSGSRC_SECT, 3014},     {MSGSRC_ROW, 3106},
    {MSGSRC_ROW, 3119},      {MSGSRC_ROW, 3123},      {MSGSRC_RCVTH, 3201},
    {MSGSRC_RCVTH, 3203},    {MSGSRC_CRVOP, 3300},    {MSGSRC_PKGMDL, 3408},
    {MSGSRC_PKGMDL, 3416},   {MSGSRC_PKGMDL, 3434},   {MSGSRC_PKGMDL, 3436},
    {MSGSRC_PKGMDL, 3448},   {MSGSRC_NODE, 3600},     {MSGSRC_MTX, 3700},
    {MSGSRC_MSPEC, 3801},    {MSGSRC_MSPEC, 3803},    {MSGSRC_IBIS, 3900},
    {MSGSRC_RNG, 3900},      {MSGSRC_RNG, 3904},      {MSGSRC_MSEL, 4007},
    {MSGSRC_MSEL, 4008},     {MSGSRC_MSEL, 4009},     {MSGSRC_MSEL, 4015},
    {MSGSRC_DRVSH, 4201},    {MSGSRC_DRVSH, 4203},    {MSGSRC_DRVSH, 4210},
    {MSGSRC_DRVSH, 4216},    {MSGSRC_EBDMDL_G3, 4301}, {MSGSRC_EBDMDL_G3, 4302},
    {MSGSRC_EBDMDL_G1, 4304}, {MSGSRC_EBDMDL, 4307},  {MSGSRC_EBDMDL, 4319},
    {MSGSRC_EBDMDL, 4321},   {MSGSRC_EBDMDL, 4353},   {MSGSRC_EBDMDL, 4360},
    {MSGSRC_EBDMDL, 4365},   {MSGSRC_EBDMDL, 4366},   {MSGSRC_EBDMDL, 4367},
    {MSGSRC_DLY, 4500},      {MSGSRC_DLY, 4503},      {MSGSRC_ALGMOD, 4602},
    {MSGSRC_ALGMOD, 4604},   {MSGSRC_ALGMOD, 4608},   {MSGSRC_ALGMOD, 4621},
    {MSGSRC_CMPNTEMI, 4702}, {MSGSRC_CMPNTEMI, 4713}, {MSGSRC_CMPNTEMI, 4722},
    {MSGSRC_MDLEMI, 4802},   {MSGSRC_MDLEMI, 4804},   {MSGSRC_PINEMI, 4900},
    {MSGSRC_PINEMI, 4910},
};

template <size_t N> int listed(const MSG_ROW_ID (&rows)[N], MSG_SOURCE source, int code) {
  for (const MSG_ROW_ID &r : rows)
    if (r.code == code && r.source == source) return 1;
  return 0;
}

FILE *out() {
  if (!msgOut) msgOut = stdout;
  return msgOut;
}

/* Severity families; the "line" variants are family*2+1 in the numbering. */
enum { FAM_BUG, FAM_ERROR, FAM_WARNING, FAM_CAUTION, FAM_NOTE, FAM_COUNT };

const char *const famWord[FAM_COUNT] = {"PROGRAM BUG", "ERROR", "WARNING", "CAUTION", "NOTE"};
const char famLetter[FAM_COUNT] = {'B', 'E', 'W', 'C', 'N'};
/* Lengths put on a second line: [lo, hi] without and with line number. */
const int winLo[FAM_COUNT][2] = {{-1, -1}, {72, 60}, {70, 58}, {70, 58}, {73, 61}};
const int winHi[FAM_COUNT][2] = {{-1, -1}, {75, 75}, {75, 75}, {75, 75}, {75, 75}};

int silenced(int fam) {
  switch (fam) {
  case FAM_BUG: return bugsSilent;
  case FAM_ERROR: return errorsSilent;
  case FAM_WARNING: return warningsSilent;
  case FAM_CAUTION: return cautionsSilent;
  default: return 0;
  }
}

void count(int fam) {
  switch (fam) {
  case FAM_BUG: nBugs++; break;
  case FAM_ERROR: nErrors++; break;
  case FAM_WARNING: nWarnings++; break;
  case FAM_CAUTION: nCautions++; break;
  default: break; /* notes are not counted */
  }
}

/*
** Counts and writes one message.  code < 0 selects the plain style (the
** severity word), else the letter and four-digit code.
*/
void emit(int fam, int withLine, int code, const char *text) {
  FILE *f = out();
  count(fam);
  if (code < 0) {
    fputs(famWord[fam], f);
  } else {
    fprintf(f, "%c%04d", famLetter[fam], code);
  }
  if (withLine) fprintf(f, " (line %*lu)", 4, lineNumber);
  int len = static_cast<int>(strlen(text));
  if (len >= winLo[fam][withLine] && len <= winHi[fam][withLine] && winLo[fam][withLine] >= 0) {
    fprintf(f, " -\n    %s\n", text);
  } else {
    fprintf(f, " - %s\n", text);
  }
}

/* Formats into the message buffer, cutting what does not fit. */
void fill(char (&buf)[MSG_BUFFER_SIZE], const char *format, va_list ap) {
  buf[0] = '\0';
  if (format) vsnprintf(buf, sizeof buf, format, ap);
}

/* Row of (source, code) by binary search over (code, source), or -1. */
int findRow(MSG_SOURCE source, int code) {
  int lo = 0, hi = MSG_tableSize - 1;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    const MSG_ENTRY &e = MSG_table[mid];
    if (e.code == code && e.source == source) return mid;
    if (e.code < code || (e.code == code && e.source < source)) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return -1;
}

/* A coded printer: severity family and line flag, row by (source, code). */
void printCoded(int fam, int withLine, MSG_SOURCE source, int code, va_list ap) {
  int row = findRow(source, code);
  if (row < 0) {
    if (!plainStyle) fprintf(out(), "I%04d - %s\n", 0, MSG_table[0].format);
    return;
  }
  if (silenced(fam)) return;
  if (memoryFailed && !listed(kMemoryRows, source, code)) return;
  char buf[MSG_BUFFER_SIZE];
  fill(buf, MSG_table[row].format, ap);
  emit(fam, withLine, plainStyle ? -1 : code, buf);
  if (listed(kMemoryFailures, source, code)) memoryFailed = 1;
}

/* The two texts printed this way report faults of the file. */
void printText(int fam, int withLine, const char *format, va_list ap) {
  if (silenced(fam) || memoryFailed) return;
  char buf[MSG_BUFFER_SIZE];
  fill(buf, format, ap);
  emit(fam, withLine, -1, buf);
}

/* MSG_Print / MSG_PrintCoded: count, never silenced; code < 0 plain. */
void printGeneric(int code, int severity, const char *format, va_list ap) {
  if (severity < 0 || severity > MSG_SEV_NOTE_LINE) return;
  char buf[MSG_BUFFER_SIZE];
  fill(buf, format, ap);
  emit(severity / 2, severity % 2, code, buf);
}

} // namespace

#define CODED_PRINTER(name, fam, withLine) \
  void name(MSG_SOURCE source, int code, ...) { \
    va_list ap; \
    va_start(ap, code); \
    printCoded(fam, withLine, source, code, ap); \
    va_end(ap); \
  }

CODED_PRINTER(MSG_BugFrom, FAM_BUG, 0)
CODED_PRINTER(MSG_BugLineFrom, FAM_BUG, 1)
CODED_PRINTER(MSG_ErrorFrom, FAM_ERROR, 0)
CODED_PRINTER(MSG_ErrorLineFrom, FAM_ERROR, 1)
CODED_PRINTER(MSG_WarningFrom, FAM_WARNING, 0)
CODED_PRINTER(MSG_WarningLineFrom, FAM_WARNING, 1)
CODED_PRINTER(MSG_CautionFrom, FAM_CAUTION, 0)
CODED_PRINTER(MSG_NoteFrom, FAM_NOTE, 0)
CODED_PRINTER(MSG_NoteLineFrom, FAM_NOTE, 1)

#define TEXT_PRINTER(name, fam, withLine) \
  void name(const char *format, ...) { \
    va_list ap; \
    va_start(ap, format); \
    printText(fam, withLine, format, ap); \
    va_end(ap); \
  }

TEXT_PRINTER(MSG_BugText, FAM_BUG, 0)
TEXT_PRINTER(MSG_BugLineText, FAM_BUG, 1)
TEXT_PRINTER(MSG_ErrorText, FAM_ERROR, 0)
TEXT_PRINTER(MSG_ErrorLineText, FAM_ERROR, 1)
TEXT_PRINTER(MSG_WarningText, FAM_WARNING, 0)
TEXT_PRINTER(MSG_WarningLineText, FAM_WARNING, 1)
TEXT_PRINTER(MSG_CautionText, FAM_CAUTION, 0)
TEXT_PRINTER(MSG_CautionLineText, FAM_CAUTION, 1)
TEXT_PRINTER(MSG_NoteText, FAM_NOTE, 0)
TEXT_PRINTER(MSG_NoteLineText, FAM_NOTE, 1)

void MSG_Print(int severity, const char *format, ...) {
  va_list ap;
  va_start(ap, format);
  printGeneric(-1, severity, format, ap);
  va_end(ap);
}

void MSG_PrintCoded(int code, int severity, const char *format, ...) {
  va_list ap;
  va_start(ap, format);
  if (severity == MSG_SEV_INFO) {
    char buf[MSG_BUFFER_SIZE];
    fill(buf, format, ap);
    fprintf(out(), "I%04d - %s\n", code, buf);
  } else {
    printGeneric(plainStyle ? -1 : code, severity, format, ap);
  }
  va_end(ap);
}

int MSG_FindCode(int code) {
  int lo = 0, hi = MSG_tableSize - 1, found = -1;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    if (MSG_table[mid].code == code) found = mid;
    if (MSG_table[mid].code < code) {
      lo = mid + 1;
    } else {
      hi = mid - 1; /* also on equal: look for an earlier row of the code */
    }
  }
  return found;
}

int MSG_FindRow(MSG_SOURCE source, int code) { return findRow(source, code); }

void MSG_PrintSummary(void) {
  FILE *f = out();
  if (nBugs > 0 || nErrors > 0 || nWarnings > 0) fputs("\n", f);
  if (nBugs > 0) fprintf(f, "Bugs    : %ld\n", static_cast<long>(nBugs));
  fprintf(f, "Errors  : %ld\n", static_cast<long>(nErrors));
  if (nWarnings > 0) fprintf(f, "Warnings: %ld\n", static_cast<long>(nWarnings));
  if (nCautions > 0) fprintf(f, "Cautions: %ld\n", static_cast<long>(nCautions));
  fprintf(f, "\nFile %s\n", (nBugs > 0 || nErrors > 0) ? "Failed" : "Passed");
}

void MSG_GetCounts(int32_t *bugs, int32_t *errors, int32_t *warnings) {
  if (bugs) *bugs = nBugs;
  if (errors) *errors = nErrors;
  if (warnings) *warnings = nWarnings;
}

int32_t MSG_GetCautionCount(void) { return nCautions; }

void MSG_ResetCounts(void) {
  nBugs = nErrors = nWarnings = nCautions = 0;
  memoryFailed = 0;
}

int MSG_GetMemoryFailed(void) { return memoryFailed; }
void MSG_SetMemoryFailed(int flag) { memoryFailed = flag != 0; }
int MSG_SaysMemoryFailed(MSG_SOURCE source, int code) { return listed(kMemoryRows, source, code); }

void MSG_SetCounts(int32_t bugs, int32_t errors, int32_t warnings, int32_t cautions) {
  nBugs = bugs;
  nErrors = errors;
  nWarnings = warnings;
  nCautions = cautions;
}

void MSG_SetOutput(FILE *stream) { msgOut = stream; }
FILE *MSG_GetOutput(void) { return out(); }
void MSG_SuppressBugs(int flag) { bugsSilent = flag != 0; }
void MSG_SuppressErrors(int flag) { errorsSilent = flag != 0; }
void MSG_SuppressWarnings(int flag) { warningsSilent = flag != 0; }
void MSG_SuppressCautions(int flag) { cautionsSilent = flag != 0; }
void MSG_SetPlainStyle(int flag) { plainStyle = flag != 0; }

void MSG_SetLineNumber(unsigned long line) { lineNumber = line; }
unsigned long MSG_GetLineNumber(void) { return lineNumber; }

void MSG_AssertFailed(const char *file, int line) {
  /* Show the path from the library's directory on, as "IbisParser/cmn.cpp". */
  const char *shown = file ? file : "";
  for (const char *p = shown; (p = strstr(p, "IbisParser")) != nullptr; p++) {
    if (p[10] == '/' || p[10] == '\\') shown = p;
  }
  printf("%s:%d:assertion failed.\n", shown, line);
  fflush(stdout);
  abort();
}
