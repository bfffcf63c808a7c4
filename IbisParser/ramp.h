// [Ramp] of a model or submodel: dV/dt_r, dV/dt_f and R_load.
#pragma once

// One dV/dt line, corners in the order typ, min, max.
struct DVDT {
    double dV[3];
    double dt[3];
    int state[3];  // 0 absent or not parsed, 1 given, 2 "NA"
};

struct RAMP {
    DVDT *dVdt_r;
    DVDT *dVdt_f;
    double R_load;
    int R_load_given;
};

// A record already in *slot is reported and replaced; 0 when out of memory.
int RAMP_Init(const char *keywordText, RAMP **slot, const char *modelName);
void RAMP_ParseLine(const char *text, RAMP *ramp, const char *modelName);
void RAMP_EndKeyword(RAMP *ramp);
void RAMP_Free(RAMP *ramp);
void RAMP_Reset(void);
