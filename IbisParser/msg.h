/*
** Numbered diagnostics of the text library.
**
** Every message is a row of one constant table keyed by (code, source file).
** A source file names its own rows by defining MSG_SRC before using the
** printer macros below:
**
**     #define MSG_SRC MSGSRC_CMN
**     #include "IbisParser/msg.h"
**     ...
**     MSG_ErrorLine(1916, name);
**
** A file that prints a row of another file or group calls the ...From form,
** e.g. MSG_ErrorFrom(MSGSRC_EBDMDL_G2, 4301, ...).  The printed code is the
** number alone.  Output goes to one stream (standard output unless
** MSG_SetOutput chose another).  Single-threaded.
*/
#ifndef IBISPARSER_MSG_H
#define IBISPARSER_MSG_H

#include <cstdint>
#include <cstdio>

/*
** Source files (and board-description groups) that own message rows.  Rows
** of equal code are ordered by this value, so a block whose codes are shared
** (3900: ibis before rng; 4300: ebdmdl, then groups 1-3) lists them in this
** order.  Append new values anywhere: only the relative order of sources that
** share a code matters.
*/
enum MSG_SOURCE {
  MSGSRC_NONE = 0,   /* row 0 only */
  MSGSRC_MDL,        /* 100-263 */
  MSGSRC_CMPNT,      /* 500 */
  MSGSRC_PIN,        /* 600 */
  MSGSRC_PINMPG,     /* 700 */
  MSGSRC_DIFPIN,     /* 800 */
  MSGSRC_PARSE,      /* 900 */
  MSGSRC_HDR,        /* 1000 */
  MSGSRC_CRV,        /* 1100 */
  MSGSRC_PKG,        /* 1200 */
  MSGSRC_RAMP,       /* 1300 */
  MSGSRC_RNGP,       /* 1400 */
  MSGSRC_ACDC,       /* 1500 */
  MSGSRC_APKG,       /* 1600 */
  MSGSRC_CHK,        /* 1700, sanity checks */
  MSGSRC_CIRCUIT,    /* 1800 */
  MSGSRC_CMN,        /* 1900 */
  MSGSRC_WVFRM,      /* 2000 */
  MSGSRC_STRING,     /* 2100 */
  MSGSRC_TESTLOAD,   /* 2200 */
  MSGSRC_TESTDATA,   /* 2300 */
  MSGSRC_SUBMDL,     /* 2400 */
  MSGSRC_SSWCH,      /* 2500 */
  MSGSRC_SPINMPG,    /* 2600 */
  MSGSRC_SMSPEC,     /* 2700 */
  MSGSRC_SMOS,       /* 2800 */
  MSGSRC_SINFO,      /* 2900 */
  MSGSRC_SECT,       /* 3000 */
  MSGSRC_ROW,        /* 3100 */
  MSGSRC_RCVTH,      /* 3200 */
  MSGSRC_CRVOP,      /* 3300, point-list arithmetic */
  MSGSRC_PKGMDL,     /* 3400 */
  MSGSRC_NODE,       /* 3600 */
  MSGSRC_MTX,        /* 3700 */
  MSGSRC_MSPEC,      /* 3800 */
  MSGSRC_IBIS,       /* 3900-3901 */
  MSGSRC_RNG,        /* 3900-3904 */
  MSGSRC_MSEL,       /* 4000 */
  MSGSRC_DRVSH,      /* 4200 */
  MSGSRC_EBDMDL,     /* 4300-4369 */
  MSGSRC_EBDMDL_G1,  /* 4300-4309 */
  MSGSRC_EBDMDL_G2,  /* 4300-4309 */
  MSGSRC_EBDMDL_G3,  /* 4300-4304 */
  MSGSRC_DLY,        /* 4500 */
  MSGSRC_ALGMOD,     /* 4600 */
  MSGSRC_CMPNTEMI,   /* 4700 */
  MSGSRC_MDLEMI,     /* 4800 */
  MSGSRC_PINEMI,     /* 4900 */
  MSGSRC_COUNT
};

/* One row of the message table. */
struct MSG_ENTRY {
  MSG_SOURCE source;
  int32_t code;
  const char *format;
};

/* The assembled table (msgtab.cpp), strictly ordered by (code, source). */
extern const MSG_ENTRY MSG_table[];
extern const int MSG_tableSize;

/* Severity numbers of MSG_Print / MSG_PrintCoded. */
enum {
  MSG_SEV_BUG = 0,
  MSG_SEV_BUG_LINE = 1,
  MSG_SEV_ERROR = 2,
  MSG_SEV_ERROR_LINE = 3,
  MSG_SEV_WARNING = 4,
  MSG_SEV_WARNING_LINE = 5,
  MSG_SEV_CAUTION = 6,
  MSG_SEV_CAUTION_LINE = 7,
  MSG_SEV_NOTE = 8,
  MSG_SEV_NOTE_LINE = 9,
  MSG_SEV_INFO = 10 /* MSG_PrintCoded only */
};

/* Size of the formatting buffer; longer texts are cut to MSG_BUFFER_SIZE-1. */
#define MSG_BUFFER_SIZE 2208

/* Coded printers: code, then the arguments of the row's format. */
void MSG_BugFrom(MSG_SOURCE source, int code, ...);
void MSG_BugLineFrom(MSG_SOURCE source, int code, ...);
void MSG_ErrorFrom(MSG_SOURCE source, int code, ...);
void MSG_ErrorLineFrom(MSG_SOURCE source, int code, ...);
void MSG_WarningFrom(MSG_SOURCE source, int code, ...);
void MSG_WarningLineFrom(MSG_SOURCE source, int code, ...);
void MSG_CautionFrom(MSG_SOURCE source, int code, ...);
void MSG_NoteFrom(MSG_SOURCE source, int code, ...);
void MSG_NoteLineFrom(MSG_SOURCE source, int code, ...);

#define MSG_Bug(...) MSG_BugFrom(MSG_SRC, __VA_ARGS__)
#define MSG_BugLine(...) MSG_BugLineFrom(MSG_SRC, __VA_ARGS__)
#define MSG_Error(...) MSG_ErrorFrom(MSG_SRC, __VA_ARGS__)
#define MSG_ErrorLine(...) MSG_ErrorLineFrom(MSG_SRC, __VA_ARGS__)
#define MSG_Warning(...) MSG_WarningFrom(MSG_SRC, __VA_ARGS__)
#define MSG_WarningLine(...) MSG_WarningLineFrom(MSG_SRC, __VA_ARGS__)
#define MSG_Caution(...) MSG_CautionFrom(MSG_SRC, __VA_ARGS__)
#define MSG_Note(...) MSG_NoteFrom(MSG_SRC, __VA_ARGS__)
#define MSG_NoteLine(...) MSG_NoteLineFrom(MSG_SRC, __VA_ARGS__)

/* Text printers: a printf format and its arguments; always the plain style. */
#if defined(__GNUC__)
#define MSG_PRINTF(f, a) __attribute__((format(printf, f, a)))
#else
#define MSG_PRINTF(f, a)
#endif
void MSG_BugText(const char *format, ...) MSG_PRINTF(1, 2);
void MSG_BugLineText(const char *format, ...) MSG_PRINTF(1, 2);
void MSG_ErrorText(const char *format, ...) MSG_PRINTF(1, 2);
void MSG_ErrorLineText(const char *format, ...) MSG_PRINTF(1, 2);
void MSG_WarningText(const char *format, ...) MSG_PRINTF(1, 2);
void MSG_WarningLineText(const char *format, ...) MSG_PRINTF(1, 2);
void MSG_CautionText(const char *format, ...) MSG_PRINTF(1, 2);
void MSG_CautionLineText(const char *format, ...) MSG_PRINTF(1, 2);
void MSG_NoteText(const char *format, ...) MSG_PRINTF(1, 2);
void MSG_NoteLineText(const char *format, ...) MSG_PRINTF(1, 2);

/*
** Generic forms; severity as above.  They count but ignore the silence
** settings.  MSG_PrintCoded uses the code only in the coded style (and for
** MSG_SEV_INFO, "I%04d - %s\n", never counted).
*/
void MSG_Print(int severity, const char *format, ...) MSG_PRINTF(2, 3);
void MSG_PrintCoded(int code, int severity, const char *format, ...) MSG_PRINTF(3, 4);

/* Index of the first row with this code, or -1. */
int MSG_FindCode(int code);
/* Index of the row (code, source), or -1. */
int MSG_FindRow(MSG_SOURCE source, int code);

/* Counts and summary. */
void MSG_PrintSummary(void);
void MSG_GetCounts(int32_t *bugs, int32_t *errors, int32_t *warnings);
int32_t MSG_GetCautionCount(void);
/* Start a check pass with fresh counts (bugs, errors, warnings, cautions). */
void MSG_ResetCounts(void);
/* Sets all four counters: a nested check pass hands its counts back. */
void MSG_SetCounts(int32_t bugs, int32_t errors, int32_t warnings, int32_t cautions);

/* Memory ran out in this check pass.  From then on what the pass reads and
   checks is not the whole file, so only the messages that say memory ran
   out are printed and counted; the rest would judge a file that is not
   there.  Set by the allocation failure reports (and by a silent failure
   through MSG_SetMemoryFailed), cleared with the counts. */
int MSG_GetMemoryFailed(void);
void MSG_SetMemoryFailed(int flag);
/* 1 for a row that says memory ran out, one of those still printed then. */
int MSG_SaysMemoryFailed(MSG_SOURCE source, int code);

/* Settings.  A null stream selects the standard output again. */
void MSG_SetOutput(FILE *stream);
FILE *MSG_GetOutput(void);
void MSG_SuppressBugs(int flag);
void MSG_SuppressErrors(int flag);
void MSG_SuppressWarnings(int flag);
void MSG_SuppressCautions(int flag); /* on at start */
void MSG_SetPlainStyle(int flag);    /* on at start; off gives "E1916 - ..." */

/* Line number shown by the ...Line printers; the file reader sets it. */
void MSG_SetLineNumber(unsigned long line);
unsigned long MSG_GetLineNumber(void);

/*
** Argument check for programming errors only: prints
** "<file>:<line>:assertion failed.\n" to the standard output and stops.
** No input text may reach one.
*/
[[noreturn]] void MSG_AssertFailed(const char *file, int line);
#define MSG_ASSERT(cond) \
  do { \
    if (!(cond)) MSG_AssertFailed(__FILE__, __LINE__); \
  } while (0)

#endif /* IBISPARSER_MSG_H */
