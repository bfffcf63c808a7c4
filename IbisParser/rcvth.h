// [Receiver Thresholds] of a model.
#pragma once

struct MDL;
struct PIN;

// Slots in table order, each null until its line is read.
struct RCVTH {
    double *Vth;
    double *Vth_min;
    double *Vth_max;
    double *Vinh_ac;
    double *Vinh_dc;
    double *Vinl_ac;
    double *Vinl_dc;
    double *Threshold_sensitivity;
    char *Reference_supply;  // owned copy of the value
    double *Vcross_low;
    double *Vcross_high;
    double *Vdiff_ac;
    double *Vdiff_dc;
    double *Tslew_ac;
    double *Tdiffslew_ac;
};

int RCVTH_Init(const char *keywordText, RCVTH **slot);
void RCVTH_ParseLine(const char *text, RCVTH *record, const char *modelName);
void RCVTH_EndKeyword(MDL *model);
void RCVTH_CheckAll(MDL *models);
void RCVTH_Free(RCVTH *record);

// What the check asks of the component section: whether the model sits on a
// [Diff Pin] row's pin (marking it differential); on 1 *pin is the first
// such pin found. Empty: every model counts as single-ended.
struct RCVTH_OPS {
    int (*isModelOnDiffPin)(MDL *model, PIN **pin);
};
extern RCVTH_OPS RCVTH_ops;
