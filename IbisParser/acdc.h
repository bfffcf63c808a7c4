// AC/DC consistency of the models of a file: the DC I-V tables of each model
// combined per corner and held against its waveforms, its timing test load,
// its ISSO tables and its clamp currents; and the clamp sums of models that
// add submodels.
#pragma once

struct CRV;
struct CRV_TRACKER;
struct MDL;
struct RNG;
struct RNGP;
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
// The same for many loads on one column of a curve: a search tree over its
// segments answers each load as the walk above does, to the last bit, in
// time logarithmic in the segments where the current rises with the voltage.
struct ACDC_LOADLINE;
// The tree of one column of a curve; null when the curve's values are too
// large to bound the rounding of the search, or when memory runs out: the
// walk answers then.
ACDC_LOADLINE *ACDC_BuildLoadLineTree(const CRV *curve, int column);
// The walk's answer: 1 and *voltage, or 0 when the load is not solved; -1 for
// a load voltage or target too large to search for (the walk answers it).
int ACDC_SolveLoadLine(const ACDC_LOADLINE *tree, double loadVoltage, double loadResistance,
                       double target, double *voltage);
void ACDC_FreeLoadLineTree(ACDC_LOADLINE *tree);
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
// [POWER Clamp] (null when absent); filled in checkpass.cpp.
struct ACDC_OPS {
    void (*clamps)(const SUBMDL *submodel, int *submodelType, const CRV **gndClamp,
                   const CRV **powerClamp);
};
extern ACDC_OPS ACDC_ops;

// Forms for callers of the library; the file checks above do not use them.

// The checks of one submodel that need no model around it: the currents of
// its [GND Clamp] and [POWER Clamp] at -1.5 V (1506). 1 when all passed.
int ACDC_CheckSubmodel(const SUBMDL *submodel);
// Each of [POWER Clamp], [GND Clamp], [Pulldown] and [Pullup] row by row,
// every column at once (ACDC_CheckRowMonotonic), reversals as notes 1509
// captioned "Pulldown for Model:" or "Pulldown for SubModel:" and so on.
// 1 when no table turns back.
int ACDC_CheckModelTables(const MDL *model);
int ACDC_CheckSubmodelTables(const SUBMDL *submodel);
// Feeds the given values of one row to four trackers, for the Voltage,
// Typical, Minimum and Maximum columns (zeroed to start a table); the first
// reversal of a column is 1509 (caption, name, column word) with severity
// 4 (warning) or 8 (note). 1 when the row reversed no column.
int ACDC_CheckRowMonotonic(CRV_TRACKER *trackers, const RNGP *row, const char *caption,
                           const char *name, int severity);
// A corner of one range: its value, or its typ when the corner is "NA".
int ACDC_GetRngValue(const RNG *range, int corner, double *out);
// Slope and intercept of the line through two points; 0 when the x differ by
// less than 1e-32.
int ACDC_LineThroughPoints(double x1, double y1, double x2, double y2, double *slope,
                           double *intercept);
// Writes one corner of a curve to the file named first + second + "_typ.csv"
// ("_min.csv", "_max.csv"): the line "Voltage,Typical" (Minimum, Maximum),
// then "x,value" for each row that gives x and the corner, in list order, in
// digits that read back to the same doubles. A null curve writes the first
// line alone. 0 when the corner is not one of the three or the file cannot
// be opened or written.
int ACDC_WriteCurveCsv(const CRV *curve, const char *first, const char *second, int corner);
