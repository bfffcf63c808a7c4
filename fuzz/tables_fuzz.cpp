// Drives the table readers (I-V tables, [Ramp], waveforms, [Series MOSFET])
// as a section does, on arbitrary lines. The first byte picks the reader,
// the table and the IBIS version, the second the model type; every line of
// the rest
// that begins with '[' ends the table being read and opens the next one.
// Then the finished tables go through interpolation, the time-point and Vds
// comparisons and the series-information hooks, and everything is freed.
#include <cstdint>
#include <cstdio>
#include <string>

#include "IbisParser/cmn.h"
#include "IbisParser/crv.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/parse.h"
#include "IbisParser/ramp.h"
#include "IbisParser/sinfo.h"
#include "IbisParser/smos.h"
#include "IbisParser/wvfrm.h"

namespace {

FILE *g_sink = nullptr;

const int kCurveCodes[] = {KW_PULLDOWN, KW_PULLUP, KW_GND_CLAMP, KW_POWER_CLAMP,
                           KW_SERIES_CURRENT, KW_SERIES_MOSFET, KW_ISSO_PD, KW_ISSO_PU};
const char *const kCurveCaptions[] = {"Pulldown", "Pullup", "GND Clamp", "POWER Clamp",
                                      "Series_Current", "Series_MOSFET", "ISSO_PD", "ISSO_PU"};
const char *const kWaveCaptions[] = {"Rising Waveform", "GND Pulse Table",
                                     "Rising Waveform Near", "Composite Current"};

struct Tables {
    CRV *curve = nullptr;
    RAMP *ramp = nullptr;
    WVFRM *waves = nullptr;
    SINFO *on = nullptr;  // holds the Series MOSFET list
};

void Begin(int reader, int table, const char *line, Tables *t) {
    switch (reader) {
    case 0: CRV_Init(line, kCurveCaptions[table], &t->curve); break;
    case 1: RAMP_Init(line, &t->ramp, "m"); break;
    case 2: {
        WVFRM **slot = &t->waves;
        // A composite current goes to the newest waveform, as the model does.
        if (table == 3 && t->waves != nullptr) {
            WVFRM *last = t->waves;
            while (last->next != nullptr)
                last = last->next;
            slot = &last->composite;
        }
        WVFRM_Init(line, slot, kWaveCaptions[table]);
        break;
    }
    default: {
        SMOS *entry = nullptr;
        if (SMOS_Init(line, &t->on->series_mosfet, &entry))
            CRV_Init(line, "Series_MOSFET", &entry->table);
        break;
    }
    }
}

void Data(int reader, int table, const char *line, Tables *t) {
    switch (reader) {
    case 0: CRV_ParseLine(line, t->curve, kCurveCaptions[table]); break;
    case 1: RAMP_ParseLine(line, t->ramp, "m"); break;
    case 2: WVFRM_ParseLine(line, kWaveCaptions[table]); break;
    default: SMOS_ParseLine(line); break;
    }
}

void End(int reader, int table, int modelType, Tables *t) {
    switch (reader) {
    case 0:
        CRV_EndKeyword("m", modelType, kCurveCodes[table], t->curve, kCurveCaptions[table],
                       "Model");
        break;
    case 1: RAMP_EndKeyword(t->ramp); break;
    case 2: WVFRM_EndKeyword(kWaveCaptions[table], table); break;
    default: SMOS_CheckTable("m", modelType, KW_SERIES_MOSFET); break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (g_sink == nullptr) {
        g_sink = fopen("/dev/null", "w");
        if (g_sink == nullptr)
            return 0;
    }
    if (size < 2)
        return 0;
    const int reader = data[0] & 3;
    const int table = reader == 0 ? (data[0] >> 2) & 7 : (data[0] >> 2) & 3;
    PARSE_SetIbisVersion((data[0] >> 6) + 2);
    const int modelType = data[1] % 23;
    FILE *saved = MSG_GetOutput();
    MSG_SetOutput(g_sink);

    Tables t;
    SINFO_Create(&t.on);
    std::string text(reinterpret_cast<const char *>(data + 2), size - 2);
    bool open = false;
    unsigned long lineNumber = 0;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        MSG_SetLineNumber(++lineNumber);
        if (!line.empty() && line[0] == '[') {
            if (open)
                End(reader, table, modelType, &t);
            Begin(reader, table, line.c_str(), &t);
            open = true;
        } else if (open) {
            Data(reader, table, line.c_str(), &t);
        }
    }
    if (open)
        End(reader, table, modelType, &t);

    if (t.curve != nullptr) {
        for (double v : {-1.0, 0.0, 0.5, 3.3}) {
            double *typ = nullptr, *min = nullptr, *max = nullptr;
            CRV_InterpolateAt(t.curve, v, &typ, &min, &max);
            CMN_Free(typ);
            CMN_Free(min);
            CMN_Free(max);
        }
        CRV *copy = nullptr;
        if (CRV_CopyPoints(t.curve, &copy))
            CRV_Free(copy);
    }
    int index = 0;
    for (const WVFRM *w = t.waves; w != nullptr; w = w->next, ++index)
        if (w->composite != nullptr)
            WVFRM_SameTimePoints(w, w->composite, index, "m", "Rising");
    t.on->series_current = t.curve;  // freed with the record, through its hook
    SINFO_Check(t.on, "m", "[On]");

    SINFO_Free(t.on);
    RAMP_Free(t.ramp);
    WVFRM_Free(t.waves);
    CRV_Reset();
    RAMP_Reset();
    WVFRM_Reset();
    SMOS_Reset();
    MSG_SetOutput(saved);
    return 0;
}
