// The four delays of one [Driver Schedule] row.
#pragma once

// Each delay in seconds with its state: CMN_VALUE_ABSENT, _NUMBER or _NA.
struct DLY {
    double Rise_on_dly;
    int Rise_on_state;
    double Rise_off_dly;
    int Rise_off_state;
    double Fall_on_dly;
    int Fall_on_state;
    double Fall_off_dly;
    int Fall_off_state;
};

// The delay columns of a row (the text behind the model name) into a new
// record in *slot; `name` is the scheduled model, named in messages.
void DLY_ParseDelays(const char *text, const char *name, DLY **slot);
int DLY_Create(DLY **slot);
// Reads the four columns (a null text is absent) and checks that they go
// together: 1 when they do.
int DLY_Check(const char *riseOn, const char *riseOff, const char *fallOn, const char *fallOff,
              const char *name, DLY *record);
void DLY_Free(DLY *record);
