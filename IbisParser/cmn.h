/*
** Common helpers of the text library: allocation with reporting, strings,
** cursors and words, numbers with scale letters, text fields of records,
** line readers and input files.
**
** Results: 1 success, 0 failure unless said otherwise; number readers give
** 0 (no number), 1 (a number), 2 (a number followed by something suspect).
** A cursor is the address of a char* into a line; the helpers move it.
** Null pointers where a text, list or result is required are programming
** errors (assertion line, then the process stops).  Single-threaded.
*/
#ifndef IBISPARSER_CMN_H
#define IBISPARSER_CMN_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

/* Longest file name or path, without the terminating NUL. */
#define CMN_PATH_MAX 1024
/* Longest text copied by CMN_SetTextField (its fields hold this plus NUL). */
#define CMN_TEXT_FIELD_MAX 1024
/* Longest line CMN_ReadLineAlloc keeps; the rest of such a line is dropped. */
#define CMN_LINE_ALLOC_MAX (1024UL * 1024UL)

/* ---- Allocation ------------------------------------------------------ */

/* *p = zero-filled block; 0 and error 1906 on failure (*p null). */
int CMN_Alloc(void **p, size_t size);
/*
** *p = block resized (new bytes not cleared).  On failure: 0, error 1907,
** *p null and the old block left alone (as realloc does): a caller that must
** still free it passes a copy of its pointer.
*/
int CMN_Realloc(void **p, size_t size);
void CMN_Free(void *p);
void CMN_FreeAndClear(void **p);

/* Typed forms, so callers need no casts. */
template <typename T> inline int CMN_Alloc(T **p, size_t size) {
  void *v = nullptr;
  int ok = CMN_Alloc(&v, size);
  *p = static_cast<T *>(v);
  return ok;
}
template <typename T> inline int CMN_Realloc(T **p, size_t size) {
  void *v = *p;
  int ok = CMN_Realloc(&v, size);
  *p = static_cast<T *>(v);
  return ok;
}
template <typename T> inline void CMN_FreeAndClear(T **p) {
  CMN_Free(*p);
  *p = nullptr;
}

/*
** Grows an array of elemSize-byte entries whose room is *room entries so
** that it holds at least need: the room doubles from first (or from its own
** size) and stops at maxRoom; the new entries are zero.  Nothing to do when
** need fits.  On failure 0, error 1907 with the size asked for, and the
** array and *room left as they were, so the caller still owns the block and
** adds its own message.  A need past maxRoom, or whose bytes overflow, is
** such a failure.
*/
int CMN_Grow(void **array, size_t *room, size_t elemSize, size_t need, size_t first, size_t maxRoom);

/* Typed form: the room may be any unsigned integer, which bounds it as
   maxRoom does. */
template <typename T, typename R>
inline int CMN_Grow(T **array, R *room, size_t need, size_t first, size_t maxRoom = SIZE_MAX) {
  static_assert(static_cast<R>(-1) > 0, "room is unsigned");
  void *v = *array;
  size_t r = *room;
  const R most = static_cast<R>(-1);
  if (static_cast<size_t>(most) < maxRoom)
    maxRoom = static_cast<size_t>(most);
  int ok = CMN_Grow(&v, &r, sizeof(T), need, first, maxRoom);
  *array = static_cast<T *>(v);
  *room = static_cast<R>(r);
  return ok;
}

/*
** Appends node at the tail of the list at *list without walking it: the
** list's first record keeps its last record and its length (fields listLast
** and listCount; records link through next).  A list built or grown
** elsewhere is caught up with by one walk.  Returns the number of records
** that were in the list before node.
*/
template <typename T> inline int CMN_AppendAtTail(T **list, T *node) {
  T *head = *list;
  node->next = nullptr;
  if (head == nullptr) {
    *list = node;
    node->listLast = node;
    node->listCount = 1;
    return 0;
  }
  if (head->listLast == nullptr) {
    head->listLast = head;
    head->listCount = 1;
  }
  while (head->listLast->next != nullptr) {
    head->listLast = head->listLast->next;
    ++head->listCount;
  }
  const int before = head->listCount;
  head->listLast->next = node;
  head->listLast = node;
  ++head->listCount;
  return before;
}

/* Frees each record of a list linked through next. */
template <typename T> inline void CMN_FreeChain(T *list) {
  while (list != nullptr) {
    T *next = list->next;
    CMN_Free(list);
    list = next;
  }
}

/*
** A pool hands out zero-filled pieces of the blocks it chains and frees them
** all at once: for the many small records of one owner that die together.
** Blocks grow geometrically as pieces are asked for (to a cap, or to the
** size of a larger piece), so no count read from a file sizes one.
*/
struct CMN_POOL_BLOCK;
struct CMN_POOL {
  CMN_POOL_BLOCK *block; /* the newest; it chains the older ones */
};
/* *p = a zero-filled piece, aligned for pointers and doubles; 0 and error
   1906 (with the size of the block asked for) on failure, *p null. */
int CMN_PoolAlloc(CMN_POOL *pool, void **p, size_t size);
/* Grows piece p from size to newSize bytes where it stands, which it can
   only while it is the pool's newest and its block has room: 1, the new
   bytes zero; else 0 and nothing changed. */
int CMN_PoolExtend(CMN_POOL *pool, void *p, size_t size, size_t newSize);
/* Frees every block; the pool is empty again. */
void CMN_PoolFree(CMN_POOL *pool);

template <typename T> inline int CMN_PoolAlloc(CMN_POOL *pool, T **p, size_t size) {
  void *v = nullptr;
  int ok = CMN_PoolAlloc(pool, &v, size);
  *p = static_cast<T *>(v);
  return ok;
}

/* Copy made with CMN_Alloc; null for a null s; bug 1908 on failure. */
char *CMN_StrDup(const char *s);
/* n + 1 zero-filled bytes holding at most n characters of s; null, silent. */
char *CMN_StrNDup(const char *s, size_t n);

/* ---- Strings ----------------------------------------------------------- */

int CMN_StrEqualNoCase(const char *a, const char *b);
/* First n characters equal ignoring case, or both end together; n > 0. */
int CMN_StrNEqualNoCase(const char *a, const char *b, size_t n);
/* Turns blanks of text into '_' (in place), then compares ignoring case. */
int CMN_KeywordEqual(const char *keyword, char *text);
char *CMN_StrLower(char *s);
char *CMN_StrUpper(char *s);
/* strncpy of n characters, then dst[n] = NUL (dst holds n + 1). */
char *CMN_StrNCopy(char *dst, const char *src, size_t n);
/* Trailing white space to NULs; the first character always stays. */
char *CMN_TrimRight(char *s);
/* In place: cut after the last directory separator and at the last '.'. */
char *CMN_BaseName(char *path);
/* "%lu" into one static buffer, overwritten by each call. */
const char *CMN_FormatUnsigned(unsigned long n);
/* fopen with 'b' after the mode's first letter ("r" -> "rb", "w+" -> "wb+"). */
FILE *CMN_OpenBinary(const char *path, const char *mode);
/* Copies the remembered directory (maybe empty); dst holds CMN_PATH_MAX + 1. */
void CMN_GetBaseDirectory(char *dst);
/* Sets the remembered directory (to restore it after a nested check). */
void CMN_SetBaseDirectory(const char *dir);

/* ---- Cursors ----------------------------------------------------------- */

int CMN_IsSpace(int c);
void CMN_SkipBlanks(char **cur);
void CMN_SkipBlanks(const char **cur);
void CMN_SkipWord(char **cur);
void CMN_SkipWord(const char **cur);
/* 1 with the cursor behind ']' and its blanks; 0 on the NUL. */
int CMN_SkipPastBracket(char **cur);
int CMN_SkipPastBracket(const char **cur);
/* Characters before the first space, tab, NUL or stop. */
int CMN_TokenLength(const char *s, int stop);
/* Next token of *cur (ended by a space or tab), terminated in place; *cur
   moves past it.  Null when only blanks are left. */
char *CMN_NextToken(char **cur);

/* The messages of a keyword whose line must end at its bracket. */
struct CMN_KEYWORD_ALONE {
  int source;             /* MSG_SOURCE of the rows below */
  const char *sourceName; /* named by the bugs, with `line` */
  int noBracket;          /* bug with line (source name, line): no ']' */
  int splitFailed;        /* bug (label, source name, line) */
  int itemCount;          /* error with line (words + 1, label, 1) */
  const char *label;
};
/* Reports a keyword line that has no ']' or holds words behind it. */
void CMN_CheckKeywordAlone(const char *keywordText, const CMN_KEYWORD_ALONE *codes, int line);

/* ---- Words ------------------------------------------------------------- */

struct WORD_LIST {
  int32_t capacity; /* most words stored */
  int32_t stored;   /* words stored */
  int32_t found;    /* words on the line, also those past capacity */
  char **words;     /* capacity slots, null from stored on; one block with the texts */
};

/* Words end at space, tab, NUL or separator (0: none); a lone separator is a word. */
int CMN_SplitWordsAt(const char *line, int capacity, int separator, WORD_LIST *list);
int CMN_SplitWords(const char *line, int capacity, WORD_LIST *list);
/* Frees the words and the array; counts stay. */
void CMN_FreeWords(WORD_LIST *list);

/* ---- Numbers ------------------------------------------------------------ */

/*
** strtod limited to decimal numbers: hexadecimal, "inf" and "nan" are not
** read ("0x10" reads as 0 followed by "x10").  *end == text when none.
*/
double CMN_StrToD(const char *text, char **end);
/* IBIS number with optional scale letter: "1.5p", "10kOhm", "3.3". */
int CMN_GetValue(const char *text, double *value);
int CMN_GetNumber(const char *text, double *value);
/* "NA" in any case: value 0, is_na 1, result 1. */
int CMN_GetValueOrNA(const char *text, double *value, int *is_na);

/* State of an optional value column. */
enum { CMN_VALUE_ABSENT = 0, CMN_VALUE_NUMBER = 1, CMN_VALUE_NA = 2 };
/* One optional column: null text is absent; messages 1909, 1910. */
int CMN_ReadValueOrNA(const char *text, const char *context, const char *label,
                      double *value, int *state);
int CMN_GetUnsigned(const char *text, unsigned long *n);
int CMN_GetDouble(const char *text, double *value);
/* Factor of the scale letter at text[0]; 1.0 for another letter; 0 if none. */
int CMN_GetScaleFactor(const char *text, double *factor);

/* Items of a package R/L/C line. */
enum {
  CMN_RLC_ERROR = 0,
  CMN_RLC_LEN = 1,
  CMN_RLC_R = 2,
  CMN_RLC_C = 3,
  CMN_RLC_L = 4,
  CMN_RLC_SLASH = 5,
  CMN_RLC_END = 6
};
/* Reads one item from text; cursor is left behind it. */
int CMN_GetRlcItem(const char *text, double *value, const char **cursor);
int CMN_GetRlcItem(char *text, double *value, char **cursor);

/* ---- Text fields ------------------------------------------------------- */

/* field holds n + 1; messages 1912, 1913; the copy is always made. */
void CMN_CopyTruncate(char *field, const char *text, size_t n, const char *keyword);
/* 0 and 1911 when the field holds text already; else CMN_CopyTruncate, 1. */
int CMN_SetField(char *field, const char *text, size_t n, const char *keyword);
/* field holds CMN_TEXT_FIELD_MAX + 1; messages 1911, 1914, 1913. */
int CMN_SetTextField(char *field, const char *text, size_t n, const char *keyword);
/* Error 1915 with the name of the file opened last when seen is 0. */
void CMN_CheckRequired(const char *keyword, int seen);

/* GND, NC, POWER, CIRCUITCALL, NA, ignoring case. */
int CMN_IsNotReservedWord(const char *name);
void CMN_CheckReservedWord(const char *name);

/* ---- Input files ----------------------------------------------------- */

typedef int FILE_KIND;
enum { FILE_IBS = 1, FILE_PKG = 2, FILE_EBD = 3, FILE_AMI = 4 };

/*
** Opens name (directory separators '/' or '\\') for binary reading.  A name
** with a directory sets the remembered directory; one without is looked for
** there.  name_out (CMN_PATH_MAX + 1) gets the file name with its extension.
*/
int CMN_OpenFile(const char *name, FILE_KIND kind, FILE **file, char *name_out);
/*
** 1 when name opens for reading where CMN_OpenFile would find it: the same
** directories and case variants, but no extension rule, no message and no
** change of the remembered directory.
*/
int CMN_FileExists(const char *name);
/* Name (without directory) of the file CMN_OpenFile opened last. */
const char *CMN_GetOpenedName(void);
/* One line, at most n - 1 characters; null at the end of the file. */
char *CMN_ReadLine(char *buffer, size_t n, FILE *file);
/* The same, with *length = strlen(buffer) and *tab = 1 when those characters
   hold a tab, found on the way. */
char *CMN_ReadLineMeasured(char *buffer, size_t n, FILE *file, size_t *length, int *tab);
/* The next line that CMN_ReadLine would give whose first character other
   than white space is '['; the lines before it are passed over. Null at the
   end of the file. */
char *CMN_ReadKeywordLine(char *buffer, size_t n, FILE *file);
/* What CMN_ReadLineAlloc met besides the line's characters. */
enum {
  CMN_LINE_WHOLE = 0,  /* the whole line, or null at the end of the file */
  CMN_LINE_CUT = 1,    /* the line passed CMN_LINE_ALLOC_MAX and was cut */
  CMN_LINE_NO_MEMORY = 2 /* null: the line could not be held (reported) */
};
/* One whole line on the heap (caller frees); *size = bytes used with NUL.
   *state = one of the above: a null result is the end of the file only
   with CMN_LINE_WHOLE. */
char *CMN_ReadLineAlloc(size_t *size, FILE *file, int *state);
int CMN_SuppressCharCheck(int flag);
/* Major IBIS version 1-5 of the file, or 0; line_count may be null. */
int CMN_GetIbisVersion(const char *name, unsigned long *line_count, FILE_KIND kind);

/* Forget the remembered directory and opened name (fresh state for tests). */
void CMN_ResetFileState(void);

#endif /* IBISPARSER_CMN_H */
