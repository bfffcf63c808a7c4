// The check pass and the plug board of the checker: the tables of section
// handlers, list operations and whole-file checks that the reader and the
// sections call through. Every slot is filled here. Only tests blank one, to
// run a section without its neighbours; its caller then skips that step
// (the check is not run, the keyword's lines are not read, no record is
// made).
#include "IbisParser/checkpass.h"

#include <cstdint>

#include "IbisParser/acdc.h"
#include "IbisParser/algmod.h"
#include "IbisParser/chk.h"
#include "IbisParser/circuit.h"
#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/cmpntemi.h"
#include "IbisParser/crv.h"
#include "IbisParser/difpin.h"
#include "IbisParser/drvsh.h"
#include "IbisParser/ebdmdl.h"
#include "IbisParser/hdr.h"
#include "IbisParser/ibis.h"
#include "IbisParser/mdl.h"
#include "IbisParser/mdlemi.h"
#include "IbisParser/msel.h"
#include "IbisParser/msg.h"
#include "IbisParser/mspec.h"
#include "IbisParser/node.h"
#include "IbisParser/parse.h"
#include "IbisParser/pinmpg.h"
#include "IbisParser/pkgmdl.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rcvth.h"
#include "IbisParser/sinfo.h"
#include "IbisParser/smos.h"
#include "IbisParser/spinmpg.h"
#include "IbisParser/sswch.h"
#include "IbisParser/stringlist.h"
#include "IbisParser/submdl.h"
#include "IbisParser/testdata.h"
#include "IbisParser/testload.h"
#include "IbisParser/wvfrm.h"

namespace {

void HdrSetNext(void *record, void *next) {
    HDR_SetNext(static_cast<HDR *>(record), static_cast<HDR *>(next));
}
void HdrFree(void *head) { HDR_Free(static_cast<HDR *>(head)); }
void MdlSetNext(void *record, void *next) {
    MDL_SetNext(static_cast<MDL *>(record), static_cast<MDL *>(next));
}
void MdlFree(void *head) { MDL_FreeList(static_cast<MDL *>(head)); }
void PkgmdlSetNext(void *record, void *next) {
    PKGMDL_SetNext(static_cast<PKGMDL *>(record), static_cast<PKGMDL *>(next));
}
void PkgmdlFree(void *head) { PKGMDL_Free(static_cast<PKGMDL *>(head)); }
void SubmdlSetNext(void *record, void *next) {
    SUBMDL_SetNext(static_cast<SUBMDL *>(record), static_cast<SUBMDL *>(next));
}
void SubmdlFree(void *head) { SUBMDL_FreeList(static_cast<SUBMDL *>(head)); }
void TestdataSetNext(void *record, void *next) {
    TESTDATA_SetNext(static_cast<TESTDATA *>(record), static_cast<TESTDATA *>(next));
}
void TestdataFree(void *head) { TESTDATA_Free(static_cast<TESTDATA *>(head)); }
void TestloadSetNext(void *record, void *next) {
    TESTLOAD_SetNext(static_cast<TESTLOAD *>(record), static_cast<TESTLOAD *>(next));
}
void TestloadFree(void *head) { TESTLOAD_Free(static_cast<TESTLOAD *>(head)); }
void MselSetNext(void *record, void *next) {
    MSEL_SetNext(static_cast<MSEL *>(record), static_cast<MSEL *>(next));
}
void MselFree(void *head) { MSEL_Free(static_cast<MSEL *>(head)); }
void MselEndKeyword(IBIS_KEYWORD) { MSEL_EndKeyword(); }
SUBMDL *SubmdlNext(SUBMDL *submodel) { return submodel->next; }
const char *SubmdlName(const SUBMDL *submodel) { return submodel->name; }
void SubmdlClamps(const SUBMDL *submodel, int *submodelType, const CRV **gndClamp,
                  const CRV **powerClamp) {
    *submodelType = submodel->Submodel_type;
    *gndClamp = submodel->gndClamp;
    *powerClamp = submodel->powerClamp;
}
void ExtcktSetNext(void *record, void *next) {
    MDL_SetExternalCircuitNext(static_cast<EXTCKT *>(record), static_cast<EXTCKT *>(next));
}
void ExtcktFree(void *head) { MDL_FreeExternalCircuits(static_cast<EXTCKT *>(head)); }

void EbdmdlSetNext(void *record, void *next) {
    EBDMDL_SetNext(static_cast<EBDMDL *>(record), static_cast<EBDMDL *>(next));
}
void EbdmdlFree(void *head) { EBDMDL_Free(static_cast<EBDMDL *>(head)); }

void CmpntSetNext(void *record, void *next) {
    CMPNT_SetNext(static_cast<CMPNT *>(record), static_cast<CMPNT *>(next));
}
void CmpntFree(void *head) { CMPNT_Free(static_cast<CMPNT *>(head)); }

// The component's tables: a row read under the table's header and appended
// to its list, the end check of the list, and its release.
template <typename Row, Row *CMPNT::*list, int CMPNT::*columns,
          int (*parse)(const char *, int, Row **), void (*append)(Row **, Row *)>
int AddRow(CMPNT *c, const char *text) {
    Row *row = nullptr;
    if (!parse(text, c->*columns, &row))
        return 0;
    append(&(c->*list), row);
    return 1;
}

void PinmpgCheck(CMPNT *c, const PIN_MODELS *) {
    PINMPG_CheckAll(c->pin_mappings, c->pins, c->name);
}
void PinmpgFree(CMPNT *c) { PINMPG_Free(c->pin_mappings); }

void DifpinCheck(CMPNT *c, const PIN_MODELS *) { DIFPIN_CheckAll(c->diff_pins, c->pins, c->name); }
void DifpinFree(CMPNT *c) { DIFPIN_Free(c->diff_pins); }

int SswchAddRow(CMPNT *c, const char *text) { return SSWCH_AddLine(&c->series_switch_groups, text); }
void SswchCheck(CMPNT *c, const PIN_MODELS *) {
    SSWCH_CheckAll(c->series_switch_groups, c->series_pin_mappings, c->name);
}
void SswchFree(CMPNT *c) { SSWCH_Free(c->series_switch_groups); }

void SpinmpgCheck(CMPNT *c, const PIN_MODELS *models) {
    SPINMPG_CheckAll(c->series_pin_mappings, c->pins, c->name, c->series_switch_groups, models);
}
void SpinmpgFree(CMPNT *c) { SPINMPG_Free(c->series_pin_mappings); }

void AcdcCheckModels(MDL *models) { ACDC_CheckModels(models); }
void ChkCheckModels(MDL *models) { CHK_CheckModels(models); }
void ChkCheckComponents(CMPNT *components) { CHK_CheckComponents(components); }
void ChkCheckSubmodels(SUBMDL *submodels) { CHK_CheckSubmodels(submodels); }
void AcdcCheckAddSubmodels(MDL *models, SUBMDL *submodels) {
    ACDC_CheckAddSubmodels(models, submodels);
}

}  // namespace

PARSE_HANDLERS PARSE_sections[SECTION_COUNT] = {
    /* SECTION_HEADER   */ {HDR_Init, HDR_ParseLine, HDR_EndKeyword, HDR_Reset},
    /* SECTION_COMPONENT*/ {CMPNT_Init, CMPNT_ParseLine, CMPNT_EndKeyword, CMPNT_Reset},
    /* SECTION_EXTCKT   */ {MDL_InitExternalCircuit, MDL_ParseExternalCircuitLine, nullptr,
                            MDL_ResetExternalCircuit},
    /* SECTION_MODEL    */ {MDL_Init, MDL_ParseLine, MDL_EndKeyword, MDL_Reset},
    /* SECTION_PKGMDL   */ {PKGMDL_Init, PKGMDL_ParseLine, PKGMDL_EndKeyword, PKGMDL_Reset},
    /* SECTION_EBDMDL   */ {EBDMDL_Init, EBDMDL_ParseLine, EBDMDL_EndKeyword, EBDMDL_Reset},
    /* SECTION_MSEL     */ {MSEL_Init, MSEL_ParseLine, MselEndKeyword, MSEL_Reset},
    /* SECTION_SUBMDL   */ {SUBMDL_Init, SUBMDL_ParseLine, SUBMDL_EndKeyword, SUBMDL_Reset},
    /* SECTION_TESTDATA */ {TESTDATA_Init, TESTDATA_ParseLine, TESTDATA_EndKeyword, TESTDATA_Reset},
    /* SECTION_TESTLOAD */ {TESTLOAD_Init, TESTLOAD_ParseLine, TESTLOAD_EndKeyword, TESTLOAD_Reset},
};

IBIS_LIST_OPS IBIS_listOps[IBIS_LIST_COUNT] = {
    /* IBIS_LIST_HEADER */ {HdrSetNext, HdrFree},
    /* IBIS_LIST_COMPONENT */ {CmpntSetNext, CmpntFree},
    /* IBIS_LIST_MODEL */ {MdlSetNext, MdlFree},
    /* IBIS_LIST_PKGMDL */ {PkgmdlSetNext, PkgmdlFree},
    /* IBIS_LIST_MSEL */ {MselSetNext, MselFree},
    /* IBIS_LIST_EBDMDL */ {EbdmdlSetNext, EbdmdlFree},
    /* IBIS_LIST_SUBMDL */ {SubmdlSetNext, SubmdlFree},
    /* IBIS_LIST_TESTDATA */ {TestdataSetNext, TestdataFree},
    /* IBIS_LIST_TESTLOAD */ {TestloadSetNext, TestloadFree},
    /* IBIS_LIST_EXTCKT */ {ExtcktSetNext, ExtcktFree},
};

// One line per check, in the order of the record.
IBIS_CHECKS IBIS_checks = {
    /* rcvthCheckAll */ RCVTH_CheckAll,
    /* acdcCheckModels */ AcdcCheckModels,
    /* chkCheckModels */ ChkCheckModels,
    /* drvshCheckAll */ DRVSH_CheckAll,
    /* algmodCheckModels */ ALGMOD_CheckModels,
    /* mselCheckAll */ MSEL_CheckAll,
    /* chkCheckComponents */ ChkCheckComponents,
    /* cmpntCheckAll */ CMPNT_CheckAll,
    /* pkgmdlCheckAll */ PKGMDL_CheckAll,
    /* testdataCheckAll */ TESTDATA_CheckAll,
    /* testloadCheckAll */ TESTLOAD_CheckAll,
    /* mdlCheckSubmodelsReferenced */ MDL_CheckSubmodelsReferenced,
    /* chkCheckSubmodels */ ChkCheckSubmodels,
    /* acdcCheckAddSubmodels */ AcdcCheckAddSubmodels,
    /* mdlCheckAddSubmodelRefs */ MDL_CheckAddSubmodelRefs,
    /* mdlWarnUnreferenced */ MDL_WarnUnreferenced,
    /* ebdmdlCheckAll */ EBDMDL_CheckAll,
    /* algmodCheckAmiFile */ ALGMOD_CheckAmiFile,
};

SINFO_OPS SINFO_ops = {CRV_Free, SMOS_Free, SMOS_CheckDuplicateVds};

MDL_SUBSECTION_OPS MDL_subsections = {
    MSPEC_Init,  MSPEC_ParseLine,  MSPEC_EndKeyword,  MSPEC_Free,
    RCVTH_Init,  RCVTH_ParseLine,  RCVTH_EndKeyword,  RCVTH_Free,
    DRVSH_Init,  DRVSH_ParseLine,  DRVSH_EndKeyword,  DRVSH_Free,
    MDLEMI_Init, MDLEMI_ParseLine, MDLEMI_EndKeyword, MDLEMI_Free,
};

MDL_EXTERNAL_OPS MDL_externalOps = {MDL_CreateExternalModel, MDL_ParseExternalModelSubparam,
                                     MDL_EndExternalModel, MDL_FreeExternalModel};

MDL_SUBMODEL_OPS MDL_submodelOps = {SUBMDL_FindByName, SubmdlNext, SubmdlName};

RCVTH_OPS RCVTH_ops = {
    /* isModelOnDiffPin */ CMPNT_IsModelOnDiffPin,
};

// The component's other tables, blocks and package-model lookups.
CMPNT_TABLES CMPNT_tables = {
    /* pinMapping */
    {CMPNT_ParsePinMappingHeader,
     AddRow<PINMPG, &CMPNT::pin_mappings, &CMPNT::pin_mapping_columns, PINMPG_ParseRow,
            PINMPG_Append>,
     PinmpgCheck, PinmpgFree, nullptr},
    /* diffPin */
    {CMPNT_ParseDiffPinHeader,
     AddRow<DIFPIN, &CMPNT::diff_pins, &CMPNT::diff_pin_columns, DIFPIN_ParseRow, DIFPIN_Append>,
     DifpinCheck, DifpinFree, nullptr},
    /* seriesSwitchGroups */
    {CMPNT_BeginSeriesSwitchGroups, SswchAddRow, SswchCheck, SswchFree, SSWCH_Reset},
    /* seriesPinMapping */
    {CMPNT_ParseSeriesPinMappingHeader,
     AddRow<Series_Pin_Mapping, &CMPNT::series_pin_mappings, &CMPNT::series_pin_mapping_columns,
            SPINMPG_ParseRow, SPINMPG_Append>,
     SpinmpgCheck, SpinmpgFree, nullptr},
};
CMPNT_EMI_OPS CMPNT_emiOps = {CMPNTEMI_ParseLine, CMPNTEMI_IsOpen, CMPNTEMI_EndKeyword,
                              CMPNTEMI_CheckAll,  CMPNTEMI_Free,   CMPNTEMI_Reset};
CMPNT_CIRCUIT_OPS CMPNT_circuitOps = {NODE_ParseList, NODE_EndDeclarations, CIRCUIT_ParseCallLine,
                                      CIRCUIT_ResolveCalls};
CMPNT_PKGMDL_OPS CMPNT_pkgmdlOps = {PKGMDL_FindByName, PKGMDL_FindInPkgFiles,
                                    PKGMDL_NextPinNumber};

ACDC_OPS ACDC_ops = {SubmdlClamps};

namespace {

// Counts of the passes below the current one, so that every summary shows
// the messages of its own pass and of the passes nested inside it.
struct Counts {
    int32_t bugs, errors, warnings, cautions;
    int memoryFailed;
};
// [d]: the counts as they stood when the pass of depth d (0 outermost) began.
Counts s_saved[CHECKPASS_MAX_DEPTH];
int s_depth = 0;  // passes begun and not yet ended
IBIS *s_roots[CHECKPASS_MAX_DEPTH];  // the root each open pass created, or null
uint64_t s_serials[CHECKPASS_MAX_DEPTH];  // of each open pass
uint64_t s_lastSerial = 0;
PKGMDL_SCAN *s_scans = nullptr;  // the package files the run has scanned

Counts Current() {
    Counts c{};
    MSG_GetCounts(&c.bugs, &c.errors, &c.warnings);
    c.cautions = MSG_GetCautionCount();
    c.memoryFailed = MSG_GetMemoryFailed();
    return c;
}

}  // namespace

void CHECKPASS_ResetSections(void) {
    for (const PARSE_HANDLERS &h : PARSE_sections)
        if (h.reset)
            h.reset();
    STRING_ResetCounts();  // the counted names are borrowed from records
    // The table readers serve several sections (model, submodel, test data);
    // whichever of those is built, no table of an earlier pass stays selected.
    CRV_Reset();
    RAMP_Reset();
    WVFRM_Reset();
    SMOS_Reset();
}

int CHECKPASS_BeginFile(void) {
    if (s_depth < CHECKPASS_MAX_DEPTH)
        s_saved[s_depth] = Current();
    ++s_depth;
    MSG_ResetCounts();
    // No record of an earlier file may be reached from this one.
    CHECKPASS_ResetSections();
    // Passes nest one level in practice; deeper than the bookkeeping holds,
    // a pass gets no root and so reads nothing.
    if (s_depth > CHECKPASS_MAX_DEPTH)
        return 0;
    s_serials[s_depth - 1] = ++s_lastSerial;
    const int created = IBIS_Create();
    // Only the root this pass made is the one its end destroys: without one,
    // the end must not take the enclosing pass's root.
    IBIS *root = nullptr;
    s_roots[s_depth - 1] = created && IBIS_GetCurrent(&root) ? root : nullptr;
    return created;
}

void CHECKPASS_RunChecks(int kind, int nested) {
    if (kind == FILE_IBS)
        IBIS_CheckFile();
    else if (kind == FILE_AMI) {
        if (IBIS_checks.algmodCheckAmiFile)
            IBIS_checks.algmodCheckAmiFile();
    } else {
        // A .pkg file too: its models were checked as they closed, and it has no [Component] to miss.
        IBIS_CheckEbdFile(nested);
    }
}

int CHECKPASS_EndFile(void) {
    IBIS *root = nullptr;
    IBIS *mine_root =
        s_depth > 0 && s_depth <= CHECKPASS_MAX_DEPTH ? s_roots[s_depth - 1] : nullptr;
    if (mine_root && IBIS_GetCurrent(&root) && root == mine_root)
        IBIS_Destroy(root);
    PARSE_FreeAmiText();
    MSG_PrintSummary();
    Counts mine = Current();
    int passed = mine.bugs == 0 && mine.errors == 0;
    if (s_depth > 0) {
        --s_depth;
        if (s_depth < CHECKPASS_MAX_DEPTH) {
            Counts saved = s_saved[s_depth];
            if (s_depth > 0) {
                // Back in the enclosing pass: its counts with this pass's added.
                MSG_SetCounts(saved.bugs + mine.bugs, saved.errors + mine.errors,
                              saved.warnings + mine.warnings, saved.cautions + mine.cautions);
                // What the enclosing pass goes on to check may lean on what
                // this one could not read.
                MSG_SetMemoryFailed(saved.memoryFailed || mine.memoryFailed);
            }
        }
    }
    if (s_depth == 0) {  // the run ends
        PKGMDL_FreeScan(s_scans);
        s_scans = nullptr;
    }
    return passed;
}

int CHECKPASS_CheckFile(const char *path, int kind, int nested) {
    if (CHECKPASS_BeginFile() && PARSE_ParseFile(path, kind))
        CHECKPASS_RunChecks(kind, nested);
    return CHECKPASS_EndFile();
}

PKGMDL_SCAN **CHECKPASS_GetPackageScans(uint32_t *depth, uint64_t *serial) {
    if (s_depth <= 0 || s_depth > CHECKPASS_MAX_DEPTH)
        return nullptr;
    *depth = static_cast<uint32_t>(s_depth - 1);
    *serial = s_serials[s_depth - 1];
    return &s_scans;
}
