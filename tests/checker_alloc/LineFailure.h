// Fails a chosen request made for one line of the file being read, in the
// sections whose line handler a test hooks.
#pragma once

#include "AllocFail.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"

namespace linefailure {

inline unsigned long g_line = 0;  // 0: no line fails
inline int g_nth = 1;             // which request of the line fails
inline PARSE_HANDLERS g_real[SECTION_COUNT];

template <int Section> void FailingLine(int lineType, IBIS_KEYWORD code, char *text) {
    const bool arm = g_line != 0 && MSG_GetLineNumber() == g_line;
    if (arm)
        FailAlloc(g_nth);
    g_real[Section].parseLine(lineType, code, text);
    if (arm)
        FailAlloc(0);
}

// Hooks the line handler of each section given (the fixture restores them).
template <int... Sections> void Hook() {
    memcpy(g_real, PARSE_sections, sizeof g_real);
    ((PARSE_sections[Sections].parseLine = FailingLine<Sections>), ...);
    g_line = 0;
    g_nth = 1;
}

}  // namespace linefailure
