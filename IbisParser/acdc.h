// AC/DC consistency of the models of a file: the DC I-V tables of each model
// combined per corner and held against its waveforms, its timing test load,
// its ISSO tables and its clamp currents; and the clamp sums of models that
// add submodels.
#pragma once

struct CRV;
struct MDL;
struct RNG;
struct SUBMDL;
struct WVFRM;

// Switch of these checks, on at load; the setter stores 1 for any non-zero
// flag and returns what it stored.
int ACDC_SetEnabled(int flag);
int ACDC_GetEnabled(void);

// Checks every model of the list in list order; returns the number of models
// for which a check failed.
int ACDC_CheckModels(MDL *models);
// The checks of one model; 1 when all passed.
int ACDC_CheckModel(const MDL *model);
// The clamp sums of models with [Add Submodel], per corner; returns 0.
int ACDC_CheckAddSubmodels(MDL *models, SUBMDL *submodels);

// Steps of the checks, usable on their own. Corners are the CRVOP_TYP,
// CRVOP_MIN and CRVOP_MAX selectors.

// A corner of a range with a fallback range: typ from the primary, else the
// fallback; min/max from the primary (its typ when the corner is "NA"), or
// from the fallback by the same rule when the primary lacks it.
int ACDC_GetCornerValue(const RNG *primary, const RNG *fallback, int corner, double *out);
// Where a load of resistance R to voltage V_L meets the curve (the
// intersection nearest the target among the segments, else the last
// segment's); 0 when it cannot be solved. current may be null.
int ACDC_IntersectLoadLine(const CRV *curve, double loadVoltage, double loadResistance,
                           int corner, double target, double *voltage, double *current);
int ACDC_CheckCombinedCurves(const MDL *model, int corner);
int ACDC_CheckWaveformEndpoints(const MDL *model, int corner, const WVFRM *waveform,
                                const CRV *pulldown, const CRV *pullup, int rising);
int ACDC_CheckVmeas(const MDL *model, int corner, const CRV *pulldown, const CRV *pullup);
void ACDC_CheckIsso(const MDL *model, int corner);
int ACDC_CheckClampCurrents(const MDL *model);
int ACDC_CheckOpenDrainCurrents(const MDL *model);
// 1 when any given value of any current column is not 0.
int ACDC_HasCurrent(const CRV *table);
// Severity 4 reports a reversal as a warning, 8 as a note.
void ACDC_CheckCurveMonotonic(const CRV *curve, const char *modelName, const char *caption,
                              int corner, int severity);

// What the [Add Submodel] check reads of a submodel (found by name through
// MDL_submodelOps): its Submodel_type code and its [GND Clamp] and
// [POWER Clamp] (null when absent). Empty until the submodel section is
// built: no entry then adds a clamp.
struct ACDC_OPS {
    void (*clamps)(const SUBMDL *submodel, int *submodelType, const CRV **gndClamp,
                   const CRV **powerClamp);
};
extern ACDC_OPS ACDC_ops;
