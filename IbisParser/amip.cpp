/*
** Parser of AMI parameter strings.  See amip.h.
**
** Runs inside AMI_Init on the host's thread: no input may stop the process,
** so there are no assertions here; every fault is a result code.
*/
#include "IbisParser/amip.h"

#include "IbisParser/cmn.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

const char *const reservedWords[] = {"In",    "Out",   "Info",      "InOut", "Float",
                                     "Integer", "String", "Boolean", "Tap",   "UI",
                                     "Value", "Range", "List",      "Corner", "Increment",
                                     "Steps", "Table", "Gaussian",  "Dual-Dirac", "DjRj"};

const char *const definitionWords[] = {"Usage", "Type", "Format", "Default", "Description",
                                       "Labels"};

inline int isBlank(int c) { return isspace((unsigned char)c); }

inline void skipBlanks(char *&p) {
  while (isBlank(*p)) p++;
}

/* Where the parse takes its memory: the caller's allocator, or (null) the
** text library's wrappers, which report a failure. */
struct Mem {
  const AMIP_ALLOC *a;

  /* Zero-filled; null on failure. */
  void *Alloc(size_t size) const {
    if (a) return a->alloc(a->context, size ? size : 1);
    void *p = nullptr;
    return CMN_Alloc(&p, size) ? p : nullptr;
  }
  /* As realloc: null on failure, the block kept. */
  void *Resize(void *block, size_t size) const {
    if (a) return a->resize(a->context, block, size ? size : 1);
    void *p = block;
    return CMN_Realloc(&p, size) ? p : nullptr;
  }
  /* At most n characters of s, terminated; silent as names always were. */
  char *Copy(const char *s, size_t n) const {
    if (!a) return CMN_StrNDup(s, n);
    size_t len = 0;
    while (len < n && s[len]) len++;
    char *c = static_cast<char *>(Alloc(len + 1));
    if (c) memcpy(c, s, len);
    return c;
  }
  char *Dup(const char *s) const { return a ? Copy(s, strlen(s)) : CMN_StrDup(s); }
};

/*
** Room for one more element behind the count elements of *array.  The array
** doubles whenever it is full (its capacity is the power of two at or above
** count), so n elements cost about log2(n) resizes rather than n copies.
*/
template <typename T> int grow(const Mem &m, T **array, int32_t count) {
  if (count > 0 && (count & (count - 1)) != 0) return AMIP_OK; /* room left */
  if (count > INT32_MAX / 2) return AMIP_ERR_MEMORY;
  void *p = count == 0 ? m.Alloc(sizeof(T)) : m.Resize(*array, 2 * (size_t)count * sizeof(T));
  if (!p) return AMIP_ERR_MEMORY;
  *array = static_cast<T *>(p);
  return AMIP_OK;
}

/* Copy of [start, end) without its trailing blanks; null when out of memory. */
char *copyTrimmed(const Mem &m, const char *start, const char *end) {
  while (end > start && isBlank(end[-1])) end--;
  return m.Copy(start, (size_t)(end - start));
}

int definitionOf(const char *name) {
  for (int i = 0; i < 6; i++) {
    if (strcmp(name, definitionWords[i]) == 0) return i + 1;
  }
  return AMIP_DEF_NONE;
}

void freeLeaf(AMIP_LEAF *leaf) {
  if (!leaf) return;
  if (leaf->values) {
    for (int32_t j = 0; j < leaf->value_count; j++) free(leaf->values[j].text);
  }
  free(leaf->values);
  free(leaf->name);
  free(leaf);
}

void freeGroup(AMIP_GROUP *group) {
  if (!group) return;
  free(group->name);
  free(group->children);
  free(group);
}

/* Appends the text [start, end) (trailing blanks cut) as the leaf's next value. */
int addValue(const Mem &m, AMIP_LEAF *leaf, const char *start, const char *end) {
  char *text = copyTrimmed(m, start, end);
  if (!text) return AMIP_ERR_MEMORY;
  /* On failure the old array stays with the leaf. */
  if (grow(m, &leaf->values, leaf->value_count) != AMIP_OK) {
    free(text);
    return AMIP_ERR_MEMORY;
  }
  AMIP_VALUE &v = leaf->values[leaf->value_count];
  v.text = text;
  v.value_type = AMIP_ClassifyValue(text);
  v.reserved = AMIP_RW_NONE;
  if (v.value_type == AMIP_TYPE_STRING) AMIP_LookupReservedWord(&v, text);
  leaf->value_count++;
  return AMIP_OK;
}

/* Group nodes of the linking stack. */
struct STACK {
  AMIP_ENTRY *slots;
  int32_t top; /* index of the top slot */
};

int appendChild(const Mem &m, AMIP_GROUP *group, const AMIP_ENTRY &e) {
  if (grow(m, &group->children, group->child_count) != AMIP_OK) return AMIP_ERR_MEMORY;
  group->children[group->child_count++] = e;
  return AMIP_OK;
}

/* Links the k entries made into their groups' child arrays. */
int linkEntries(const Mem &m, AMIP_ENTRY *entries, int32_t k) {
  /*
  ** A text in which no entry survived (its only leaf dropped, as in
  ** "(a 1 (x))") has no outermost group to hand out: refused like a text
  ** whose first entry has no group above it.
  */
  if (k < 1) return AMIP_ERR_NO_GROUP;
  if (entries[0].kind != AMIP_KIND_GROUP || !entries[0].node) return AMIP_ERR_NO_GROUP;
  int32_t maxDepth = 1;
  for (int32_t i = 0; i < k; i++) {
    if (entries[i].depth > maxDepth) maxDepth = entries[i].depth;
  }
  /* Pushed depths climb by one from the bottom's (0 or 1): maxDepth + 1 slots. */
  STACK st = {static_cast<AMIP_ENTRY *>(m.Alloc(((size_t)maxDepth + 1) * sizeof(AMIP_ENTRY))), 0};
  if (!st.slots) return AMIP_ERR_MEMORY;
  st.slots[0] = entries[0];
  int rc = AMIP_OK;
  for (int32_t i = 1; i < k && rc == AMIP_OK; i++) {
    const AMIP_ENTRY &e = entries[i];
    while (st.slots[st.top].depth >= e.depth) {
      if (st.top == 0) {
        rc = AMIP_ERR_NESTING;
        break;
      }
      st.top--;
    }
    if (rc != AMIP_OK) break;
    const AMIP_ENTRY &top = st.slots[st.top];
    if (!top.node) {
      rc = AMIP_ERR_NO_GROUP;
      break;
    }
    if (e.depth != top.depth + 1) continue; /* too deep: left out with its members */
    rc = appendChild(m, static_cast<AMIP_GROUP *>(top.node), e);
    if (rc == AMIP_OK && e.kind == AMIP_KIND_GROUP && st.top < maxDepth) st.slots[++st.top] = e;
  }
  free(st.slots);
  return rc;
}

/* Counts ( and ) outside double quotes. */
void countParentheses(const char *text, size_t *open, size_t *close) {
  int quoted = 0;
  for (const char *p = text; *p; p++) {
    if (*p == '"') {
      quoted = !quoted;
    } else if (!quoted) {
      if (*p == '(') (*open)++;
      if (*p == ')') (*close)++;
    }
  }
}

void *silentAlloc(void *, size_t size) { return calloc(1, size); }
void *silentResize(void *, void *block, size_t size) { return realloc(block, size); }

int tokenize(const Mem &m, char *copy, AMIP_ENTRY *entries, int32_t *n);

} // namespace

extern const AMIP_ALLOC AMIP_silentAlloc = {silentAlloc, silentResize, nullptr};

int AMIP_ClassifyValue(const char *text) {
  if (!text || !text[0]) return AMIP_TYPE_EMPTY;
  char *end = nullptr;
  (void)strtol(text, &end, 10);
  if (end != text && *end == '\0') return AMIP_TYPE_INTEGER;
  (void)CMN_StrToD(text, &end);
  if (end != text && *end == '\0') return AMIP_TYPE_FLOAT;
  if (strcmp(text, "True") == 0 || strcmp(text, "False") == 0) return AMIP_TYPE_BOOLEAN;
  return AMIP_TYPE_STRING;
}

void AMIP_LookupReservedWord(AMIP_VALUE *value, const char *text) {
  if (!value || !text) return;
  for (int i = 0; i < (int)(sizeof reservedWords / sizeof reservedWords[0]); i++) {
    if (strcmp(text, reservedWords[i]) == 0) {
      value->reserved = i;
      return;
    }
  }
}

int AMIP_CountParentheses(const char *text, int32_t *count) {
  int32_t dummy = 0;
  if (!count) count = &dummy;
  *count = 0;
  if (!text) return 1;
  size_t open = 0, close = 0;
  countParentheses(text, &open, &close);
  if (open != close || open > INT32_MAX) return 0;
  *count = (int32_t)open;
  return 1;
}

int AMIP_Tokenize(char *copy, AMIP_ENTRY *entries, int32_t *n) {
  return tokenize(Mem{nullptr}, copy, entries, n);
}

namespace {

int tokenize(const Mem &m, char *copy, AMIP_ENTRY *entries, int32_t *n) {
  if (!copy || !entries || !n) return AMIP_ERR_NO_GROUP;
  const int32_t N = *n;
  char *p = copy;
  int64_t L = 0; /* two steps per nesting level */
  int32_t k = 0; /* entries made */
  int rc = AMIP_OK;

  for (int32_t i = 0; i < N; i++) {
    char *blank = nullptr; /* first blank of this iteration */
    if (*p == '(') {
      p++;
      L++;
      skipBlanks(p);
    }
    char *nameStart = p;
    for (;;) {
      int c = (unsigned char)*p;
      if (c == '\0') goto next_iteration; /* text used up */
      if (c == '(') {
        /* A group: its name ends at the first blank or here. */
        char *nameEnd = blank ? blank : p;
        if (k >= N) { rc = AMIP_ERR_ENTRIES; goto done; }
        if (nameEnd < nameStart) { rc = AMIP_ERR_BOUNDS; goto done; }
        AMIP_GROUP *g = static_cast<AMIP_GROUP *>(m.Alloc(sizeof(AMIP_GROUP)));
        if (!g) { rc = AMIP_ERR_MEMORY; goto done; }
        entries[k].kind = AMIP_KIND_GROUP;
        entries[k].depth = (int32_t)((L + 1) / 2);
        entries[k].node = g;
        g->name = copyTrimmed(m, nameStart, nameEnd);
        if (!g->name) { rc = AMIP_ERR_MEMORY; goto done; }
        L++;
        k++;
        goto next_iteration; /* p stays: the next iteration steps over it */
      }
      if (c == ')') {
        /* A group closes; the iteration is given back. */
        p++;
        skipBlanks(p);
        if (L < 2 || i < 1) { rc = AMIP_ERR_CLOSE; goto done; }
        i--;
        if (*p == '(') {
          p++;
          L--;
        } else {
          L -= 2;
        }
        skipBlanks(p);
        nameStart = p;
        continue;
      }
      if (isBlank(c)) {
        if (!blank) blank = p;
        p++;
        continue;
      }
      if (!blank) {
        p++; /* part of the name */
        continue;
      }

      /* A leaf: the name ends at the marked blank, values start here. */
      if (k >= N) { rc = AMIP_ERR_ENTRIES; goto done; }
      if (blank < nameStart) { rc = AMIP_ERR_BOUNDS; goto done; }
      AMIP_LEAF *leaf = static_cast<AMIP_LEAF *>(m.Alloc(sizeof(AMIP_LEAF)));
      if (!leaf) { rc = AMIP_ERR_MEMORY; goto done; }
      entries[k].kind = AMIP_KIND_LEAF;
      entries[k].depth = (int32_t)((L + 1) / 2);
      entries[k].node = leaf;
      leaf->name = copyTrimmed(m, nameStart, blank);
      if (!leaf->name) { rc = AMIP_ERR_MEMORY; goto done; }
      leaf->definition = definitionOf(leaf->name);

      char *vs = p;            /* start of the current value */
      char *pending = nullptr; /* first blank behind it */
      for (;;) {
        c = (unsigned char)*p;
        if (c == '\0') {
          /* Cut off by the end: the unfinished value is dropped. */
          k++;
          goto next_iteration;
        }
        if (c == ')') {
          if (p < vs) { rc = AMIP_ERR_BOUNDS; goto done; }
          rc = addValue(m, leaf, vs, p);
          if (rc != AMIP_OK) goto done;
          p++;
          skipBlanks(p);
          if (L < 1) { rc = AMIP_ERR_CLOSE; goto done; }
          L--;
          k++;
          goto next_iteration;
        }
        if (c == '(') {
          /* A parenthesis among the values: the leaf is dropped up to its ). */
          freeLeaf(leaf);
          entries[k].node = nullptr;
          int32_t depth = 2; /* the leaf's own ( and this one */
          p++;
          while (*p && depth > 0) {
            if (*p == '"') {
              p++;
              while (*p && *p != '"') p++;
              if (!*p) break;
            } else if (*p == '(') {
              depth++;
            } else if (*p == ')') {
              depth--;
            }
            p++;
          }
          skipBlanks(p);
          if (L < 1) { rc = AMIP_ERR_CLOSE; goto done; }
          L--;
          goto next_iteration;
        }
        if (c == '"' && !pending) {
          /* Quoted text: blanks and parentheses in it are plain characters. */
          *p = ' ';
          p++;
          vs = p;
          while (*p && *p != '"') p++;
          if (*p == '"') *p = ' '; /* reads as the blank that ends the value */
          continue;
        }
        if (isBlank(c)) {
          if (!pending) pending = p;
          p++;
          continue;
        }
        if (pending) {
          if (pending < vs) { rc = AMIP_ERR_BOUNDS; goto done; }
          rc = addValue(m, leaf, vs, pending);
          if (rc != AMIP_OK) goto done;
          vs = p; /* this character starts the next value */
          pending = nullptr;
          continue;
        }
        p++;
      }
    }
  next_iteration:;
  }

done:
  *n = k < N ? k : N;
  return rc;
}

} // namespace

void AMIP_FreeTree(AMIP_TREE **tree) {
  if (!tree || !*tree) return;
  AMIP_TREE *t = *tree;
  if (t->entries) {
    for (int32_t i = 0; i < t->count; i++) {
      AMIP_ENTRY &e = t->entries[i];
      if (!e.node) continue;
      if (e.kind == AMIP_KIND_GROUP) {
        freeGroup(static_cast<AMIP_GROUP *>(e.node));
      } else {
        freeLeaf(static_cast<AMIP_LEAF *>(e.node));
      }
      e.node = nullptr;
    }
  }
  free(t->entries);
  free(t);
  *tree = nullptr;
}

int AMIP_Parse(const char *text, AMIP_TREE **tree) { return AMIP_ParseWith(text, tree, nullptr); }

int AMIP_ParseWith(const char *text, AMIP_TREE **tree, const AMIP_ALLOC *alloc) {
  if (!text || !tree) return AMIP_ERR_NO_GROUP;
  const Mem m{alloc};
  while (isBlank(*text)) text++;
  if (*text != '(') return AMIP_ERR_NO_PAREN;
  size_t open = 0, close = 0;
  countParentheses(text, &open, &close);
  if (open != close) return AMIP_ERR_UNBALANCED;
  if (open > INT32_MAX) return AMIP_ERR_MEMORY; /* more slots than a tree can count */
  const int32_t N = (int32_t)open;

  AMIP_TREE *t = static_cast<AMIP_TREE *>(m.Alloc(sizeof(AMIP_TREE)));
  if (!t) return AMIP_ERR_MEMORY;
  t->entries = static_cast<AMIP_ENTRY *>(m.Alloc((size_t)N * sizeof(AMIP_ENTRY)));
  if (!t->entries) {
    free(t);
    return AMIP_ERR_MEMORY;
  }
  t->count = N;

  char *copy = m.Dup(text);
  if (!copy) {
    AMIP_FreeTree(&t);
    return AMIP_ERR_MEMORY;
  }
  int32_t made = N;
  int rc = tokenize(m, copy, t->entries, &made);
  if (rc == AMIP_OK) rc = linkEntries(m, t->entries, made);
  free(copy);
  if (rc != AMIP_OK) {
    AMIP_FreeTree(&t);
    return rc;
  }
  *tree = t;
  return AMIP_OK;
}
