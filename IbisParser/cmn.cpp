/*
** Common helpers of the text library.  See cmn.h.
*/
#define MSG_SRC MSGSRC_CMN
#include "IbisParser/cmn.h"

#include "IbisParser/msg.h"
#include "IbisParser/platform.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

/* Name of this source file in memory-failure messages. */
#define CMN_FILE "IbisParser/cmn"

namespace {

/* Directory (with its final separator) of the last name that had one. */
char baseDir[CMN_PATH_MAX + 1];
/* File name (no directory) that CMN_OpenFile opened last. */
char openedName[CMN_PATH_MAX + 1];
/* Keep illegal characters of input lines as they are, unreported. */
int keepChars = 0;

char formatBuf[32];

/* The "C" locale's white space and upper case, inline: every word of every
   line goes through them, and the checker's texts are ASCII. */
inline int isSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
inline int upperAscii(int c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }
inline int isBlank(int c) { return c == ' ' || c == '\t'; }

} // namespace

/* ---- Allocation --------------------------------------------------------- */

int CMN_Alloc(void **p, size_t size) {
  MSG_ASSERT(p != nullptr);
  /* A zero-byte request still yields a block, so null always means failure. */
  *p = calloc(1, size ? size : 1);
  if (!*p) {
    MSG_Error(1906, (unsigned)size);
    return 0;
  }
  return 1;
}

int CMN_Realloc(void **p, size_t size) {
  MSG_ASSERT(p != nullptr);
  void *q = realloc(*p, size ? size : 1);
  *p = q;
  if (!q) {
    MSG_Error(1907, (unsigned)size);
    return 0;
  }
  return 1;
}

void CMN_Free(void *p) { free(p); }

int CMN_Grow(void **array, size_t *room, size_t elemSize, size_t need, size_t first, size_t maxRoom) {
  MSG_ASSERT(array != nullptr && room != nullptr && elemSize != 0);
  if (need <= *room)
    return 1;
  const size_t limit = maxRoom < SIZE_MAX / elemSize ? maxRoom : SIZE_MAX / elemSize;
  if (need > limit) {
    /* No block of that many entries can be asked for: the request as a
       realloc would have seen it, wrapped as the message prints sizes. */
    MSG_Error(1907, (unsigned)(need * elemSize));
    return 0;
  }
  size_t grown = *room < first ? first : *room;
  if (grown == 0)
    grown = 1;
  while (grown < need)
    grown = grown > limit / 2 ? limit : grown * 2;
  if (grown > limit)
    grown = limit;
  void *p = *array;
  if (!CMN_Realloc(&p, grown * elemSize))
    return 0;
  memset(static_cast<char *>(p) + *room * elemSize, 0, (grown - *room) * elemSize);
  *array = p;
  *room = grown;
  return 1;
}

void CMN_FreeAndClear(void **p) {
  MSG_ASSERT(p != nullptr);
  free(*p);
  *p = nullptr;
}

/* ---- Pools -------------------------------------------------------------- */

struct CMN_POOL_BLOCK {
  CMN_POOL_BLOCK *older;
  size_t size; /* bytes of pieces after this header */
  size_t used;
};

namespace {

const size_t kPoolAlign = 8;
const size_t kPoolFirst = 256;      /* a pool's first block */
const size_t kPoolMost = 64 * 1024; /* blocks double up to this */
static_assert(sizeof(CMN_POOL_BLOCK) % kPoolAlign == 0, "pieces stay aligned");

inline char *PoolPieces(CMN_POOL_BLOCK *b) { return reinterpret_cast<char *>(b + 1); }
inline size_t PoolRound(size_t n) { return n == 0 ? kPoolAlign : (n + kPoolAlign - 1) & ~(kPoolAlign - 1); }

} // namespace

int CMN_PoolAlloc(CMN_POOL *pool, void **p, size_t size) {
  MSG_ASSERT(pool != nullptr && p != nullptr);
  *p = nullptr;
  if (size > SIZE_MAX / 2) {
    MSG_Error(1906, (unsigned)size);
    return 0;
  }
  const size_t need = PoolRound(size);
  CMN_POOL_BLOCK *b = pool->block;
  if (b == nullptr || b->size - b->used < need) {
    /* What is left of the full block stays unused.  Blocks are not cleared
       as a whole: a piece is cleared when it is handed out, while it is
       about to be written anyway. */
    size_t grow = b == nullptr ? kPoolFirst : b->size < kPoolMost / 2 ? 2 * b->size : kPoolMost;
    if (grow < need) grow = need;
    b = static_cast<CMN_POOL_BLOCK *>(malloc(sizeof(CMN_POOL_BLOCK) + grow));
    if (!b) {
      MSG_Error(1906, (unsigned)(sizeof(CMN_POOL_BLOCK) + grow));
      return 0;
    }
    b->older = pool->block;
    b->size = grow;
    b->used = 0;
    pool->block = b;
  }
  *p = PoolPieces(b) + b->used;
  memset(*p, 0, need);
  b->used += need;
  return 1;
}

int CMN_PoolExtend(CMN_POOL *pool, void *p, size_t size, size_t newSize) {
  MSG_ASSERT(pool != nullptr && p != nullptr && newSize >= size);
  CMN_POOL_BLOCK *b = pool->block;
  const size_t had = PoolRound(size);
  if (b == nullptr || b->used < had || p != PoolPieces(b) + (b->used - had)) return 0;
  if (newSize > SIZE_MAX / 2 || PoolRound(newSize) - had > b->size - b->used) return 0;
  const size_t more = PoolRound(newSize) - had;
  memset(PoolPieces(b) + b->used, 0, more);
  b->used += more;
  return 1;
}

void CMN_PoolFree(CMN_POOL *pool) {
  MSG_ASSERT(pool != nullptr);
  for (CMN_POOL_BLOCK *b = pool->block; b != nullptr;) {
    CMN_POOL_BLOCK *older = b->older;
    free(b);
    b = older;
  }
  pool->block = nullptr;
}

char *CMN_StrDup(const char *s) {
  if (!s) return nullptr;
  size_t n = strlen(s);
  char *c = nullptr;
  if (!CMN_Alloc(&c, n + 1)) {
    MSG_Bug(1908, CMN_FILE, __LINE__);
    return nullptr;
  }
  memcpy(c, s, n + 1);
  return c;
}

char *CMN_StrNDup(const char *s, size_t n) {
  MSG_ASSERT(s != nullptr);
  /* Only the characters s holds need room; the text is the same. */
  size_t len = 0;
  while (len < n && s[len]) len++;
  char *c = static_cast<char *>(calloc(1, len + 1));
  if (!c) {
    MSG_SetMemoryFailed(1); /* silent here: the caller names what it lost */
    return nullptr;
  }
  memcpy(c, s, len);
  return c;
}

/* ---- Strings ------------------------------------------------------------ */

int CMN_StrEqualNoCase(const char *a, const char *b) {
  MSG_ASSERT(a != nullptr && b != nullptr);
  for (;; a++, b++) {
    if (upperAscii((unsigned char)*a) != upperAscii((unsigned char)*b)) return 0;
    if (!*a) return 1;
  }
}

int CMN_StrNEqualNoCase(const char *a, const char *b, size_t n) {
  MSG_ASSERT(a != nullptr && b != nullptr && n > 0);
  for (size_t i = 0; i < n; i++) {
    if (upperAscii((unsigned char)a[i]) != upperAscii((unsigned char)b[i])) return 0;
    if (!a[i]) return 1;
  }
  return 1;
}

int CMN_KeywordEqual(const char *keyword, char *text) {
  MSG_ASSERT(keyword != nullptr && text != nullptr);
  for (char *p = text; *p; p++) {
    if (*p == ' ') *p = '_';
  }
  return CMN_StrEqualNoCase(keyword, text);
}

char *CMN_StrLower(char *s) {
  MSG_ASSERT(s != nullptr);
  for (char *p = s; *p; p++) *p = (char)tolower((unsigned char)*p);
  return s;
}

char *CMN_StrUpper(char *s) {
  MSG_ASSERT(s != nullptr);
  for (char *p = s; *p; p++) *p = (char)toupper((unsigned char)*p);
  return s;
}

char *CMN_StrNCopy(char *dst, const char *src, size_t n) {
  MSG_ASSERT(dst != nullptr && src != nullptr);
  size_t i = 0;
  while (i < n && src[i]) i++;
  memmove(dst, src, i);
  memset(dst + i, 0, n + 1 - i); /* padded as strncpy does, plus dst[n] */
  return dst;
}

char *CMN_TrimRight(char *s) {
  MSG_ASSERT(s != nullptr);
  size_t n = strlen(s);
  while (n > 1 && isSpace(s[n - 1])) s[--n] = '\0';
  return s;
}

char *CMN_BaseName(char *path) {
  MSG_ASSERT(path != nullptr);
  char *base = path;
  for (char *p = path; *p; p++) {
    if (PLAT_IsDirSeparator((unsigned char)*p)) base = p + 1;
  }
  char *dot = strrchr(base, '.');
  if (dot) *dot = '\0';
  return base;
}

const char *CMN_FormatUnsigned(unsigned long n) {
  snprintf(formatBuf, sizeof formatBuf, "%lu", n);
  return formatBuf;
}

FILE *CMN_OpenBinary(const char *path, const char *mode) {
  MSG_ASSERT(path != nullptr && mode != nullptr && mode[0] != '\0');
  char m[4] = {mode[0], 'b', mode[1], '\0'};
  return PLAT_Open(path, m);
}

void CMN_GetBaseDirectory(char *dst) {
  MSG_ASSERT(dst != nullptr);
  strcpy(dst, baseDir);
}

void CMN_SetBaseDirectory(const char *dir) {
  MSG_ASSERT(dir != nullptr);
  CMN_StrNCopy(baseDir, dir, CMN_PATH_MAX);
}

/* ---- Cursors ------------------------------------------------------------ */

int CMN_IsSpace(int c) { return isSpace(c) != 0; }

void CMN_SkipBlanks(const char **cur) {
  MSG_ASSERT(cur != nullptr && *cur != nullptr);
  while (isSpace(**cur)) (*cur)++;
}

void CMN_SkipBlanks(char **cur) {
  MSG_ASSERT(cur != nullptr && *cur != nullptr);
  while (isSpace(**cur)) (*cur)++;
}

void CMN_SkipWord(const char **cur) {
  MSG_ASSERT(cur != nullptr && *cur != nullptr);
  while (**cur && !isSpace(**cur)) (*cur)++;
}

void CMN_SkipWord(char **cur) {
  MSG_ASSERT(cur != nullptr && *cur != nullptr);
  while (**cur && !isSpace(**cur)) (*cur)++;
}

int CMN_SkipPastBracket(const char **cur) {
  MSG_ASSERT(cur != nullptr && *cur != nullptr);
  while (**cur && **cur != ']') (*cur)++;
  if (!**cur) return 0;
  (*cur)++;
  CMN_SkipBlanks(cur);
  return 1;
}

int CMN_SkipPastBracket(char **cur) {
  MSG_ASSERT(cur != nullptr);
  const char *c = *cur;
  int r = CMN_SkipPastBracket(&c);
  *cur += c - *cur;
  return r;
}

int CMN_TokenLength(const char *s, int stop) {
  MSG_ASSERT(s != nullptr);
  int n = 0;
  while (s[n] && !isBlank(s[n]) && (stop == 0 || (unsigned char)s[n] != (unsigned char)stop)) n++;
  return n;
}

char *CMN_NextToken(char **cur) {
  MSG_ASSERT(cur != nullptr && *cur != nullptr);
  char *p = *cur;
  while (isBlank(*p)) p++;
  if (!*p) {
    *cur = p;
    return nullptr;
  }
  char *start = p;
  while (*p && !isBlank(*p)) p++;
  if (*p) *p++ = '\0';
  *cur = p;
  return start;
}

/* ---- Words -------------------------------------------------------------- */

int CMN_SplitWordsAt(const char *line, int capacity, int separator, WORD_LIST *list) {
  MSG_ASSERT(line != nullptr && list != nullptr && capacity >= 0);
  list->capacity = capacity;
  list->stored = 0;
  list->found = 0;
  list->words = nullptr;
  /* First count the words and the room the stored ones take, so that the
     array and the texts are one block. */
  size_t textBytes = 0;
  const char *p = line;
  for (;;) {
    CMN_SkipBlanks(&p);
    if (!*p) break;
    int len = CMN_TokenLength(p, separator);
    if (len == 0) len = 1; /* the separator alone is a word */
    if (list->found < capacity) textBytes += (size_t)len + 1;
    list->found++;
    p += len;
  }
  if (capacity == 0) return 1;
  const size_t arrayBytes = (size_t)capacity * sizeof(char *);
  if (!CMN_Alloc(&list->words, arrayBytes + textBytes)) {
    MSG_Bug(1908, CMN_FILE, __LINE__);
    return 0;
  }
  char *text = reinterpret_cast<char *>(list->words) + arrayBytes;
  p = line;
  while (list->stored < capacity && list->stored < list->found) {
    CMN_SkipBlanks(&p);
    int len = CMN_TokenLength(p, separator);
    if (len == 0) len = 1;
    memcpy(text, p, (size_t)len); /* the block is zero-filled: the NUL is there */
    list->words[list->stored++] = text;
    text += len + 1;
    p += len;
  }
  return 1;
}

void CMN_CheckKeywordAlone(const char *keywordText, const CMN_KEYWORD_ALONE *codes, int line) {
  MSG_ASSERT(keywordText != nullptr && codes != nullptr);
  const MSG_SOURCE source = static_cast<MSG_SOURCE>(codes->source);
  const char *rest = keywordText;
  if (!CMN_SkipPastBracket(&rest)) {
    MSG_BugLineFrom(source, codes->noBracket, codes->sourceName, line);
    return;
  }
  WORD_LIST words{};
  if (!CMN_SplitWords(rest, 0, &words))
    MSG_BugFrom(source, codes->splitFailed, codes->label, codes->sourceName, line);
  else if (words.found > 0)
    MSG_ErrorLineFrom(source, codes->itemCount, static_cast<int>(words.found) + 1, codes->label, 1);
  CMN_FreeWords(&words);
}

int CMN_SplitWords(const char *line, int capacity, WORD_LIST *list) {
  return CMN_SplitWordsAt(line, capacity, 0, list);
}

void CMN_FreeWords(WORD_LIST *list) {
  MSG_ASSERT(list != nullptr);
  /* The words live in the array's block. */
  free(list->words);
  list->words = nullptr;
}

/* ---- Numbers ------------------------------------------------------------ */

namespace {

struct SCALE {
  char letter;
  double factor;
};

const SCALE scaleTable[] = {{'T', 1e12}, {'G', 1e9},  {'M', 1e6},  {'k', 1e3},  {'m', 1e-3},
                            {'u', 1e-6}, {'n', 1e-9}, {'p', 1e-12}, {'f', 1e-15}};

const char *const reservedWords[] = {"GND", "NC", "POWER", "CIRCUITCALL", "NA", ""};

/* A finite decimal number; end == text when there is none. */
double readDouble(const char *text, char **end) {
  double d = CMN_StrToD(text, end);
  /* "inf", "nan" and overflowing exponents are no IBIS numbers. */
  if (!std::isfinite(d)) *end = const_cast<char *>(text);
  return d;
}

} // namespace

namespace {

/*
** The common short number, read without the library: at most 19 significant
** digits forming an integer m <= 2^53 and a decimal exponent e within 22 of
** zero.  Then m and 10^|e| are exact doubles, and one multiplication or
** division rounds correctly, so the result is the double strtod returns.
** p is behind the sign and starts with a digit or with '.' and a digit.
** Returns 0, leaving the number to strtod, when the number is not of that
** kind.
*/
int readShortDecimal(const char *p, int neg, double *value, const char **end) {
  static const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  uint64_t m = 0;
  int digits = 0, exp10 = 0;
  while (*p == '0') p++;
  for (; isDigit(*p); p++) {
    if (++digits > 19) return 0;
    m = m * 10 + (uint64_t)(*p - '0');
  }
  if (*p == '.') {
    p++;
    if (digits == 0) {
      for (; *p == '0'; p++) {
        if (--exp10 < -400) return 0;
      }
    }
    for (; isDigit(*p); p++) {
      if (++digits > 19) return 0;
      m = m * 10 + (uint64_t)(*p - '0');
      exp10--;
    }
  }
  if (*p == 'e' || *p == 'E') {
    const char *q = p + 1;
    int eneg = 0;
    if (*q == '+' || *q == '-') eneg = *q++ == '-';
    if (isDigit(*q)) {
      int e = 0;
      for (; isDigit(*q); q++) {
        if (e > 100000) return 0;
        e = e * 10 + (*q - '0');
      }
      exp10 += eneg ? -e : e;
      p = q;
    }
  }
  double d;
  if (m == 0) {
    d = 0.0;
  } else if (m > (UINT64_C(1) << 53) || exp10 < -22 || exp10 > 22) {
    return 0;
  } else {
    d = exp10 >= 0 ? (double)m * kPow10[exp10] : (double)m / kPow10[-exp10];
  }
  *value = neg ? -d : d;
  *end = p;
  return 1;
}

} // namespace

double CMN_StrToD(const char *text, char **end) {
  MSG_ASSERT(text != nullptr && end != nullptr);
  const char *p = text;
  while (isSpace(*p)) p++;
  int neg = 0;
  if (*p == '+' || *p == '-') neg = *p++ == '-';
  if (!(isdigit((unsigned char)*p) || (*p == '.' && isdigit((unsigned char)p[1])))) {
    *end = const_cast<char *>(text);
    return 0.0;
  }
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    *end = const_cast<char *>(p + 1);
    return neg ? -0.0 : 0.0;
  }
  double d;
  const char *stop = nullptr;
  if (readShortDecimal(p, neg, &d, &stop)) {
    *end = const_cast<char *>(stop);
    return d;
  }
  return PLAT_StrToD(text, end);
}

int CMN_GetScaleFactor(const char *text, double *factor) {
  MSG_ASSERT(text != nullptr && factor != nullptr);
  for (const SCALE &s : scaleTable) {
    if (text[0] == s.letter) {
      *factor = s.factor;
      return 1;
    }
  }
  if (isalpha((unsigned char)text[0])) {
    *factor = 1.0;
    return 1;
  }
  return 0;
}

int CMN_GetValue(const char *text, double *value) {
  MSG_ASSERT(text != nullptr && value != nullptr);
  char *end = nullptr;
  double d = readDouble(text, &end);
  if (end == text) return 0;
  if (!*end) {
    *value = d;
    return 1;
  }
  double factor = 1.0;
  if (!CMN_GetScaleFactor(end, &factor)) return 0;
  /* 1e300T overflows only through its letter: no number either. */
  if (!std::isfinite(d * factor)) return 0;
  *value = d * factor;
  for (const char *p = end; *p; p++) {
    if (isdigit((unsigned char)*p)) return 2;
  }
  return 1;
}

int CMN_GetNumber(const char *text, double *value) { return CMN_GetValue(text, value); }

int CMN_GetValueOrNA(const char *text, double *value, int *is_na) {
  MSG_ASSERT(text != nullptr && value != nullptr && is_na != nullptr);
  if (CMN_StrEqualNoCase(text, "NA")) {
    *value = 0.0;
    *is_na = 1;
    return 1;
  }
  *is_na = 0;
  return CMN_GetValue(text, value);
}

int CMN_ReadValueOrNA(const char *text, const char *context, const char *label,
                      double *value, int *state) {
  MSG_ASSERT(value != nullptr && state != nullptr);
  if (!text) {
    *state = CMN_VALUE_ABSENT;
    return 1;
  }
  if (!context) context = "";
  if (!label) label = "";
  if (CMN_StrEqualNoCase(text, "NA")) {
    *value = 0.0;
    *state = CMN_VALUE_NA;
    return 1;
  }
  int r = CMN_GetValue(text, value);
  if (r == 0) {
    MSG_ErrorLine(1909, label, text);
    *state = CMN_VALUE_ABSENT;
    return 0;
  }
  if (r == 2) MSG_WarningLine(1910, label, context, text);
  *state = CMN_VALUE_NUMBER;
  return 1;
}

int CMN_GetUnsigned(const char *text, unsigned long *n) {
  MSG_ASSERT(text != nullptr && n != nullptr);
  /* strtoul would wrap " -3" to a huge number: refuse a sign after blanks too. */
  const char *p = text;
  CMN_SkipBlanks(&p);
  if (*p == '-') return 0;
  char *end = nullptr;
  errno = 0;
  unsigned long v = strtoul(text, &end, 10);
  if (end == text || errno == ERANGE) return 0;
  *n = v;
  return *end ? 2 : 1;
}

int CMN_GetDouble(const char *text, double *value) {
  MSG_ASSERT(text != nullptr && value != nullptr);
  char *end = nullptr;
  double d = readDouble(text, &end);
  if (end == text) return 0;
  *value = d;
  return *end ? 2 : 1;
}

namespace {

inline void skipBlanks(const char *&p) {
  while (isBlank(*p)) p++;
}

/* Copies the run [p, p + len) for a message or a number; cut when long. */
void copyRun(char *dst, size_t size, const char *p, size_t len) {
  if (len >= size) len = size - 1;
  memcpy(dst, p, len);
  dst[len] = '\0';
}

} // namespace

int CMN_GetRlcItem(const char *text, double *value, const char **cursor) {
  MSG_ASSERT(text != nullptr && value != nullptr && cursor != nullptr);
  const char *p = text;
  skipBlanks(p);
  if (!*p) {
    *cursor = p;
    return CMN_RLC_END;
  }
  if (*p == '/') {
    p++;
    skipBlanks(p);
    *cursor = p;
    return CMN_RLC_SLASH;
  }
  if (*p == '=') {
    p++;
    skipBlanks(p);
    *cursor = p;
    MSG_ErrorLine(1918);
    return CMN_RLC_ERROR;
  }
  const char *w = p;
  while (*p && !isBlank(*p) && *p != '=' && *p != '/') p++;
  size_t wlen = (size_t)(p - w);
  int code = CMN_RLC_ERROR;
  if (wlen == 3 && strncmp(w, "Len", 3) == 0) {
    code = CMN_RLC_LEN;
  } else if (wlen == 1 && *w == 'L') {
    code = CMN_RLC_L;
  } else if (wlen == 1 && *w == 'R') {
    code = CMN_RLC_R;
  } else if (wlen == 1 && *w == 'C') {
    code = CMN_RLC_C;
  }
  char run[MSG_BUFFER_SIZE];
  if (code == CMN_RLC_ERROR) {
    copyRun(run, sizeof run, w, wlen);
    MSG_ErrorLine(1919, run);
    *cursor = p;
    return CMN_RLC_ERROR;
  }
  skipBlanks(p);
  if (!*p) {
    MSG_ErrorLine(1920);
    *cursor = p;
    return CMN_RLC_END;
  }
  if (*p != '=') {
    MSG_ErrorLine(1921);
    while (*p && *p != '/') p++;
    if (*p) p++;
    *cursor = p;
    return CMN_RLC_ERROR;
  }
  p++;
  skipBlanks(p);
  if (!*p) {
    MSG_ErrorLine(1920);
    *cursor = p;
    return CMN_RLC_END;
  }
  const char *v = p;
  while (*p && !isBlank(*p) && *p != '/') p++;
  size_t vlen = (size_t)(p - v);
  if (vlen == 0) {
    MSG_ErrorLine(1923);
    *value = 0.0;
  } else {
    copyRun(run, sizeof run, v, vlen);
    /* A run too long for the buffer is no number either. */
    if (vlen >= sizeof run || CMN_GetValue(run, value) != 1) MSG_ErrorLine(1922, run);
  }
  skipBlanks(p);
  *cursor = p;
  return code;
}

int CMN_GetRlcItem(char *text, double *value, char **cursor) {
  MSG_ASSERT(cursor != nullptr);
  const char *c = text;
  int r = CMN_GetRlcItem(static_cast<const char *>(text), value, &c);
  *cursor = text + (c - text);
  return r;
}

/* ---- Text fields ------------------------------------------------------ */

namespace {
/* The longest length a field message shows. */
const size_t kShownMax = 2176;
} // namespace

void CMN_CopyTruncate(char *field, const char *text, size_t n, const char *keyword) {
  MSG_ASSERT(field != nullptr && text != nullptr);
  if (!keyword) keyword = "";
  size_t len = strlen(text);
  if (len > n) {
    MSG_ErrorLine(1912, keyword, text, (unsigned)(n < kShownMax ? n : kShownMax));
  } else if (len == 0) {
    MSG_ErrorLine(1913, keyword);
  }
  CMN_StrNCopy(field, text, n);
}

int CMN_SetField(char *field, const char *text, size_t n, const char *keyword) {
  MSG_ASSERT(field != nullptr && text != nullptr);
  if (field[0]) {
    MSG_ErrorLine(1911, keyword ? keyword : "");
    return 0;
  }
  CMN_CopyTruncate(field, text, n, keyword);
  return 1;
}

int CMN_SetTextField(char *field, const char *text, size_t n, const char *keyword) {
  MSG_ASSERT(field != nullptr && text != nullptr);
  if (!keyword) keyword = "";
  if (field[0]) {
    MSG_ErrorLine(1911, keyword);
    return 0;
  }
  size_t len = strlen(text);
  if (len > n) {
    MSG_ErrorLine(1914, keyword, text, (unsigned)(n < kShownMax ? n : kShownMax));
  } else if (len == 0) {
    MSG_ErrorLine(1913, keyword);
  }
  CMN_StrNCopy(field, text, CMN_TEXT_FIELD_MAX);
  return 1;
}

void CMN_CheckRequired(const char *keyword, int seen) {
  if (!seen) MSG_Error(1915, keyword ? keyword : "", openedName);
}

int CMN_IsNotReservedWord(const char *name) {
  MSG_ASSERT(name != nullptr);
  for (int i = 0; reservedWords[i][0]; i++) {
    if (CMN_StrEqualNoCase(name, reservedWords[i])) return 0;
  }
  return 1;
}

void CMN_CheckReservedWord(const char *name) {
  if (!CMN_IsNotReservedWord(name)) MSG_ErrorLine(1916, name);
}

/* ---- Input files ------------------------------------------------------ */

namespace {

const char *const kindExt[] = {"", ".ibs", ".pkg", ".ebd", ".ami"};
const int kindExtError[] = {0, 1900, 1903, 1902, 1924};

/* Index just behind the last directory separator of name (0 if none). */
size_t dirLength(const char *name) {
  size_t d = 0;
  for (size_t i = 0; name[i]; i++) {
    if (PLAT_IsDirSeparator((unsigned char)name[i])) d = i + 1;
  }
  return d;
}

/* 1 when dir (relative) is the tail of base, at a separator boundary. */
int endsInDirectory(const char *base, const char *dir) {
  size_t b = strlen(base), d = strlen(dir);
  if (d == 0 || d > b || PLAT_IsAbsolutePath(dir)) return 0;
  const char *tail = base + (b - d);
  if (tail != base && !PLAT_IsDirSeparator((unsigned char)tail[-1])) return 0;
  for (size_t i = 0; i < d; i++) {
    int x = (unsigned char)tail[i], y = (unsigned char)dir[i];
    if (x != y && !(PLAT_IsDirSeparator(x) && PLAT_IsDirSeparator(y))) return 0;
  }
  return 1;
}

/* Tries dir + file as given, in lower case, in upper case (file part only). */
FILE *openCased(const char *dir, char *file) {
  char path[2 * CMN_PATH_MAX + 2];
  snprintf(path, sizeof path, "%s%s", dir, file);
  FILE *f = PLAT_Open(path, "rb");
  if (f) return f;
  CMN_StrLower(file);
  snprintf(path, sizeof path, "%s%s", dir, file);
  f = PLAT_Open(path, "rb");
  if (f) return f;
  CMN_StrUpper(file);
  snprintf(path, sizeof path, "%s%s", dir, file);
  return PLAT_Open(path, "rb");
}

/*
** Directories tried for a name, in order.  A name without directory is
** looked for in the remembered one.  A relative directory is taken from the
** directory of the file opened before (the file that references this one),
** then from the working directory; when the remembered directory already ends
** in it, the same file is being opened again and the remembered one is used.
*/
struct Places {
  char joined[CMN_PATH_MAX + 1];
  const char *dirs[2];
  int count;
};

void placesFor(const char *dir, size_t dlen, Places *p) {
  p->count = 0;
  if (dlen == 0 || endsInDirectory(baseDir, dir)) {
    p->dirs[p->count++] = baseDir;
    return;
  }
  if (!PLAT_IsAbsolutePath(dir) && baseDir[0] && strlen(baseDir) + dlen <= CMN_PATH_MAX) {
    size_t blen = strlen(baseDir);
    memcpy(p->joined, baseDir, blen);
    memcpy(p->joined + blen, dir, dlen + 1);
    p->dirs[p->count++] = p->joined;
  }
  p->dirs[p->count++] = dir;
}

/*
** Opens file in the first place that has it, in one of its case variants.
** file (CMN_PATH_MAX + 1) receives the spelling that opened and *at the
** place.  *tooLong is 1 when no place could hold the name.
*/
FILE *openInPlaces(const Places &p, char *file, int *at, int *tooLong) {
  *tooLong = 1;
  for (int i = 0; i < p.count; i++) {
    if (strlen(p.dirs[i]) + strlen(file) > CMN_PATH_MAX) continue;
    *tooLong = 0;
    char tryName[CMN_PATH_MAX + 1];
    strcpy(tryName, file);
    FILE *f = openCased(p.dirs[i], tryName);
    if (f) {
      strcpy(file, tryName);
      *at = i;
      return f;
    }
  }
  return nullptr;
}

/* Splits name into its directory (with the separator) and file part. */
int splitName(const char *name, char *dir, const char **file) {
  size_t dlen = dirLength(name);
  if (dlen > CMN_PATH_MAX) return 0;
  memcpy(dir, name, dlen);
  dir[dlen] = '\0';
  *file = name + dlen;
  return 1;
}

} // namespace

int CMN_OpenFile(const char *name, FILE_KIND kind, FILE **file, char *name_out) {
  MSG_ASSERT(name != nullptr && file != nullptr && name_out != nullptr);
  MSG_ASSERT(kind >= FILE_IBS && kind <= FILE_AMI);
  *file = nullptr;

  /* Split directory and file name; either separator counts. */
  size_t dlen = dirLength(name);
  const char *fname = name + dlen;
  size_t flen = strlen(fname);

  /* The extension is checked before any length: its messages come first. */
  const char *dot = strrchr(fname, '.');
  if (dot) {
    if (!CMN_StrEqualNoCase(dot, kindExt[kind])) {
      MSG_Error(kindExtError[kind]);
      return 0;
    }
  } else if (flen + strlen(kindExt[kind]) > CMN_PATH_MAX) {
    MSG_Error(1901);
    return 0;
  }
  char dir[CMN_PATH_MAX + 1] = "";
  if (flen > CMN_PATH_MAX || !splitName(name, dir, &fname)) {
    MSG_Error(1904);
    return 0;
  }
  char fbuf[CMN_PATH_MAX + 1];
  memcpy(fbuf, fname, flen + 1);
  if (!dot) strcat(fbuf, kindExt[kind]);

  Places places;
  placesFor(dir, dlen, &places);
  int at = 0, tooLong = 1;
  FILE *f = openInPlaces(places, fbuf, &at, &tooLong);
  if (f) {
    if (places.dirs[at] != baseDir) CMN_StrNCopy(baseDir, places.dirs[at], CMN_PATH_MAX);
    CMN_StrNCopy(openedName, fbuf, CMN_PATH_MAX);
    strcpy(name_out, fbuf);
    *file = f;
    return 1;
  }
  if (tooLong) {
    MSG_Error(1904);
    return 0;
  }
  /* The directory tried last is the one shown and remembered. */
  const char *last = places.dirs[places.count - 1];
  if (last != baseDir) CMN_StrNCopy(baseDir, last, CMN_PATH_MAX);
  MSG_Error(1905, baseDir, fbuf);
  return 0;
}

int CMN_FileExists(const char *name) {
  MSG_ASSERT(name != nullptr);
  char dir[CMN_PATH_MAX + 1];
  const char *fname = nullptr;
  if (!splitName(name, dir, &fname) || strlen(fname) > CMN_PATH_MAX) return 0;
  char fbuf[CMN_PATH_MAX + 1];
  strcpy(fbuf, fname);
  Places places;
  placesFor(dir, strlen(dir), &places);
  int at = 0, tooLong = 1;
  FILE *f = openInPlaces(places, fbuf, &at, &tooLong);
  if (!f) return 0;
  fclose(f);
  return 1;
}

const char *CMN_GetOpenedName(void) { return openedName; }

void CMN_ResetFileState(void) {
  baseDir[0] = '\0';
  openedName[0] = '\0';
}

int CMN_SuppressCharCheck(int flag) {
  keepChars = flag != 0;
  return keepChars;
}

namespace {

/* The reader is single-threaded: no stream lock per character. */
inline int readByte(FILE *file) {
#ifdef _WIN32
  return getc(file);
#else
  return getc_unlocked(file);
#endif
}

/*
** Next character of a line after the line-end rules: CR LF reads as LF, a
** control-Z as the last byte of the file is dropped.  Returns EOF at the end
** of the file; *illegal gets the kind of an illegal character, else null.
*/
int nextChar(FILE *file, const char **illegal);

/* Legal characters that need no line-end rule: most of every file. */
inline int plainChar(int c) { return (c >= 32 && c <= 127) || c == '\t' || c == '\n'; }

/* nextChar for a byte c already read. */
int classifyChar(int c, FILE *file, const char **illegal) {
  *illegal = nullptr;
  if (c == EOF) return EOF;
  if (c == '\r' || c == 26) {
    int d = readByte(file);
    if (c == '\r' && d == '\n') return '\n';
    if (c == 26 && d == EOF) return EOF;
    if (d != EOF) ungetc(d, file);
  }
  if (c == '\t' || c == '\n' || (c >= 32 && c <= 127)) return c;
  if (c == 0) {
    *illegal = "NUL";
  } else if (c >= 128) {
    *illegal = "non-7-bit ASCII";
  } else {
    *illegal = "control";
  }
  return c;
}

int nextChar(FILE *file, const char **illegal) { return classifyChar(readByte(file), file, illegal); }

/*
** Set while the version scan reads: illegal characters become blanks without
** a report (the main read reports each with its line), so that a byte-order
** mark or a control character never hides the [IBIS Ver] line.
*/
int blankSilently = 0;

/* The character stored for c; reports it when illegal. */
int storedChar(int c, const char *illegal, int room) {
  if (!illegal) return c;
  if (blankSilently) return ' ';
  if (keepChars) return c;
  MSG_ErrorLine(1917, illegal, (unsigned)c, room ? "  Converting to space." : "");
  return ' ';
}

} // namespace

char *CMN_ReadLine(char *buffer, size_t n, FILE *file) {
  size_t length = 0;
  int tab = 0;
  return CMN_ReadLineMeasured(buffer, n, file, &length, &tab);
}

char *CMN_ReadLineMeasured(char *buffer, size_t n, FILE *file, size_t *length, int *tab) {
  MSG_ASSERT(length != nullptr && tab != nullptr);
  *length = 0;
  *tab = 0;
  if (!buffer || n == 0 || !file) return nullptr;
  if (n == 1) {
    buffer[0] = '\0';
    return buffer;
  }
  const char *illegal = nullptr;
  int c = nextChar(file, &illegal);
  if (c == EOF) return nullptr;
  size_t len = 0;
  /* Where the text ends for a string function: at a NUL kept from the file;
     and whether a tab comes before that. Kept in locals: the stores into the
     buffer could alias the outputs. */
  size_t end = n;
  int tabSeen = 0;
  for (;;) {
    int room = len < n - 1;
    int s = illegal ? storedChar(c, illegal, room) : c;
    if (room) {
      if (s == '\t')
        tabSeen |= end == n;
      else if (s == '\0' && end == n)
        end = len;
      buffer[len++] = (char)s;
    }
    if (c == '\n' && !illegal) break;
    c = readByte(file);
    if (plainChar(c))
      illegal = nullptr;
    else if ((c = classifyChar(c, file, &illegal)) == EOF)
      break;
  }
  buffer[len] = '\0';
  *length = end < len ? end : len;
  *tab = tabSeen;
  return buffer;
}

char *CMN_ReadKeywordLine(char *buffer, size_t n, FILE *file) {
  if (!buffer || n < 2 || !file || !keepChars || blankSilently) {
    /* Reported or blanked characters need every line read. */
    while (CMN_ReadLine(buffer, n, file)) {
      const char *p = buffer;
      CMN_SkipBlanks(&p);
      if (*p == '[') return buffer;
    }
    return nullptr;
  }
  /* Characters are stored as read (but for the line-end rules), so a line
     can be judged by its first characters and the rest passed over. */
  const char *illegal = nullptr;
  auto next = [file, &illegal]() {
    int c = readByte(file);
    if (plainChar(c)) {
      illegal = nullptr;
      return c;
    }
    return classifyChar(c, file, &illegal);
  };
  for (;;) {
    int c = next();
    if (c == EOF) return nullptr;
    size_t len = 0;
    while (c != '\n' && isSpace(c) && len < n - 1) {
      buffer[len++] = (char)c;
      c = next();
      if (c == EOF) return nullptr;
    }
    if (c == '[' && len < n - 1) {
      for (;;) {
        if (len < n - 1) buffer[len++] = (char)c;
        if (c == '\n' && !illegal) break;
        c = next();
        if (c == EOF) break;
      }
      buffer[len] = '\0';
      return buffer;
    }
    /* Not a keyword line: on to its line feed. */
    while (c != '\n' && c != EOF) c = readByte(file);
    if (c == EOF) return nullptr;
  }
}

char *CMN_ReadLineAlloc(size_t *size, FILE *file, int *state) {
  MSG_ASSERT(size != nullptr && state != nullptr);
  *state = CMN_LINE_WHOLE;
  if (!file) return nullptr;
  const char *illegal = nullptr;
  int c = nextChar(file, &illegal);
  if (c == EOF) return nullptr;
  /* The block grows geometrically; a line past the cap is cut, once reported. */
  size_t cap = 128, len = 0;
  char *line = nullptr;
  if (!CMN_Alloc(&line, cap)) {
    *state = CMN_LINE_NO_MEMORY;
    return nullptr;
  }
  for (; c != EOF; c = nextChar(file, &illegal)) {
    int s = storedChar(c, illegal, 1);
    int isEnd = c == '\n' && !illegal;
    if (len >= CMN_LINE_ALLOC_MAX && !isEnd) {
      if (*state != CMN_LINE_CUT) {
        MSG_ErrorLineText("Line longer than %lu characters; the rest of it is dropped.",
                          (unsigned long)CMN_LINE_ALLOC_MAX);
        *state = CMN_LINE_CUT;
      }
      continue;
    }
    if (len + 2 > cap && !CMN_Grow(&line, &cap, len + 2, 128)) {
      CMN_Free(line);
      *state = CMN_LINE_NO_MEMORY;
      return nullptr;
    }
    line[len++] = (char)s;
    if (isEnd) break;
  }
  line[len] = '\0';
  *size = len + 1;
  return line;
}

int CMN_GetIbisVersion(const char *name, unsigned long *line_count, FILE_KIND kind) {
  MSG_ASSERT(name != nullptr);
  FILE *f = nullptr;
  char opened[CMN_PATH_MAX + 1];
  if (!CMN_OpenFile(name, kind, &f, opened)) return 0;
  char line[121];
  int version = 0;
  blankSilently = 1;
  while (CMN_ReadLine(line, sizeof line, f)) {
    if (line_count) (*line_count)++;
    const char *p = line;
    CMN_SkipBlanks(&p);
    if (*p != '[') continue;
    if (CMN_StrNEqualNoCase(p, "[IBIS Ver]", 10) || CMN_StrNEqualNoCase(p, "[IBIS_Ver]", 10)) {
      CMN_SkipPastBracket(&p);
      if (*p >= '1' && *p <= '5') version = *p - '0';
    }
    break;
  }
  blankSilently = 0;
  fclose(f);
  return version;
}
