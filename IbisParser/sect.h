// One distributed R/L/C section of a package pin or board path (Len, L, R
// and C items ended by a slash), and the lists with forks that hold them.
#pragma once

#include <cstdint>

#include "IbisParser/cmn.h"

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

// ---- Lists with forks ---------------------------------------------------------
// The sections of a package pin and the elements of a board path form a list
// in which a fork holds a branch, the elements between Fork and Endfork; the
// elements after the branch continue on the fork's `next`. An element type E
// has `next` and `kind` (SECT_FORK for a fork); the list's branchOf gives the
// slot of a fork's first branch element.

enum { SECT_FORK = 0 };

// A list being built: the element the next one follows and the open forks.
template <typename E> struct SECT_FORKLIST {
    E **(*branchOf)(E *fork);
    E *current;  // null before the list's first element
    E **open;    // open forks, innermost last
    uint32_t depth, room;
};

// What SECT_CloseFork found.
enum { SECT_CLOSED = 0, SECT_EMPTY_FORK = 1, SECT_NO_FORK = 2 };

// Words that read as list syntax where a pin or designator is named.
bool SECT_IsPathWord(const char *name);

// A cleared element of the kind; null when memory ran out.
template <typename E> E *SECT_NewElement(int kind) {
    E *e = nullptr;
    if (!CMN_Alloc(&e, sizeof(E)))
        return nullptr;
    e->kind = kind;
    return e;
}

// Links e after the current element: as the first of a fork's branch when
// that element is the fork opened last, else behind it; into *head when
// there is none. e becomes the current element.
template <typename E> void SECT_Link(SECT_FORKLIST<E> *list, E **head, E *e) {
    if (list->current == nullptr)
        *head = e;
    else if (list->depth > 0 && list->current == list->open[list->depth - 1])
        *list->branchOf(list->current) = e;
    else
        list->current->next = e;
    list->current = e;
}

// Links a new fork and opens it, so that what is linked next starts its
// branch. Forks nest. The fork, or null when memory ran out (nothing linked).
template <typename E> E *SECT_OpenFork(SECT_FORKLIST<E> *list, E **head) {
    E *fork = SECT_NewElement<E>(SECT_FORK);
    if (fork == nullptr || !CMN_Grow(&list->open, &list->room, static_cast<size_t>(list->depth) + 1, 16)) {
        CMN_Free(fork);
        return nullptr;
    }
    SECT_Link(list, head, fork);
    list->open[list->depth++] = fork;
    return fork;
}

// Closes the innermost open fork, which becomes the current element: what
// follows continues behind it. With no fork open nothing changes.
template <typename E> int SECT_CloseFork(SECT_FORKLIST<E> *list) {
    if (list->depth == 0)
        return SECT_NO_FORK;
    E *fork = list->open[--list->depth];
    list->current = fork;
    return *list->branchOf(fork) == nullptr ? SECT_EMPTY_FORK : SECT_CLOSED;
}

// Starts the next list: nothing current, and the forks still open dropped;
// 1 when there were any (the caller reports them).
template <typename E> int SECT_StartList(SECT_FORKLIST<E> *list) {
    const int open = list->depth > 0;
    list->current = nullptr;
    list->depth = 0;
    return open;
}

// Forgets the list being built and frees the fork stack.
template <typename E> void SECT_EndList(SECT_FORKLIST<E> *list) {
    SECT_StartList(list);
    CMN_FreeAndClear(&list->open);
    list->room = 0;
}

// Frees a list with its branches, each element's own data through freeData.
// A branch is rotated in front of its fork, so the walk needs neither
// recursion nor a stack, whatever the nesting.
template <typename E> void SECT_FreeList(E *e, E **(*branchOf)(E *fork), void (*freeData)(E *e)) {
    while (e != nullptr) {
        E **branch = e->kind == SECT_FORK ? branchOf(e) : nullptr;
        if (branch != nullptr && *branch != nullptr) {
            E *first = *branch;
            *branch = first->next;
            first->next = e;
            e = first;
            continue;
        }
        E *next = e->next;
        freeData(e);
        CMN_Free(e);
        e = next;
    }
}
