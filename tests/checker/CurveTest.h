// Building I-V tables from text rows and printing them back, for the tests of
// the point-list arithmetic and the AC/DC checks.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/rngp.h"

// A table of rows "x typ min max"; "NA" gives that state, missing words
// leave the value absent (the row reader's messages go to the captured
// output); no rows give a null table. The caller frees it with CRV_Free.
inline CRV *MakeCurve(const std::vector<const char *> &rows) {
    if (rows.empty())
        return nullptr;
    CRV *curve = nullptr;
    CMN_Alloc(&curve, sizeof(CRV));
    int count = 0;
    for (const char *text : rows) {
        RNGP *row = nullptr;
        if (RNGP_ParseLine(text, "t", "Voltage", &row))
            RNGP_Append(&curve->points, &curve->rows, row, &count, 0);
    }
    return curve;
}

inline std::string CellText(double v, int state) {
    if (state == CMN_VALUE_NA)
        return "NA";
    if (state != CMN_VALUE_NUMBER)
        return "-";
    char buf[40];
    snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

inline std::string RowText(const RNGP *r) {
    return CellText(r->x, r->x_state) + " " + CellText(r->typ, r->typ_state) + " " +
           CellText(r->min, r->min_state) + " " + CellText(r->max, r->max_state);
}

// "x typ min max" per row, rows joined by "; "; backwards walks the prev links
// from the tail.
inline std::string CurveText(const CRV *curve, bool backwards = false) {
    if (curve == nullptr)
        return "(null)";
    const RNGP *r = curve->points;
    while (backwards && r != nullptr && r->next != nullptr)
        r = r->next;
    std::string text;
    for (; r != nullptr; r = backwards ? r->prev : r->next)
        text += (text.empty() ? "" : "; ") + RowText(r);
    return text;
}

// Every row's next has it as prev, and the head has no prev.
inline bool LinksAgree(const CRV *curve) {
    if (curve == nullptr || curve->points == nullptr)
        return true;
    if (curve->points->prev != nullptr)
        return false;
    for (const RNGP *r = curve->points; r->next != nullptr; r = r->next)
        if (r->next->prev != r)
            return false;
    return true;
}
