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

/* Copy of [start, end) without its trailing blanks; null when out of memory. */
char *copyTrimmed(const char *start, const char *end) {
  while (end > start && isBlank(end[-1])) end--;
  return CMN_StrNDup(start, (size_t)(end - start));
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
int addValue(AMIP_LEAF *leaf, const char *start, const char *end) {
  char *text = copyTrimmed(start, end);
  if (!text) return AMIP_ERR_MEMORY;
  /* Grow through a copy: on failure the old array stays with the leaf. */
  AMIP_VALUE *grown = leaf->values;
  int ok = leaf->value_count == 0
               ? CMN_Alloc(&grown, sizeof(AMIP_VALUE))
               : CMN_Realloc(&grown, ((size_t)leaf->value_count + 1) * sizeof(AMIP_VALUE));
  if (!ok) {
    free(text);
    return AMIP_ERR_MEMORY;
  }
  leaf->values = grown;
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

int appendChild(AMIP_GROUP *group, const AMIP_ENTRY &e) {
  AMIP_ENTRY *grown = group->children;
  int ok = group->child_count == 0
               ? CMN_Alloc(&grown, sizeof(AMIP_ENTRY))
               : CMN_Realloc(&grown, ((size_t)group->child_count + 1) * sizeof(AMIP_ENTRY));
  if (!ok) return AMIP_ERR_MEMORY;
  group->children = grown;
  group->children[group->child_count++] = e;
  return AMIP_OK;
}

/* Links the k entries made into their groups' child arrays. */
int linkEntries(AMIP_ENTRY *entries, int32_t k) {
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
  STACK st = {nullptr, 0};
  if (!CMN_Alloc(&st.slots, ((size_t)maxDepth + 1) * sizeof(AMIP_ENTRY))) return AMIP_ERR_MEMORY;
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
    rc = appendChild(static_cast<AMIP_GROUP *>(top.node), e);
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

} // namespace

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
        AMIP_GROUP *g = nullptr;
        if (!CMN_Alloc(&g, sizeof *g)) { rc = AMIP_ERR_MEMORY; goto done; }
        entries[k].kind = AMIP_KIND_GROUP;
        entries[k].depth = (int32_t)((L + 1) / 2);
        entries[k].node = g;
        g->name = copyTrimmed(nameStart, nameEnd);
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
      AMIP_LEAF *leaf = nullptr;
      if (!CMN_Alloc(&leaf, sizeof *leaf)) { rc = AMIP_ERR_MEMORY; goto done; }
      entries[k].kind = AMIP_KIND_LEAF;
      entries[k].depth = (int32_t)((L + 1) / 2);
      entries[k].node = leaf;
      leaf->name = copyTrimmed(nameStart, blank);
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
          rc = addValue(leaf, vs, p);
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
          rc = addValue(leaf, vs, pending);
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

int AMIP_Parse(const char *text, AMIP_TREE **tree) {
  if (!text || !tree) return AMIP_ERR_NO_GROUP;
  while (isBlank(*text)) text++;
  if (*text != '(') return AMIP_ERR_NO_PAREN;
  size_t open = 0, close = 0;
  countParentheses(text, &open, &close);
  if (open != close) return AMIP_ERR_UNBALANCED;
  if (open > INT32_MAX) return AMIP_ERR_MEMORY; /* more slots than a tree can count */
  const int32_t N = (int32_t)open;

  AMIP_TREE *t = nullptr;
  if (!CMN_Alloc(&t, sizeof *t)) return AMIP_ERR_MEMORY;
  if (!CMN_Alloc(&t->entries, (size_t)N * sizeof(AMIP_ENTRY))) {
    free(t);
    return AMIP_ERR_MEMORY;
  }
  t->count = N;

  char *copy = CMN_StrDup(text);
  if (!copy) {
    AMIP_FreeTree(&t);
    return AMIP_ERR_MEMORY;
  }
  int32_t made = N;
  int rc = AMIP_Tokenize(copy, t->entries, &made);
  if (rc == AMIP_OK) rc = linkEntries(t->entries, made);
  free(copy);
  if (rc != AMIP_OK) {
    AMIP_FreeTree(&t);
    return rc;
  }
  *tree = t;
  return AMIP_OK;
}
