// Sanity checks: electrical values the format allows but that are unusual
// (package and pin parasitics, component capacitances, ramp times), models
// that lack a drive table their type needs, node names that repeat or clash
// with pins, and composite currents sampled at other times than their
// waveform. They warn, except the node-name errors, and return counts.
#pragma once

struct CMPNT;
struct DVDT;
struct MDL;
struct PIN;
struct PKG;
struct RNG;
struct STRING_LIST;
struct SUBMDL;

// The switch of these checks, on at load: 1 for any non-zero flag, else 0.
void CHK_SetEnabled(int flag);

// Each walks its list in list order and returns how many records drew a
// message.
int CHK_CheckComponents(CMPNT *components);
int CHK_CheckModels(MDL *models);
int CHK_CheckSubmodels(SUBMDL *submodels);

// One record each; 1 when it drew no message.
int CHK_CheckComponent(const CMPNT *component);
int CHK_CheckModel(const MDL *model);
int CHK_CheckSubmodel(const SUBMDL *submodel);

// Warning `code` for each given corner (typ, min, max) below low or above
// high, with the value and the bounds multiplied by scale. 1 when none was
// out; a null range passes.
int CHK_CheckRange(const RNG *range, double low, double high, int code, const char *name,
                   double scale);
// Warning `code` when min and max are both given and min exceeds max.
int CHK_CheckMaxNotBelowMin(const RNG *range, int code, const char *name);

// The [Package] of a component: R_pkg, L_pkg and C_pkg in their ranges.
int CHK_CheckPackage(const PKG *package, const char *component);
// Every [Pin] row's own R_pin, L_pin and C_pin against their ceilings.
int CHK_CheckPinParasitics(const PIN *pins, const char *component);
// Duplicate node names (1708) and node names equal to pin names (1709).
int CHK_CheckNodeNames(const CMPNT *component);
// Error 1708 for every node of the list whose name equals name; returns how
// many there were.
int CHK_CheckNodeName(const STRING_LIST *nodes, const char *name, const char *component);

// Each given dt of the dV/dt corners above limit seconds (warning 1703);
// edge is "Rising" or "Falling", owner "Model" or "Sub Model". A null record
// passes.
int CHK_CheckRampTime(const DVDT *ramp, double limit, const char *edge, const char *name,
                      const char *owner);
// The [Pullup] or [Pulldown] that the Model_type needs; skipped for a model
// with an [External Model].
int CHK_CheckDriveTables(const MDL *model);
// The five C_comp values, then the ramp times of the model's [Ramp].
int CHK_CheckModelCaps(const MDL *model);
int CHK_CheckSubmodelRamp(const SUBMDL *submodel);
// Each waveform's [Composite Current] against the waveform's time points.
int CHK_CheckCompositeCurrent(const MDL *model);
