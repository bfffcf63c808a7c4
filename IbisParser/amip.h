/*
** Parser of AMI parameter strings: "(Model (Param value ...) (Group ...))".
**
** The tree is a flat array of entries, one slot per '(' outside double
** quotes, over group and leaf nodes.  Walk it from entries[0] (the outermost
** group) through the groups' children, never by count.  Every fault of the
** text is a result code; nothing here stops the process.
*/
#ifndef IBISPARSER_AMIP_H
#define IBISPARSER_AMIP_H

#include <cstddef>
#include <cstdint>

/* Entry kinds. */
enum { AMIP_KIND_GROUP = 0, AMIP_KIND_LEAF = 1 };

/* Value types (AMIP_ClassifyValue). */
enum {
  AMIP_TYPE_EMPTY = -1,
  AMIP_TYPE_STRING = 0,
  AMIP_TYPE_INTEGER = 1,
  AMIP_TYPE_BOOLEAN = 2,
  AMIP_TYPE_FLOAT = 3
};

/* Definition words of a leaf name. */
enum {
  AMIP_DEF_NONE = 0,
  AMIP_DEF_USAGE = 1,
  AMIP_DEF_TYPE = 2,
  AMIP_DEF_FORMAT = 3,
  AMIP_DEF_DEFAULT = 4,
  AMIP_DEF_DESCRIPTION = 5,
  AMIP_DEF_LABELS = 6
};

/* Reserved words of values: "In" 0 ... "DjRj" 19; -1 none. */
enum {
  AMIP_RW_NONE = -1,
  AMIP_RW_IN = 0,
  AMIP_RW_OUT,
  AMIP_RW_INFO,
  AMIP_RW_INOUT,
  AMIP_RW_FLOAT,
  AMIP_RW_INTEGER,
  AMIP_RW_STRING,
  AMIP_RW_BOOLEAN,
  AMIP_RW_TAP,
  AMIP_RW_UI,
  AMIP_RW_VALUE,
  AMIP_RW_RANGE,
  AMIP_RW_LIST,
  AMIP_RW_CORNER,
  AMIP_RW_INCREMENT,
  AMIP_RW_STEPS,
  AMIP_RW_TABLE,
  AMIP_RW_GAUSSIAN,
  AMIP_RW_DUAL_DIRAC,
  AMIP_RW_DJRJ
};

/* Result codes of AMIP_Parse and AMIP_Tokenize. */
enum {
  AMIP_OK = 0,
  AMIP_ERR_UNBALANCED = 1, /* counts of ( and ) differ */
  AMIP_ERR_NO_PAREN = 2,   /* first non-blank is not ( */
  AMIP_ERR_NO_GROUP = 3,   /* null argument, or an entry without group above */
  AMIP_ERR_MEMORY = 4,
  AMIP_ERR_NESTING = 5,    /* an entry outside the first group */
  AMIP_ERR_CLOSE = 6,      /* ) with no group open, or (A) */
  AMIP_ERR_ENTRIES = 7,    /* more entries than ( counted */
  AMIP_ERR_BOUNDS = 8      /* a name or value ending before its start */
};

struct AMIP_VALUE {
  char *text;         /* as written, quotes removed */
  int32_t value_type; /* AMIP_TYPE_... */
  int32_t reserved;   /* AMIP_RW_... */
};

struct AMIP_LEAF {
  char *name;
  AMIP_VALUE *values;
  int32_t value_count;
  int32_t definition; /* AMIP_DEF_... */
};

/* A tagged reference; child arrays hold copies that share the node. */
struct AMIP_ENTRY {
  int32_t kind;  /* AMIP_KIND_... */
  int32_t depth; /* outermost group: 1 */
  void *node;    /* AMIP_GROUP or AMIP_LEAF; null in an empty slot */
};

struct AMIP_GROUP {
  char *name; /* may be empty */
  AMIP_ENTRY *children;
  int32_t child_count;
};

struct AMIP_TREE {
  AMIP_ENTRY *entries; /* owns every node */
  int32_t count;       /* slots: the ( counted, not the entries made */
};

/*
** Where a parse takes its memory.  alloc gives a zero-filled block, resize
** resizes one as realloc does (null on failure, the block kept); each block
** must be one that free() releases, since AMIP_FreeTree frees with it.
*/
struct AMIP_ALLOC {
  void *(*alloc)(void *context, size_t size);
  void *(*resize)(void *context, void *block, size_t size);
  void *context;
};
/*
** calloc and realloc, reporting nothing: for the AMI path, which must
** neither write to the host's output nor touch the checker's counts.
*/
extern const AMIP_ALLOC AMIP_silentAlloc;

/*
** 0 and *tree set, or a result code with *tree untouched.  text unchanged.
** Memory comes from the text library's wrappers, which report a failure.
*/
int AMIP_Parse(const char *text, AMIP_TREE **tree);
/* AMIP_Parse with memory from alloc; a failure is result 4 alone. */
int AMIP_ParseWith(const char *text, AMIP_TREE **tree, const AMIP_ALLOC *alloc);
/* Frees the tree and sets *tree to null; null and empty parts are passed. */
void AMIP_FreeTree(AMIP_TREE **tree);
/*
** Fills *n zero-filled slots from a writable copy that begins with '(';
** *n becomes the number of entries made.  Quotes around values become
** blanks.  0, 4 or 6-8.
*/
int AMIP_Tokenize(char *copy, AMIP_ENTRY *entries, int32_t *n);
int AMIP_ClassifyValue(const char *text);
/* Sets value->reserved when text spells a reserved word. */
void AMIP_LookupReservedWord(AMIP_VALUE *value, const char *text);
/* 1 and the number of ( when ( and ) outside quotes balance, else 0 and 0. */
int AMIP_CountParentheses(const char *text, int32_t *count);

#endif /* IBISPARSER_AMIP_H */
