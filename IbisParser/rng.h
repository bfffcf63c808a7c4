// Typ/min/max ranges.
#pragma once

struct RNG {
    double typ;
    int typ_state;  // CMN_VALUE_ABSENT, CMN_VALUE_NUMBER or CMN_VALUE_NA
    double min;
    int min_state;
    double max;
    int max_state;
};

int RNG_Create(RNG **out);
// A line of three words typ, min, max; `label` names the keyword in messages.
// *out receives the new range (also when a value was bad); 1 when every value
// converted.
int RNG_ParseLine(const char *text, const char *label, RNG **out);
// A null word leaves its value absent; 1 when all three converted.
int RNG_ParseValues(const char *typ, const char *min, const char *max, const char *label,
                    RNG *range);
void RNG_Free(RNG *range);
