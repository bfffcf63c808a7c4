// [Node Declarations] of a component.
#pragma once

struct STRING_LIST;

// Puts each blank- or tab-separated name of the line, as an owned copy, at
// the front of the list. 0 (after a message) when memory runs out.
int NODE_ParseList(const char *line, STRING_LIST **list);
// [End Node Declarations]: the names are complete as read, so there is
// nothing to close.
void NODE_EndDeclarations(void);
