// [Package]: R_pkg, L_pkg and C_pkg of a component, each typ/min/max.
#define MSG_SRC MSGSRC_PKG
#include "IbisParser/pkg.h"

#include <iterator>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/rng.h"

int PKG_Create(PKG **out) {
    MSG_ASSERT(out != nullptr);
    if (!CMN_Alloc(out, sizeof(PKG))) {
        MSG_ErrorLine(1200);
        return 0;
    }
    return 1;
}

void PKG_ParseRow(PKG *package, const char *text) {
    MSG_ASSERT(package != nullptr && text != nullptr);
    const char *p = text;
    CMN_SkipBlanks(&p);
    if (p != text)
        MSG_ErrorLine(1201);
    WORD_LIST words{};
    if (!CMN_SplitWords(p, 4, &words)) {
        CMN_FreeWords(&words);
        return;
    }
    struct {
        const char *name;
        RNG **slot;
        int duplicate;
    } const subparams[] = {{"R_pkg", &package->R_pkg, 1203},
                           {"L_pkg", &package->L_pkg, 1204},
                           {"C_pkg", &package->C_pkg, 1205}};
    if (words.found != 4) {
        MSG_ErrorLine(1202, 4, static_cast<int>(words.found));
        CMN_FreeWords(&words);
        return;
    }
    const char *name = words.words[0];
    const auto *sub = &subparams[0];
    while (sub != std::end(subparams) && !CMN_StrEqualNoCase(name, sub->name))
        ++sub;
    if (sub == std::end(subparams)) {
        MSG_ErrorLine(1206);
    } else if (*sub->slot != nullptr) {
        MSG_ErrorLine(sub->duplicate);
    } else {
        CMN_SkipWord(&p);
        RNG *range = nullptr;
        if (!RNG_ParseLine(p, name, &range)) {
            RNG_Free(range);
            MSG_ErrorLine(1207, name);
        } else {
            *sub->slot = range;
            if (range->typ_state != CMN_VALUE_NUMBER)
                MSG_ErrorLine(1209);
            if (range->min_state == CMN_VALUE_ABSENT)
                MSG_ErrorLine(1210);
            if (range->max_state == CMN_VALUE_ABSENT)
                MSG_ErrorLine(1211);
        }
    }
    CMN_FreeWords(&words);
}

void PKG_Check(const PKG *package, const char *component) {
    MSG_ASSERT(package != nullptr && component != nullptr);
    if (package->R_pkg == nullptr)
        MSG_Error(1213, component);
    if (package->L_pkg == nullptr)
        MSG_Error(1215, component);
    if (package->C_pkg == nullptr)
        MSG_Error(1217, component);
}

void PKG_Free(PKG *package) {
    if (package == nullptr)
        return;
    RNG_Free(package->R_pkg);
    RNG_Free(package->L_pkg);
    RNG_Free(package->C_pkg);
    CMN_Free(package);
}
