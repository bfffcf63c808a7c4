// Fixture of the [Model] section tests: whole .ibs snippets through the check
// pass, with small stand-ins for the sections a model hands its blocks to
// (so that the expected output stays the model section's own), and a
// stand-in [Submodel] section for the [Add Submodel] checks.
#pragma once

#include <cstdio>
#include <cstring>
#include <ostream>
#include <string>

#include "CheckerTest.h"
#include "IbisParser/mdl.h"
#include "IbisParser/mspec.h"
#include "IbisParser/rcvth.h"
#include "IbisParser/rng.h"

namespace modeltest {

// Submodels: a name and the link.
struct FakeSubmodel {
    FakeSubmodel *next;
    char name[64];
};

// Any record the stand-ins make but never read.
struct Opaque {
    int lines;
};

inline FakeSubmodel *&CurrentSubmodel() {
    static FakeSubmodel *current = nullptr;
    return current;
}

inline void SubInit() {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root))
        return;
    FakeSubmodel *s = nullptr;
    CMN_Alloc(&s, sizeof(FakeSubmodel));
    IBIS_AddSubmodel(root, reinterpret_cast<SUBMDL *>(s));
    CurrentSubmodel() = s;
}
inline void SubLine(int lineType, IBIS_KEYWORD code, char *text) {
    if (lineType == LINE_KEYWORD && code == KW_SUBMODEL && CurrentSubmodel() != nullptr) {
        const char *rest = text;
        CMN_SkipPastBracket(&rest);
        CMN_StrNCopy(CurrentSubmodel()->name, rest, sizeof(FakeSubmodel::name) - 1);
    }
}
inline void SubReset() { CurrentSubmodel() = nullptr; }
inline void SubSetNext(void *r, void *n) {
    static_cast<FakeSubmodel *>(r)->next = static_cast<FakeSubmodel *>(n);
}
inline void SubFree(void *h) {
    for (FakeSubmodel *s = static_cast<FakeSubmodel *>(h); s != nullptr;) {
        FakeSubmodel *n = s->next;
        CMN_Free(s);
        s = n;
    }
}
inline SUBMDL *SubFind(const char *name, SUBMDL *list) {
    for (FakeSubmodel *s = reinterpret_cast<FakeSubmodel *>(list); s != nullptr; s = s->next)
        if (strcmp(s->name, name) == 0)
            return reinterpret_cast<SUBMDL *>(s);
    return nullptr;
}
inline SUBMDL *SubNext(SUBMDL *s) {
    return reinterpret_cast<SUBMDL *>(reinterpret_cast<FakeSubmodel *>(s)->next);
}
inline const char *SubName(const SUBMDL *s) {
    return reinterpret_cast<const FakeSubmodel *>(s)->name;
}

// [Model Spec]: "Vmeas", "Vref" and "Rref" lines give their value.
inline void MspecFree(MSPEC *r) {
    RNG_Free(r->Vmeas);
    RNG_Free(r->Vref);
    RNG_Free(r->Rref);
    CMN_Free(r);
}
inline int MspecInit(const char *, MSPEC **slot) {
    if (*slot != nullptr)
        MspecFree(*slot);
    *slot = nullptr;
    return CMN_Alloc(slot, sizeof(MSPEC));
}
inline void MspecLine(const char *text, MSPEC *r, const MDL *) {
    RNG **slot = strncmp(text, "Vmeas", 5) == 0 ? &r->Vmeas
                 : strncmp(text, "Vref", 4) == 0 ? &r->Vref
                 : strncmp(text, "Rref", 4) == 0 ? &r->Rref
                                                 : nullptr;
    if (slot != nullptr && *slot == nullptr)
        RNG_Create(slot);
}

// [Receiver Thresholds]: a "Reference_supply" line gives its value.
inline void RcvthFree(RCVTH *r) {
    CMN_Free(r->Reference_supply);
    CMN_Free(r);
}
inline int RcvthInit(const char *, RCVTH **slot) {
    if (*slot != nullptr)
        RcvthFree(*slot);
    *slot = nullptr;
    return CMN_Alloc(slot, sizeof(RCVTH));
}
inline void RcvthLine(const char *text, RCVTH *r, const char *) {
    if (strncmp(text, "Reference_supply ", 17) == 0 && r->Reference_supply == nullptr)
        r->Reference_supply = CMN_StrDup(text + 17);
}

template <typename T> int OpaqueInit(T **slot) {
    if (*slot != nullptr)
        CMN_Free(*slot);
    *slot = nullptr;
    return CMN_Alloc(reinterpret_cast<Opaque **>(slot), sizeof(Opaque));
}
template <typename T> void OpaqueFree(T *r) { CMN_Free(r); }
template <typename T> void OpaqueLine(T *r) { ++reinterpret_cast<Opaque *>(r)->lines; }

class ModelTest : public CheckerTest {
protected:
    void SetUp() override {
        CheckerTest::SetUp();
        savedSubsections_ = MDL_subsections;
        savedExternal_ = MDL_externalOps;
        savedSubmodels_ = MDL_submodelOps;
        MDL_SUBSECTION_OPS &s = MDL_subsections;
        s.mspecInit = MspecInit;
        s.mspecParseLine = MspecLine;
        s.mspecEndKeyword = [](MDL *) {};
        s.mspecFree = MspecFree;
        s.rcvthInit = RcvthInit;
        s.rcvthParseLine = RcvthLine;
        s.rcvthEndKeyword = [](MDL *) {};
        s.rcvthFree = RcvthFree;
        s.drvshInit = [](const char *, DRVSH **slot, const char *) { return OpaqueInit(slot); };
        s.drvshParseLine = [](const char *, DRVSH *r, const char *) { OpaqueLine(r); };
        s.drvshEndKeyword = [](DRVSH *, const char *) {};
        s.drvshFree = OpaqueFree<DRVSH>;
        s.mdlemiInit = [](const char *, MDLEMI **slot, int) { return OpaqueInit(slot); };
        s.mdlemiParseLine = [](const char *, MDLEMI *r) { OpaqueLine(r); };
        s.mdlemiEndKeyword = [](MDL *) {};
        s.mdlemiFree = OpaqueFree<MDLEMI>;
        // The external descriptions are read by the model section's own code.
        MDL_externalOps = {MDL_CreateExternalModel, MDL_ParseExternalModelSubparam,
                           MDL_EndExternalModel, MDL_FreeExternalModel};
        MDL_submodelOps = {SubFind, SubNext, SubName};
        // The whole-file checks of the blocks would read the stand-in records.
        IBIS_checks.rcvthCheckAll = nullptr;
        IBIS_checks.drvshCheckAll = nullptr;
        // The sanity warnings (missing drive tables, unusual values) have
        // their own tests; here they would only repeat on every snippet.
        IBIS_checks.chkCheckModels = nullptr;
        IBIS_checks.chkCheckSubmodels = nullptr;
        // The files that [Algorithmic Model] entries name are algmod's own tests.
        IBIS_checks.algmodCheckModels = nullptr;
        PARSE_sections[SECTION_SUBMDL] = {SubInit, SubLine, nullptr, SubReset};
        IBIS_listOps[IBIS_LIST_SUBMDL] = {SubSetNext, SubFree};
    }
    void TearDown() override {
        CheckerTest::TearDown();
        MDL_subsections = savedSubsections_;
        MDL_externalOps = savedExternal_;
        MDL_submodelOps = savedSubmodels_;
    }

    // Checks a file of the given IBIS version whose body follows the header
    // (so the body's first line is line 4).
    std::string Run(const std::string &version, const std::string &body) {
        return Check("m.ibs", Header(version, "m.ibs") + body, FILE_IBS);
    }

    // The model list of the file being read (newest first), or null.
    static MDL *ParsedModels() {
        IBIS *root = nullptr;
        MDL *models = nullptr;
        return IBIS_GetCurrent(&root) && IBIS_GetModels(root, &models) ? models : nullptr;
    }

    // The whole output expected for messages: banner, messages, summary.
    static std::string Expected(const std::string &version, const std::string &messages) {
        std::string shown = version == "2.1" ? "2.1" : version[0] == '3' ? "3.2"
                           : version[0] == '4' ? "4.2" : "5.0";
        int bugs = 0, errors = 0, warnings = 0, cautions = 0;
        for (size_t at = 0; at < messages.size();) {
            size_t end = messages.find('\n', at);
            std::string line = messages.substr(at, end - at);
            bugs += line.rfind("PROGRAM BUG", 0) == 0;
            errors += line.rfind("ERROR", 0) == 0;
            warnings += line.rfind("WARNING", 0) == 0;
            cautions += line.rfind("CAUTION", 0) == 0;
            at = end == std::string::npos ? messages.size() : end + 1;
        }
        std::string out = "\nChecking m.ibs for IBIS " + shown + " Compatibility...\n\n" + messages;
        if (bugs || errors || warnings)
            out += "\n";
        if (bugs)
            out += "Bugs    : " + std::to_string(bugs) + "\n";
        out += "Errors  : " + std::to_string(errors) + "\n";
        if (warnings)
            out += "Warnings: " + std::to_string(warnings) + "\n";
        if (cautions)
            out += "Cautions: " + std::to_string(cautions) + "\n";
        return out + "\nFile " + (bugs || errors ? "Failed" : "Passed") + "\n";
    }

private:
    MDL_SUBSECTION_OPS savedSubsections_;
    MDL_EXTERNAL_OPS savedExternal_;
    MDL_SUBMODEL_OPS savedSubmodels_;
};

// One message as the printers lay it out: a text of a certain length goes
// on a line of its own.
inline std::string Message(const std::string &word, int line, const std::string &text) {
    std::string head = word;
    if (line >= 0) {
        char at[24];
        snprintf(at, sizeof at, " (line %4d)", line);
        head += at;
    }
    const size_t low = word == "ERROR" ? (line >= 0 ? 60 : 72) : (line >= 0 ? 58 : 70);
    const bool own = text.size() >= low && text.size() <= 75;
    return head + (own ? " -\n    " : " - ") + text + "\n";
}
inline std::string Err(int line, const std::string &text) { return Message("ERROR", line, text); }
inline std::string Warn(int line, const std::string &text) { return Message("WARNING", line, text); }
inline std::string Err(const std::string &text) { return Message("ERROR", -1, text); }
inline std::string Warn(const std::string &text) { return Message("WARNING", -1, text); }

// What every snippet without [Component] ends with: the missing component
// and the newest model that nothing references.
inline std::string Unreferenced(const std::string &model) {
    return Warn("Model " + model +
                " not referenced in any [Pin], [Model Selector], [Driver Schedule] or [Series Pin "
                "Mapping] sections.\n No more warnings will be generated for un-referenced models");
}
inline std::string Tail(const std::string &model) {
    return Err("Required keyword 'Component' not found.") + Unreferenced(model);
}

// An Input model that passes every model check: six lines.
inline std::string InputModel(const std::string &name) {
    return "[Model] " + name + "\nModel_type Input\nC_comp 1p 1p 1p\nVinl = 0.8\nVinh = 2.0\n"
           "[Voltage Range] 3.3 3.0 3.6\n";
}

struct Row {
    const char *title;
    const char *version;
    std::string body;
    std::string messages;
};
inline void PrintTo(const Row &row, std::ostream *os) { *os << row.title; }

}  // namespace modeltest
