// Drives the board section directly, as the reader would, for tests that
// build a board without a file (a root without header, nesting beyond any
// line's length).
#pragma once

#include <string>

#include "IbisParser/ebdmdl.h"

// Hands the section a copy of text: the section may write into its line.
inline void BoardLine(int type, IBIS_KEYWORD code, const std::string &text) {
    std::string copy = text;
    EBDMDL_ParseLine(type, code, &copy[0]);
}

// Opens board B with one path p and one map row `row` (a designator, a file
// and a component) and hands it `path` as one path line.
inline void BoardWithPath(const std::string &path, const std::string &row) {
    EBDMDL_Init();
    BoardLine(LINE_KEYWORD, KW_BEGIN_BOARD_DESCRIPTION, "[Begin Board Description] B");
    BoardLine(LINE_KEYWORD, KW_REFERENCE_DESIGNATOR_MAP, "[Reference Designator Map]");
    BoardLine(LINE_DATA, KW_REFERENCE_DESIGNATOR_MAP, row);
    BoardLine(LINE_KEYWORD, KW_PATH_DESCRIPTION, "[Path Description] p");
    BoardLine(LINE_DATA, KW_PATH_DESCRIPTION, path);
}
