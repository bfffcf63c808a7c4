// Feeds the table readers the way a section does: the keyword line, then
// each data line, with the reader's line numbers (the keyword on line 1).
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

#include "IbisParser/msg.h"

// Test names from the `name` text of table-driven cases.
template <typename Case> std::string CaseName(const ::testing::TestParamInfo<Case> &info) {
    std::string name;
    for (const char *p = info.param.name; *p; ++p)
        name += isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
}

inline std::vector<std::string> SplitLines(const std::string &text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Calls keyword(line) for line 1 and data(line) for the others; leaves the
// line number at the last line, as the reader does before the next keyword.
template <typename Keyword, typename Data>
void FeedTable(const std::string &text, Keyword keyword, Data data) {
    std::vector<std::string> lines = SplitLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        MSG_SetLineNumber(i + 1);
        if (i == 0)
            keyword(lines[i].c_str());
        else
            data(lines[i].c_str());
    }
}
