// Sanity checks of the components, models and submodels of a file, run once
// the file is read.
#define MSG_SRC MSGSRC_CHK
#include "IbisParser/chk.h"

#include <cstddef>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/cmpnt.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/nameidx.h"
#include "IbisParser/pin.h"
#include "IbisParser/pkg.h"
#include "IbisParser/ramp.h"
#include "IbisParser/rng.h"
#include "IbisParser/stringlist.h"
#include "IbisParser/submdl.h"
#include "IbisParser/wvfrm.h"

namespace {

int s_enabled = 1;

const char *const kCornerWords[3] = {"TYP", "MIN", "MAX"};

// What counts as plausible, in Ohm, H, F and s.
const double kMaxResistance = 50.0;
const double kMaxInductance = 1e-6;
const double kMaxCapacitance = 1e-9;
const double kMaxRampTime = 0.001;

// Inductances are shown in nH, capacitances in pF, ramp times in ns.
const double kNano = 1e9;
const double kPico = 1e12;

// One of the component's ranges: its bounds, scale and the codes of an out
// of range corner and of max below min.
struct PackageRange {
    RNG *PKG::*range;
    double high;
    double scale;
    int outOfRange;
    int maxBelowMin;
};
const PackageRange kPackageRanges[3] = {
    {&PKG::R_pkg, kMaxResistance, 1.0, 1710, 1711},
    {&PKG::L_pkg, kMaxInductance, kNano, 1712, 1713},
    {&PKG::C_pkg, kMaxCapacitance, kPico, 1714, 1715},
};

// The capacitances of a model, each with the code of its out-of-range warning.
const struct {
    RNG *MDL::*cap;
    int code;
} kModelCaps[5] = {{&MDL::C_comp, 1716},
                   {&MDL::C_comp_pullup, 1717},
                   {&MDL::C_comp_pulldown, 1718},
                   {&MDL::C_comp_power_clamp, 1719},
                   {&MDL::C_comp_gnd_clamp, 1720}};

bool Given(int state) { return state == CMN_VALUE_NUMBER; }

const char *NodeName(STRING_LIST *node) { return node->text != nullptr ? node->text : ""; }

// How many declared nodes carry the name: through the tally, or by a walk
// once the tally could not grow.
size_t CountNodes(const NAME_TALLY *tally, const STRING_LIST *nodes, const char *name) {
    size_t count = 0;
    const int found = NAMEIDX_Lookup(tally, name, nullptr, &count);
    if (found >= 0)
        return found == 1 ? count : 0;
    count = 0;
    for (const STRING_LIST *n = nodes; n != nullptr; n = n->next)
        count += n->text != nullptr && strcmp(n->text, name) == 0;
    return count;
}

// Each ramp record of a [Ramp], with its edge word.
int CheckRamp(const RAMP *ramp, const char *name, const char *owner) {
    if (ramp == nullptr)
        return 1;
    const int rising = CHK_CheckRampTime(ramp->dVdt_r, kMaxRampTime, "Rising", name, owner);
    const int falling = CHK_CheckRampTime(ramp->dVdt_f, kMaxRampTime, "Falling", name, owner);
    return rising && falling;
}

int CheckWaveforms(const WVFRM *list, const char *model, const char *edge) {
    int ok = 1;
    int index = 0;
    for (const WVFRM *w = list; w != nullptr; w = w->next) {
        ++index;
        if (w->composite != nullptr && !WVFRM_SameTimePoints(w, w->composite, index, model, edge))
            ok = 0;
    }
    return ok;
}

}  // namespace

void CHK_SetEnabled(int flag) { s_enabled = flag != 0 ? 1 : 0; }

int CHK_CheckRange(const RNG *range, double low, double high, int code, const char *name,
                   double scale) {
    MSG_ASSERT(name != nullptr);
    if (range == nullptr)
        return 1;
    const double values[3] = {range->typ, range->min, range->max};
    const int states[3] = {range->typ_state, range->min_state, range->max_state};
    int ok = 1;
    for (int i = 0; i < 3; ++i) {
        if (Given(states[i]) && (values[i] < low || values[i] > high)) {
            MSG_Warning(code, name, kCornerWords[i], values[i] * scale, low * scale, high * scale);
            ok = 0;
        }
    }
    return ok;
}

int CHK_CheckMaxNotBelowMin(const RNG *range, int code, const char *name) {
    MSG_ASSERT(name != nullptr);
    if (range == nullptr || !Given(range->min_state) || !Given(range->max_state) ||
        !(range->min > range->max))
        return 1;
    MSG_Warning(code, name);
    return 0;
}

int CHK_CheckPackage(const PKG *package, const char *component) {
    MSG_ASSERT(component != nullptr);
    if (package == nullptr)
        return 1;
    int ok = 1;
    for (const PackageRange &r : kPackageRanges) {
        const RNG *range = package->*r.range;
        ok &= CHK_CheckRange(range, 0.0, r.high, r.outOfRange, component, r.scale);
        ok &= CHK_CheckMaxNotBelowMin(range, r.maxBelowMin, component);
    }
    return ok;
}

int CHK_CheckPinParasitics(const PIN *pins, const char *component) {
    MSG_ASSERT(component != nullptr);
    int ok = 1;
    for (const PIN *p = pins; p != nullptr; p = p->next) {
        if (Given(p->R_pin_state) && p->R_pin > kMaxResistance) {
            MSG_Warning(1700, component, p->pin, p->R_pin, kMaxResistance);
            ok = 0;
        }
        if (Given(p->L_pin_state) && p->L_pin > kMaxInductance) {
            MSG_Warning(1701, component, p->pin, p->L_pin * kNano, kMaxInductance * kNano);
            ok = 0;
        }
        if (Given(p->C_pin_state) && p->C_pin > kMaxCapacitance) {
            MSG_Warning(1702, component, p->pin, p->C_pin * kPico, kMaxCapacitance * kPico);
            ok = 0;
        }
    }
    return ok;
}

int CHK_CheckNodeName(const STRING_LIST *nodes, const char *name, const char *component) {
    MSG_ASSERT(name != nullptr && component != nullptr);
    int count = 0;
    for (const STRING_LIST *n = nodes; n != nullptr; n = n->next) {
        if (n->text != nullptr && strcmp(n->text, name) == 0) {
            MSG_Error(1708, component, name);
            ++count;
        }
    }
    return count;
}

int CHK_CheckNodeNames(const CMPNT *component) {
    MSG_ASSERT(component != nullptr);
    STRING_LIST *nodes = component->node_declarations;
    if (nodes == nullptr)
        return 1;
    const char *name = component->name;
    int ok = 1;
    // A name given n times draws n(n-1)/2 errors, each node's own once per
    // later namesake; the counts come from an index, not from comparing
    // every pair. The empty head of the declarations carries no name.
    NAMEIDX_ReportLaterNamesakes(nodes, NodeName, [&](STRING_LIST *node) {
        if (node->text != nullptr) {
            MSG_Error(1708, name, node->text);
            ok = 0;
        }
    });
    NAME_TALLY declared;
    NAMEIDX_InitTally(&declared);
    for (STRING_LIST *n = nodes; n != nullptr; n = n->next)
        if (n->text != nullptr && NAMEIDX_Count(&declared, n->text, n) < 0)
            break;
    for (const PIN *p = component->pins; p != nullptr; p = p->next) {
        for (size_t i = CountNodes(&declared, nodes, p->pin); i > 0; --i) {
            MSG_Error(1709, name, p->pin, p->pin);
            ok = 0;
        }
    }
    NAMEIDX_FreeTally(&declared);
    return ok;
}

int CHK_CheckComponent(const CMPNT *component) {
    MSG_ASSERT(component != nullptr);
    int ok = CHK_CheckPackage(component->package, component->name);
    ok &= CHK_CheckPinParasitics(component->pins, component->name);
    ok &= CHK_CheckNodeNames(component);
    return ok;
}

int CHK_CheckComponents(CMPNT *components) {
    if (!s_enabled)
        return 0;
    int failed = 0;
    for (const CMPNT *c = components; c != nullptr; c = c->next)
        failed += !CHK_CheckComponent(c);
    return failed;
}

int CHK_CheckRampTime(const DVDT *ramp, double limit, const char *edge, const char *name,
                      const char *owner) {
    MSG_ASSERT(edge != nullptr && name != nullptr && owner != nullptr);
    if (ramp == nullptr)
        return 1;
    int ok = 1;
    for (int i = 0; i < 3; ++i) {
        if (Given(ramp->state[i]) && ramp->dt[i] > limit) {
            MSG_Warning(1703, owner, name, kCornerWords[i], edge, ramp->dt[i] * kNano,
                        limit * kNano);
            ok = 0;
        }
    }
    return ok;
}

int CHK_CheckModelCaps(const MDL *model) {
    MSG_ASSERT(model != nullptr);
    int ok = 1;
    for (const auto &c : kModelCaps)
        ok &= CHK_CheckRange(model->*c.cap, 0.0, kMaxCapacitance, c.code, model->name, kPico);
    ok &= CheckRamp(model->ramp, model->name, "Model");
    return ok;
}

int CHK_CheckDriveTables(const MDL *model) {
    MSG_ASSERT(model != nullptr);
    // The tables of an external description are its own business.
    if (model->externalModel != nullptr)
        return 1;
    const int type = model->Model_type;
    int ok = 1;
    if (MDL_PullsUpAndDown(type)) {
        if (model->pullup == nullptr) {
            MSG_Warning(1704, model->name);
            ok = 0;
        }
        if (model->pulldown == nullptr) {
            MSG_Warning(1705, model->name);
            ok = 0;
        }
    } else if (MDL_PullsDownOnly(type)) {
        if (model->pulldown == nullptr) {
            MSG_Warning(1706, model->name);
            ok = 0;
        }
    } else if (MDL_PullsUpOnly(type)) {
        if (model->pullup == nullptr) {
            MSG_Warning(1707, model->name);
            ok = 0;
        }
    }
    return ok;
}

int CHK_CheckCompositeCurrent(const MDL *model) {
    MSG_ASSERT(model != nullptr);
    const int rising = CheckWaveforms(model->risingWaveform, model->name, "Rising");
    const int falling = CheckWaveforms(model->fallingWaveform, model->name, "Falling");
    return rising && falling;
}

int CHK_CheckModel(const MDL *model) {
    int ok = CHK_CheckModelCaps(model);
    ok &= CHK_CheckDriveTables(model);
    ok &= CHK_CheckCompositeCurrent(model);
    return ok;
}

int CHK_CheckModels(MDL *models) {
    if (!s_enabled)
        return 0;
    int failed = 0;
    for (const MDL *m = models; m != nullptr; m = m->next)
        failed += !CHK_CheckModel(m);
    return failed;
}

int CHK_CheckSubmodelRamp(const SUBMDL *submodel) {
    MSG_ASSERT(submodel != nullptr);
    return CheckRamp(submodel->ramp, submodel->name, "Sub Model");
}

int CHK_CheckSubmodel(const SUBMDL *submodel) { return CHK_CheckSubmodelRamp(submodel); }

int CHK_CheckSubmodels(SUBMDL *submodels) {
    if (!s_enabled)
        return 0;
    int failed = 0;
    for (const SUBMDL *s = submodels; s != nullptr; s = s->next)
        failed += !CHK_CheckSubmodel(s);
    return failed;
}
