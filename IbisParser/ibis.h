// Root record of one file under check, kept on a stack, and the whole-file
// checks that run over its lists.
#pragma once

struct HDR;
struct CMPNT;
struct MDL;
struct EXTCKT;
struct SUBMDL;
struct PKGMDL;
struct EBDMDL;
struct MSEL;
struct TESTDATA;
struct TESTLOAD;

// Every list holds the newest record first.
struct IBIS {
    IBIS *next;  // root below this one on the stack
    HDR *header;
    CMPNT *components;
    MDL *models;
    EXTCKT *extCircuits;
    SUBMDL *submodels;
    PKGMDL *packageModels;
    EBDMDL *ebdModels;
    MSEL *modelSelectors;
    TESTDATA *testData;
    TESTLOAD *testLoads;
};

// The lists of a root, in the order IBIS_Destroy frees them.
enum IBIS_LIST {
    IBIS_LIST_HEADER,
    IBIS_LIST_COMPONENT,
    IBIS_LIST_MODEL,
    IBIS_LIST_PKGMDL,
    IBIS_LIST_MSEL,
    IBIS_LIST_EBDMDL,
    IBIS_LIST_SUBMDL,
    IBIS_LIST_TESTDATA,
    IBIS_LIST_TESTLOAD,
    IBIS_LIST_EXTCKT,
    IBIS_LIST_COUNT
};

// How the records of one list are linked and freed; each record type brings
// its own (the link field is not always the first one).
struct IBIS_LIST_OPS {
    void (*setNext)(void *record, void *next);
    void (*freeList)(void *head);
};
extern IBIS_LIST_OPS IBIS_listOps[IBIS_LIST_COUNT];

// The whole-file checks of the sections (filled in checkpass.cpp), called by
// IBIS_CheckFile and IBIS_CheckEbdFile in their fixed order.
struct IBIS_CHECKS {
    void (*rcvthCheckAll)(MDL *models);
    void (*acdcCheckModels)(MDL *models);
    void (*chkCheckModels)(MDL *models);
    void (*drvshCheckAll)(MDL *models);
    void (*algmodCheckModels)(MDL *models);
    void (*mselCheckAll)(MSEL *selectors);
    void (*chkCheckComponents)(CMPNT *components);
    void (*cmpntCheckAll)(CMPNT *components, EXTCKT *extCircuits, MDL *models);
    void (*pkgmdlCheckAll)(PKGMDL *packageModels);
    void (*testdataCheckAll)(TESTDATA *testData);
    void (*testloadCheckAll)(TESTLOAD *testLoads);
    void (*mdlCheckSubmodelsReferenced)(MDL *models, SUBMDL *submodels);
    void (*chkCheckSubmodels)(SUBMDL *submodels);
    void (*acdcCheckAddSubmodels)(MDL *models, SUBMDL *submodels);
    void (*mdlCheckAddSubmodelRefs)(MDL *models, SUBMDL *submodels);
    void (*mdlWarnUnreferenced)(MDL *models);
    void (*ebdmdlCheckAll)(EBDMDL *boards, int nested);
    void (*algmodCheckAmiFile)(void);  // kind 4, from CHECKPASS_RunChecks
};
extern IBIS_CHECKS IBIS_checks;

int IBIS_Create(void);
int IBIS_GetCurrent(IBIS **out);
void IBIS_Destroy(IBIS *root);

int IBIS_GetHeader(IBIS *root, HDR **out);
int IBIS_GetComponents(IBIS *root, CMPNT **out);
int IBIS_GetModels(IBIS *root, MDL **out);
int IBIS_GetExternalCircuits(IBIS *root, EXTCKT **out);
int IBIS_GetSubmodels(IBIS *root, SUBMDL **out);
int IBIS_GetPackageModels(IBIS *root, PKGMDL **out);
int IBIS_GetEbdModels(IBIS *root, EBDMDL **out);
int IBIS_GetModelSelectors(IBIS *root, MSEL **out);
int IBIS_GetTestData(IBIS *root, TESTDATA **out);
int IBIS_GetTestLoads(IBIS *root, TESTLOAD **out);

void IBIS_AddHeader(IBIS *root, HDR *record);
void IBIS_AddComponent(IBIS *root, CMPNT *record);
void IBIS_AddModel(IBIS *root, MDL *record);
void IBIS_AddExternalCircuit(IBIS *root, EXTCKT *record);
void IBIS_AddSubmodel(IBIS *root, SUBMDL *record);
void IBIS_AddPackageModel(IBIS *root, PKGMDL *record);
void IBIS_AddEbdModel(IBIS *root, EBDMDL *record);
void IBIS_AddModelSelector(IBIS *root, MSEL *record);
void IBIS_AddTestData(IBIS *root, TESTDATA *record);
void IBIS_AddTestLoad(IBIS *root, TESTLOAD *record);

void IBIS_CheckFile(void);
void IBIS_CheckEbdFile(int nested);
