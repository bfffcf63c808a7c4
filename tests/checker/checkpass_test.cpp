// The check pass: root records, section state cleared between files, the
// whole-file checks in order, and counts that belong to their own pass.
#include <cstdlib>
#include <vector>

#include "CheckerTest.h"
#include "IbisParser/stringlist.h"

namespace {

// A stand-in model section that keeps a pointer to its current record, as
// the real sections do.
struct FakeModel {
    int lines;
    FakeModel *next;  // link field deliberately not first
};
FakeModel *g_current = nullptr;
std::vector<std::string> g_seen;

void FakeSetNext(void *r, void *n) { static_cast<FakeModel *>(r)->next = static_cast<FakeModel *>(n); }
void FakeFree(void *head) {
    for (FakeModel *m = static_cast<FakeModel *>(head); m != nullptr;) {
        FakeModel *next = m->next;
        free(m);
        m = next;
    }
}
void FakeInit() {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root))
        return;
    FakeModel *m = static_cast<FakeModel *>(calloc(1, sizeof(FakeModel)));
    IBIS_AddModel(root, reinterpret_cast<MDL *>(m));
    g_current = m;
}
void FakeLine(int, IBIS_KEYWORD, char *) {
    if (g_current == nullptr)
        g_seen.push_back("orphan");
    else
        ++g_current->lines;  // a stale pointer here is a use after free
}
void FakeEnd(IBIS_KEYWORD) {}  // keeps its record current, like a section left open
void FakeReset() { g_current = nullptr; }

class CheckPassTest : public CheckerTest {
protected:
    void SetUp() override {
        CheckerTest::SetUp();
        g_current = nullptr;
        g_seen.clear();
        PARSE_sections[SECTION_MODEL] = {FakeInit, FakeLine, FakeEnd, FakeReset};
        IBIS_listOps[IBIS_LIST_MODEL] = {FakeSetNext, FakeFree};
        IBIS_checks = IBIS_CHECKS{};  // the stand-in records are no models to check
    }
};

TEST_F(CheckPassTest, SectionStateDoesNotReachTheNextFile) {
    // The unknown keyword leaves the model open when the file ends.
    Check("a.ibs", Header("5.0", "a.ibs") + "[Model] m\n[Bogus]\n[End]\n", FILE_IBS);
    EXPECT_EQ(g_current, nullptr);
    Check("b.ibs", Header("5.0", "b.ibs") + "[Ramp]\ndV/dt_r 1/2\n[End]\n", FILE_IBS);
    EXPECT_EQ(g_seen, (std::vector<std::string>{"orphan", "orphan"}));
}

TEST_F(CheckPassTest, NameCountersStartEmptyInEachPass) {
    static const char name[] = "port";
    STRING_CountName(name);
    EXPECT_EQ(STRING_GetCount(name), 1);
    CHECKPASS_BeginFile();
    EXPECT_EQ(STRING_GetCount(name), 0);
    CHECKPASS_EndFile();
    EXPECT_NE(Output().find("PROGRAM BUG - Should not be here"), std::string::npos);
}

TEST_F(CheckPassTest, ListsAreNewestFirst) {
    CHECKPASS_BeginFile();
    std::string path = Write("a.ibs", Header("5.0", "a.ibs") + "[Model] one\nx\n[Model] two\nx\ny\n[End]\n");
    ASSERT_EQ(PARSE_ParseFile(path.c_str(), FILE_IBS), 1);
    IBIS *root = nullptr;
    MDL *models = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    ASSERT_TRUE(IBIS_GetModels(root, &models));
    FakeModel *m = reinterpret_cast<FakeModel *>(models);
    EXPECT_EQ(m->lines, 3);  // the second [Model]: keyword line and two data lines
    ASSERT_NE(m->next, nullptr);
    EXPECT_EQ(m->next->lines, 2);
    CMPNT *components = nullptr;
    EXPECT_EQ(IBIS_GetComponents(root, &components), 0);
    CHECKPASS_EndFile();
}

TEST_F(CheckPassTest, RootsFormAStack) {
    ASSERT_EQ(IBIS_Create(), 1);
    IBIS *bottom = nullptr, *middle = nullptr, *top = nullptr, *cur = nullptr;
    IBIS_GetCurrent(&bottom);
    IBIS_Create();
    IBIS_GetCurrent(&middle);
    IBIS_Create();
    IBIS_GetCurrent(&top);
    EXPECT_EQ(top->next, middle);
    IBIS_Destroy(middle);
    EXPECT_EQ(top->next, bottom);
    IBIS_Destroy(top);
    ASSERT_TRUE(IBIS_GetCurrent(&cur));
    EXPECT_EQ(cur, bottom);
    IBIS_Destroy(bottom);
    EXPECT_EQ(IBIS_GetCurrent(&cur), 0);
}

std::vector<std::string> g_calls;
void RecordModels(const char *n) { g_calls.push_back(n); }

TEST_F(CheckPassTest, WholeFileChecksRunInOrder) {
    IBIS_checks.rcvthCheckAll = [](MDL *) { RecordModels("rcvth"); };
    IBIS_checks.acdcCheckModels = [](MDL *) { RecordModels("acdc"); };
    IBIS_checks.chkCheckModels = [](MDL *) { RecordModels("chk"); };
    IBIS_checks.drvshCheckAll = [](MDL *) { RecordModels("drvsh"); };
    IBIS_checks.algmodCheckModels = [](MDL *) { RecordModels("algmod"); };
    IBIS_checks.mselCheckAll = [](MSEL *) { RecordModels("msel"); };
    IBIS_checks.chkCheckComponents = [](CMPNT *) { RecordModels("chkcmp"); };
    IBIS_checks.cmpntCheckAll = [](CMPNT *, EXTCKT *, MDL *) { RecordModels("cmpnt"); };
    IBIS_checks.mdlCheckSubmodelsReferenced = [](MDL *, SUBMDL *) { RecordModels("subref"); };
    IBIS_checks.mdlCheckAddSubmodelRefs = [](MDL *m, SUBMDL *s) {
        RecordModels(m != nullptr && s == nullptr ? "addsub(m,0)" : "addsub");
    };
    IBIS_checks.mdlWarnUnreferenced = [](MDL *) { RecordModels("unref"); };
    IBIS_checks.ebdmdlCheckAll = [](EBDMDL *, int) { RecordModels("ebd"); };
    g_calls.clear();
    std::string out = Check("a.ibs", Header("5.0", "a.ibs") + "[Model] m\n[End]\n", FILE_IBS);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"rcvth", "acdc", "chk", "drvsh", "algmod",
                                                 "addsub(m,0)", "unref"}));
    EXPECT_NE(out.find("ERROR - Required keyword 'Component' not found.\n"), std::string::npos);

    g_calls.clear();
    Check("b.ibs", Header("5.0", "b.ibs") + "[End]\n", FILE_IBS);  // nothing but the always-check
    EXPECT_EQ(g_calls, (std::vector<std::string>{"addsub"}));
}

// Records of any list: the link is the first field.
void LinkFirst(void *r, void *n) { *static_cast<void **>(r) = n; }
void FreeLinked(void *h) {
    while (h != nullptr) {
        void *n = *static_cast<void **>(h);
        free(h);
        h = n;
    }
}
template <typename T> T *NewRecord() { return static_cast<T *>(calloc(1, sizeof(void *))); }

TEST_F(CheckPassTest, EveryListFilledRunsEveryCheckInOrderWithItsLists) {
    for (int l = 0; l < IBIS_LIST_COUNT; ++l)
        if (l != IBIS_LIST_HEADER)
            IBIS_listOps[l] = {LinkFirst, FreeLinked};
    static MDL *s_models;
    static SUBMDL *s_subs;
    static CMPNT *s_cmps;
    static EXTCKT *s_ext;
    IBIS_checks.rcvthCheckAll = [](MDL *m) { RecordModels(m == s_models ? "rcvth" : "rcvth?"); };
    IBIS_checks.acdcCheckModels = [](MDL *) { RecordModels("acdc"); };
    IBIS_checks.chkCheckModels = [](MDL *) { RecordModels("chk"); };
    IBIS_checks.drvshCheckAll = [](MDL *) { RecordModels("drvsh"); };
    IBIS_checks.algmodCheckModels = [](MDL *) { RecordModels("algmod"); };
    IBIS_checks.mselCheckAll = [](MSEL *) { RecordModels("msel"); };
    IBIS_checks.chkCheckComponents = [](CMPNT *c) { RecordModels(c == s_cmps ? "chkcmp" : "chkcmp?"); };
    IBIS_checks.cmpntCheckAll = [](CMPNT *c, EXTCKT *e, MDL *m) {
        RecordModels(c == s_cmps && e == s_ext && m == s_models ? "cmpnt" : "cmpnt?");
    };
    IBIS_checks.pkgmdlCheckAll = [](PKGMDL *) { RecordModels("pkgmdl"); };
    IBIS_checks.testdataCheckAll = [](TESTDATA *) { RecordModels("testdata"); };
    IBIS_checks.testloadCheckAll = [](TESTLOAD *) { RecordModels("testload"); };
    IBIS_checks.mdlCheckSubmodelsReferenced = [](MDL *m, SUBMDL *s) {
        RecordModels(m == s_models && s == s_subs ? "subref" : "subref?");
    };
    IBIS_checks.chkCheckSubmodels = [](SUBMDL *) { RecordModels("chksub"); };
    IBIS_checks.acdcCheckAddSubmodels = [](MDL *, SUBMDL *) { RecordModels("acdcsub"); };
    IBIS_checks.mdlCheckAddSubmodelRefs = [](MDL *, SUBMDL *) { RecordModels("addsub"); };
    IBIS_checks.mdlWarnUnreferenced = [](MDL *) { RecordModels("unref"); };
    IBIS_checks.ebdmdlCheckAll = [](EBDMDL *, int nested) {
        RecordModels(nested ? "ebd nested" : "ebd");
    };

    ASSERT_EQ(CHECKPASS_BeginFile(), 1);
    IBIS *root = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&root));
    IBIS_AddModel(root, NewRecord<MDL>());
    IBIS_AddModel(root, s_models = NewRecord<MDL>());
    IBIS_AddComponent(root, s_cmps = NewRecord<CMPNT>());
    IBIS_AddExternalCircuit(root, s_ext = NewRecord<EXTCKT>());
    IBIS_AddSubmodel(root, s_subs = NewRecord<SUBMDL>());
    IBIS_AddModelSelector(root, NewRecord<MSEL>());
    IBIS_AddPackageModel(root, NewRecord<PKGMDL>());
    IBIS_AddTestData(root, NewRecord<TESTDATA>());
    IBIS_AddTestLoad(root, NewRecord<TESTLOAD>());
    IBIS_AddEbdModel(root, NewRecord<EBDMDL>());
    g_calls.clear();
    CHECKPASS_RunChecks(FILE_IBS, 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"rcvth", "acdc", "chk", "drvsh", "algmod", "msel",
                                                 "chkcmp", "cmpnt", "pkgmdl", "testdata",
                                                 "testload", "subref", "chksub", "acdcsub",
                                                 "addsub", "unref"}));
    g_calls.clear();
    CHECKPASS_RunChecks(FILE_PKG, 1);
    CHECKPASS_RunChecks(FILE_EBD, 0);
    EXPECT_EQ(g_calls, (std::vector<std::string>{"ebd nested", "ebd"}));
    CHECKPASS_EndFile();
    EXPECT_EQ(Output(), "Errors  : 0\n\nFile Passed\n");  // no 3901: there is a component
}

// Outer .ebd pass that checks a second file from inside its own checks, as a
// board does with the files it references.
std::string g_nested;
void CheckNested(EBDMDL *, int nested) {
    EXPECT_EQ(nested, 0);
    CHECKPASS_CheckFile(g_nested.c_str(), FILE_PKG, 1);
}

TEST_F(CheckPassTest, EachSummaryCountsItsOwnPass) {
    std::string bad = Check("bad.pkg", Header("5.0", "bad.pkg"), FILE_PKG);  // no [End]
    EXPECT_NE(bad.find("Errors  : 1\n\nFile Failed\n"), std::string::npos) << bad;
    EXPECT_EQ(passed_, 0);
    std::string good = Check("good.pkg", Header("5.0", "good.pkg") + "[End]\n", FILE_PKG);
    EXPECT_EQ(good, "\nChecking good.pkg for IBIS 5.0 Compatibility...\n\nErrors  : 0\n\nFile Passed\n");
    EXPECT_EQ(passed_, 1);
}

void FakeEbdInit() {
    IBIS *root = nullptr;
    if (IBIS_GetCurrent(&root))
        IBIS_AddEbdModel(root, static_cast<EBDMDL *>(calloc(1, sizeof(void *))));
}

TEST_F(CheckPassTest, NestedPassesReportTheirOwnAndTheOuterIncludesThem) {
    PARSE_sections[SECTION_EBDMDL] = {FakeEbdInit, nullptr, nullptr, nullptr};
    IBIS_listOps[IBIS_LIST_EBDMDL] = {[](void *r, void *n) { *static_cast<void **>(r) = n; },
                                      [](void *h) {
                                          while (h != nullptr) {
                                              void *n = *static_cast<void **>(h);
                                              free(h);
                                              h = n;
                                          }
                                      }};
    IBIS_checks.ebdmdlCheckAll = CheckNested;
    g_nested = Write("clean.pkg", Header("5.0", "clean.pkg") + "[End]\n");
    std::string out = Check("board.ebd",
                            Header("5.0", "board.ebd") + "[Begin Board Description] b\n[Bogus]\n[End]\n",
                            FILE_EBD);
    EXPECT_EQ(out, "\nChecking board.ebd for IBIS 5.0 Compatibility...\n\n"
                   "ERROR (line    5) - Invalid Keyword: Bogus\n"
                   "\nChecking clean.pkg for IBIS 5.0 Compatibility...\n\n"
                   "Errors  : 0\n\nFile Passed\n"
                   "\nErrors  : 1\n\nFile Failed\n");

    g_nested = Write("dirty.pkg", Header("5.0", "dirty.pkg") + "[Bogus]\n[Bogus]\n[End]\n");
    out = Check("board.ebd", Header("5.0", "board.ebd") + "[Begin Board Description] b\n[End]\n",
                FILE_EBD);
    EXPECT_EQ(out, "\nChecking board.ebd for IBIS 5.0 Compatibility...\n\n"
                   "\nChecking dirty.pkg for IBIS 5.0 Compatibility...\n\n"
                   "ERROR (line    4) - Invalid Keyword: Bogus\n"
                   "ERROR (line    5) - Invalid Keyword: Bogus\n"
                   "\nErrors  : 2\n\nFile Failed\n"
                   "\nErrors  : 2\n\nFile Failed\n");
    EXPECT_EQ(passed_, 0);
}

}  // namespace

namespace {

// A pass that could not make its own root must not end the enclosing one's.
TEST_F(CheckPassTest, APassWithoutItsOwnRootLeavesTheEnclosingRootAlone) {
    const int depth = 16;
    for (int i = 0; i < depth; ++i)
        ASSERT_TRUE(CHECKPASS_BeginFile()) << i;
    IBIS *innermost = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&innermost));
    EXPECT_FALSE(CHECKPASS_BeginFile());
    CHECKPASS_EndFile();
    IBIS *current = nullptr;
    ASSERT_TRUE(IBIS_GetCurrent(&current));
    EXPECT_EQ(current, innermost);
    for (int i = 0; i < depth; ++i)
        CHECKPASS_EndFile();
    EXPECT_FALSE(IBIS_GetCurrent(&current));
}

}  // namespace
