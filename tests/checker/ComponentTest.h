// Fixture of the component tests: whole .ibs files checked with their
// messages in the coded style, one line each; records that sections not yet
// built would make (models, selectors, diff pins, pin mappings) are built by
// hand and handed over before the whole-file checks run.
#pragma once

#include <cstring>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "CheckerTest.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/difpin.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msel.h"
#include "IbisParser/pin.h"
#include "IbisParser/pinmpg.h"
#include "IbisParser/rcvth.h"

// A component that passes its own checks: lines 4-9 after the header.
inline const char kGoodComponent[] = "[Component] c\n[Manufacturer] m\n[Package]\n"
                                     "R_pkg 1m NA NA\nL_pkg 1n NA NA\nC_pkg 1p NA NA\n";

// A value of a row as the tests show it: "-" absent, "n" NA.
inline std::string Value(double v, int state) {
    if (state == CMN_VALUE_ABSENT)
        return "-";
    if (state == CMN_VALUE_NA)
        return "n";
    char buf[32];
    snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

// A file body after the component's lines 4-9, the messages its check gives
// and, when given, what the test makes of the records read.
struct TableCase {
    const char *version;
    std::string body;
    std::string messages;
    std::string records = "";
};

class ComponentTest : public CheckerTest {
protected:
    void SetUp() override {
        CheckerTest::SetUp();
        tables_ = CMPNT_tables;
        emi_ = CMPNT_emiOps;
        circuits_ = CMPNT_circuitOps;
        pkgmdl_ = CMPNT_pkgmdlOps;
        // The sanity warnings have their own tests; the placeholder values
        // and hand-made models here would only draw them on every file.
        IBIS_checks.chkCheckComponents = nullptr;
        IBIS_checks.chkCheckModels = nullptr;
        PARSE_SetNoBanner(1);
        MSG_SetPlainStyle(0);
        MSG_SuppressCautions(0);
    }

    void TearDown() override {
        CheckerTest::TearDown();  // destroys the roots with the hooks of the test
        CMPNT_tables = tables_;
        CMPNT_emiOps = emi_;
        CMPNT_circuitOps = circuits_;
        CMPNT_pkgmdlOps = pkgmdl_;
        PARSE_SetNoBanner(0);
        MSG_SetPlainStyle(1);
        MSG_SuppressCautions(1);
        ClearModels();
    }

    // Drops the models and selectors made so far.
    void ClearModels() {
        for (MDL *m : models_)
            delete m;
        for (MSEL *s : selectors_) {
            for (MSEL_MODEL *m = s->models; m != nullptr;) {
                MSEL_MODEL *n = m->next;
                delete m;
                m = n;
            }
            delete s;
        }
        models_.clear();
        selectors_.clear();
    }

    template <typename T>
    static void FreeRows(T *row) {
        while (row != nullptr) {
            T *next = row->next;
            CMN_Free(row);
            row = next;
        }
    }

    // Messages as "E0523 (line 5) - text", wrapped texts joined, summary cut.
    static std::string Messages(const std::string &out) {
        std::string text = std::regex_replace(out, std::regex(" -\n    "), " - ");
        text = std::regex_replace(text, std::regex("\\(line +"), "(line ");
        // Places in the source that bug messages name.
        text = std::regex_replace(text, std::regex("(IbisParser/\\w+)[:, ]+\\d+"), "$1:N");
        for (const char *start : {"Bugs    : ", "Errors  : "}) {
            size_t summary = text.find(start);
            if (summary != std::string::npos)
                text.erase(summary);
        }
        while (!text.empty() && text[0] == '\n')
            text.erase(0, 1);
        while (text.size() >= 2 && text.compare(text.size() - 2, 2, "\n\n") == 0)
            text.erase(text.size() - 1);
        return text;
    }

    // The lines of the component's own messages (codes 500-699, 1200-1299,
    // 1600-1699): the other sections of a file have their say elsewhere.
    static std::string ComponentMessages(const std::string &messages) {
        std::string kept;
        std::regex own("^[A-Z](05|06|12|16)[0-9][0-9] ");
        size_t at = 0;
        while (at < messages.size()) {
            size_t end = messages.find('\n', at);
            end = end == std::string::npos ? messages.size() : end + 1;
            std::string line = messages.substr(at, end - at);
            if (std::regex_search(line, own))
                kept += line;
            at = end;
        }
        return kept;
    }

    // Checks an .ibs file of the version: header lines 1-3, then body, then
    // [End]. `before` runs between the read and the whole-file checks, with
    // the root; the models and selectors it adds (if any) take the place of
    // the file's and stay the fixture's.
    std::string Run(const std::string &version, const std::string &body,
                    const std::function<void(IBIS *)> &before = nullptr) {
        std::string path = Write("a.ibs", Header(version, "a.ibs") + body + "[End]\n");
        EXPECT_EQ(CHECKPASS_BeginFile(), 1);
        IBIS *root = nullptr;
        if (PARSE_ParseFile(path.c_str(), FILE_IBS) && IBIS_GetCurrent(&root)) {
            if (before)
                before(root);
            // Hand-made models and selectors stand in for what the file has.
            if (!models_.empty())
                root->models = models_.front();
            if (!selectors_.empty())
                root->modelSelectors = selectors_.front();
            CHECKPASS_RunChecks(FILE_IBS, 0);
            if (!models_.empty())
                root->models = nullptr;
            if (!selectors_.empty())
                root->modelSelectors = nullptr;
            if (root->packageModels == FakePackageModels())
                root->packageModels = nullptr;
        }
        passed_ = CHECKPASS_EndFile();
        return Messages(Output());
    }

    // Runs each case. `describe` sees the root between the read and the
    // checks (the models it adds stand for the file's) and tells its records.
    void RunTableCases(const std::vector<TableCase> &cases,
                       const std::function<std::string(IBIS *, const std::string &body)> &describe) {
        for (const TableCase &c : cases) {
            SCOPED_TRACE(c.body);
            std::string records;
            std::string out = Run(c.version, std::string(kGoodComponent) + c.body,
                                  [&](IBIS *root) { records = describe(root, c.body); });
            EXPECT_EQ(out, c.messages);
            if (!c.records.empty()) {
                EXPECT_EQ(records, c.records);
            }
            ClearModels();
        }
    }

    // Whether the body names a model (as a word of a row).
    static bool Names(const std::string &body, const std::string &model) {
        return body.find(" " + model + "\n") != std::string::npos ||
               body.find(" " + model + " ") != std::string::npos;
    }

    // Stands for the package models a fake search of the .pkg files adds.
    static PKGMDL *FakePackageModels() {
        static char record[64];
        return reinterpret_cast<PKGMDL *>(record);
    }

    // A model of the root's list (newest first, as the model section links them).
    MDL *AddModel(const std::string &name, int type) {
        MDL *m = new MDL{};
        strcpy(m->name, name.c_str());
        m->Model_type = type;
        m->single_ended = 2;
        m->next = models_.empty() ? nullptr : models_.front();
        models_.insert(models_.begin(), m);
        return m;
    }

    MSEL *AddSelector(const std::string &name, const std::vector<std::string> &models) {
        MSEL *s = new MSEL{};
        strcpy(s->name, name.c_str());
        s->single_ended = 2;
        MSEL_MODEL **tail = &s->models;
        for (const std::string &m : models) {
            *tail = new MSEL_MODEL{};
            strcpy((*tail)->name, m.c_str());
            tail = &(*tail)->next;
        }
        s->next = selectors_.empty() ? nullptr : selectors_.front();
        selectors_.insert(selectors_.begin(), s);
        return s;
    }

    // Rows as the [Diff Pin] and [Pin Mapping] readers append them.
    static void AddDiffPin(CMPNT *c, const char *pin, const char *inv) {
        DIFPIN *row = nullptr;
        ASSERT_TRUE(CMN_Alloc(&row, sizeof(DIFPIN)));
        strcpy(row->pin, pin);
        strcpy(row->inv_pin, inv);
        DIFPIN **tail = &c->diff_pins;
        while (*tail != nullptr)
            tail = &(*tail)->next;
        *tail = row;
    }
    static void AddPinMapping(CMPNT *c, const char *pin) {
        PINMPG *row = nullptr;
        ASSERT_TRUE(CMN_Alloc(&row, sizeof(PINMPG)));
        strcpy(row->pin, pin);
        row->next = c->pin_mappings;
        c->pin_mappings = row;
    }
    // The component of the root with this name.
    static CMPNT *Find(IBIS *root, const char *name) {
        for (CMPNT *c = root->components; c != nullptr; c = c->next)
            if (strcmp(c->name, name) == 0)
                return c;
        return nullptr;
    }

    std::vector<MDL *> models_;
    std::vector<MSEL *> selectors_;

private:
    CMPNT_TABLES tables_;
    CMPNT_EMI_OPS emi_;
    CMPNT_CIRCUIT_OPS circuits_;
    CMPNT_PKGMDL_OPS pkgmdl_;
};

