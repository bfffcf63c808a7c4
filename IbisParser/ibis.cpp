// Root records: a stack of the files under check and their section lists.
#define MSG_SRC MSGSRC_IBIS
#include "IbisParser/ibis.h"

#include "IbisParser/checkpass.h"
#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {

IBIS *s_top = nullptr;  // current root

template <typename T>
void AddTo(IBIS *root, IBIS_LIST list, T *IBIS::*field, T *record) {
    MSG_ASSERT(root != nullptr && record != nullptr);
    const IBIS_LIST_OPS &ops = IBIS_listOps[list];
    MSG_ASSERT(ops.setNext != nullptr && ops.freeList != nullptr);
    ops.setNext(record, root->*field);
    root->*field = record;
}

template <typename T>
int GetList(IBIS *root, T *IBIS::*field, T **out) {
    MSG_ASSERT(root != nullptr && out != nullptr);
    if (root->*field == nullptr)
        return 0;
    *out = root->*field;
    return 1;
}

void FreeList(IBIS_LIST list, void *head) {
    if (head == nullptr)
        return;
    MSG_ASSERT(IBIS_listOps[list].freeList != nullptr);
    IBIS_listOps[list].freeList(head);
}

}  // namespace

int IBIS_Create(void) {
    IBIS *root = nullptr;
    if (!CMN_Alloc(&root, sizeof(IBIS))) {
        MSG_Error(3900);
        return 0;
    }
    root->next = s_top;
    s_top = root;
    return 1;
}

int IBIS_GetCurrent(IBIS **out) {
    MSG_ASSERT(out != nullptr);
    if (s_top == nullptr)
        return 0;
    *out = s_top;
    return 1;
}

void IBIS_Destroy(IBIS *root) {
    MSG_ASSERT(root != nullptr);
    IBIS **link = &s_top;
    while (*link != nullptr && *link != root)
        link = &(*link)->next;
    MSG_ASSERT(*link == root);  // destroying a root twice is a caller's error
    *link = root->next;

    // Section state may point into this root's records: forget it first.
    CHECKPASS_ResetSections();

    FreeList(IBIS_LIST_HEADER, root->header);
    FreeList(IBIS_LIST_COMPONENT, root->components);
    FreeList(IBIS_LIST_MODEL, root->models);
    FreeList(IBIS_LIST_PKGMDL, root->packageModels);
    FreeList(IBIS_LIST_MSEL, root->modelSelectors);
    FreeList(IBIS_LIST_EBDMDL, root->ebdModels);
    FreeList(IBIS_LIST_SUBMDL, root->submodels);
    FreeList(IBIS_LIST_TESTDATA, root->testData);
    FreeList(IBIS_LIST_TESTLOAD, root->testLoads);
    FreeList(IBIS_LIST_EXTCKT, root->extCircuits);
    CMN_Free(root);
}

int IBIS_GetHeader(IBIS *root, HDR **out) { return GetList(root, &IBIS::header, out); }
int IBIS_GetComponents(IBIS *root, CMPNT **out) { return GetList(root, &IBIS::components, out); }
int IBIS_GetModels(IBIS *root, MDL **out) { return GetList(root, &IBIS::models, out); }
int IBIS_GetExternalCircuits(IBIS *root, EXTCKT **out) { return GetList(root, &IBIS::extCircuits, out); }
int IBIS_GetSubmodels(IBIS *root, SUBMDL **out) { return GetList(root, &IBIS::submodels, out); }
int IBIS_GetPackageModels(IBIS *root, PKGMDL **out) { return GetList(root, &IBIS::packageModels, out); }
int IBIS_GetEbdModels(IBIS *root, EBDMDL **out) { return GetList(root, &IBIS::ebdModels, out); }
int IBIS_GetModelSelectors(IBIS *root, MSEL **out) { return GetList(root, &IBIS::modelSelectors, out); }
int IBIS_GetTestData(IBIS *root, TESTDATA **out) { return GetList(root, &IBIS::testData, out); }
int IBIS_GetTestLoads(IBIS *root, TESTLOAD **out) { return GetList(root, &IBIS::testLoads, out); }

void IBIS_AddHeader(IBIS *root, HDR *r) { AddTo(root, IBIS_LIST_HEADER, &IBIS::header, r); }
void IBIS_AddComponent(IBIS *root, CMPNT *r) { AddTo(root, IBIS_LIST_COMPONENT, &IBIS::components, r); }
void IBIS_AddModel(IBIS *root, MDL *r) { AddTo(root, IBIS_LIST_MODEL, &IBIS::models, r); }
void IBIS_AddExternalCircuit(IBIS *root, EXTCKT *r) { AddTo(root, IBIS_LIST_EXTCKT, &IBIS::extCircuits, r); }
void IBIS_AddSubmodel(IBIS *root, SUBMDL *r) { AddTo(root, IBIS_LIST_SUBMDL, &IBIS::submodels, r); }
void IBIS_AddPackageModel(IBIS *root, PKGMDL *r) { AddTo(root, IBIS_LIST_PKGMDL, &IBIS::packageModels, r); }
void IBIS_AddEbdModel(IBIS *root, EBDMDL *r) { AddTo(root, IBIS_LIST_EBDMDL, &IBIS::ebdModels, r); }
void IBIS_AddModelSelector(IBIS *root, MSEL *r) { AddTo(root, IBIS_LIST_MSEL, &IBIS::modelSelectors, r); }
void IBIS_AddTestData(IBIS *root, TESTDATA *r) { AddTo(root, IBIS_LIST_TESTDATA, &IBIS::testData, r); }
void IBIS_AddTestLoad(IBIS *root, TESTLOAD *r) { AddTo(root, IBIS_LIST_TESTLOAD, &IBIS::testLoads, r); }

void IBIS_CheckFile(void) {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root))
        return;
    const IBIS_CHECKS &c = IBIS_checks;
    MDL *models = root->models;
    SUBMDL *submodels = root->submodels;

    if (models != nullptr) {
        if (c.rcvthCheckAll) c.rcvthCheckAll(models);
        if (c.acdcCheckModels) c.acdcCheckModels(models);
        if (c.chkCheckModels) c.chkCheckModels(models);
        if (c.drvshCheckAll) c.drvshCheckAll(models);
        if (c.algmodCheckModels) c.algmodCheckModels(models);
    }
    if (root->modelSelectors != nullptr && c.mselCheckAll)
        c.mselCheckAll(root->modelSelectors);
    if (root->components != nullptr) {
        if (c.chkCheckComponents) c.chkCheckComponents(root->components);
        if (c.cmpntCheckAll) c.cmpntCheckAll(root->components, root->extCircuits, models);
    } else {
        MSG_Error(3901);
    }
    if (root->packageModels != nullptr && c.pkgmdlCheckAll)
        c.pkgmdlCheckAll(root->packageModels);
    if (root->testData != nullptr && c.testdataCheckAll)
        c.testdataCheckAll(root->testData);
    if (root->testLoads != nullptr && c.testloadCheckAll)
        c.testloadCheckAll(root->testLoads);
    if (submodels != nullptr) {
        if (c.mdlCheckSubmodelsReferenced) c.mdlCheckSubmodelsReferenced(models, submodels);
        if (c.chkCheckSubmodels) c.chkCheckSubmodels(submodels);
        if (c.acdcCheckAddSubmodels) c.acdcCheckAddSubmodels(models, submodels);
    }
    if (c.mdlCheckAddSubmodelRefs)
        c.mdlCheckAddSubmodelRefs(models, submodels);
    if (models != nullptr && c.mdlWarnUnreferenced)
        c.mdlWarnUnreferenced(models);
}

void IBIS_CheckEbdFile(int nested) {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root))
        return;
    if (root->ebdModels != nullptr && IBIS_checks.ebdmdlCheckAll)
        IBIS_checks.ebdmdlCheckAll(root->ebdModels, nested);
}
