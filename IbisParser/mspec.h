// [Model Spec] of a model.
#pragma once

struct RNG;
struct MDL;

// One range per sub-parameter, null while not given.
struct MSPEC {
    int hysteresisComplete;  // set by the end check
    RNG *Vinh;
    RNG *Vinl;
    RNG *Vinh_plus;
    RNG *Vinh_minus;
    RNG *Vinl_plus;
    RNG *Vinl_minus;
    RNG *S_overshoot_low;
    RNG *S_overshoot_high;
    RNG *D_overshoot_low;
    RNG *D_overshoot_high;
    RNG *D_overshoot_time;
    RNG *Pulse_high;
    RNG *Pulse_low;
    RNG *Pulse_time;
    RNG *Vmeas;
    RNG *Vref;
    RNG *Cref;
    RNG *Rref;
    RNG *Rref_diff;
    RNG *Cref_diff;
    RNG *Vref_rising;
    RNG *Vref_falling;
    RNG *Cref_rising;
    RNG *Cref_falling;
    RNG *Rref_rising;
    RNG *Rref_falling;
    RNG *Vmeas_rising;
    RNG *Vmeas_falling;
    RNG *D_overshoot_amp_h;
    RNG *D_overshoot_amp_l;
    RNG *D_overshoot_area_h;
    RNG *D_overshoot_area_l;
};

int MSPEC_Init(const char *keywordText, MSPEC **slot);
// One data line; the model gives its name and Model_type to the messages.
void MSPEC_ParseLine(const char *text, MSPEC *record, const MDL *model);
void MSPEC_EndKeyword(MDL *model);
void MSPEC_Free(MSPEC *record);
