// Fixture for the blocks a [Model] hands on ([Model Spec], [Receiver
// Thresholds], [Driver Schedule], the EMI block): feeds keyword lines, data
// lines and the end of each block to the handlers as the model section does,
// through MDL_subsections, with the line numbers of the block's own lines.
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "CheckerTest.h"
#include "IbisParser/mdl.h"

class ModelBlockTest : public CheckerTest {
protected:
    void TearDown() override {
        for (MDL *m : models_)
            FreeModel(m);
        models_.clear();
        CheckerTest::TearDown();
    }

    // A model pushed in front of List(), as a file read newest first gives it.
    MDL *NewModel(const char *name, int type) {
        MDL *m = static_cast<MDL *>(calloc(1, sizeof(MDL)));
        snprintf(m->name, sizeof m->name, "%s", name);
        m->Model_type = type;
        m->single_ended = 2;
        m->next = models_.empty() ? nullptr : models_.back();
        models_.push_back(m);
        return m;
    }
    MDL *List() { return models_.empty() ? nullptr : models_.back(); }

    // Lines starting with '[' open a block (the open one ends first); the last
    // block ends after the last line. Returns what was printed.
    std::string Feed(MDL *m, const std::string &lines) {
        const MDL_SUBSECTION_OPS &ops = MDL_subsections;
        std::istringstream in(lines);
        std::string line;
        unsigned long number = 0;
        int open = 0;  // 0 none, else the keyword code
        while (std::getline(in, line)) {
            MSG_SetLineNumber(++number);
            if (line.empty() || line[0] != '[') {
                Data(m, open, line.c_str());
                continue;
            }
            End(m, open);
            open = Code(line);
            switch (open) {
            case KW_MODEL_SPEC: ops.mspecInit(line.c_str(), &m->modelSpec); break;
            case KW_RECEIVER_THRESHOLDS: ops.rcvthInit(line.c_str(), &m->receiverThresholds); break;
            case KW_DRIVER_SCHEDULE: ops.drvshInit(line.c_str(), &m->driverSchedule, m->name); break;
            case KW_BEGIN_EMI_MODEL: ops.mdlemiInit(line.c_str(), &m->emiModel, open); break;
            default: break;
            }
        }
        End(m, open);
        return Output();
    }

private:
    static int Code(const std::string &line) {
        if (line.rfind("[Model Spec]", 0) == 0) return KW_MODEL_SPEC;
        if (line.rfind("[Receiver Thresholds]", 0) == 0) return KW_RECEIVER_THRESHOLDS;
        if (line.rfind("[Driver Schedule]", 0) == 0) return KW_DRIVER_SCHEDULE;
        if (line.rfind("[Begin EMI Model]", 0) == 0) return KW_BEGIN_EMI_MODEL;
        return KW_END_EMI_MODEL;
    }
    static void Data(MDL *m, int open, const char *text) {
        const MDL_SUBSECTION_OPS &ops = MDL_subsections;
        switch (open) {
        case KW_MODEL_SPEC: ops.mspecParseLine(text, m->modelSpec, m); break;
        case KW_RECEIVER_THRESHOLDS: ops.rcvthParseLine(text, m->receiverThresholds, m->name); break;
        case KW_DRIVER_SCHEDULE: ops.drvshParseLine(text, m->driverSchedule, m->name); break;
        case KW_BEGIN_EMI_MODEL: ops.mdlemiParseLine(text, m->emiModel); break;
        default: break;
        }
    }
    static void End(MDL *m, int open) {
        const MDL_SUBSECTION_OPS &ops = MDL_subsections;
        switch (open) {
        case KW_MODEL_SPEC: ops.mspecEndKeyword(m); break;
        case KW_RECEIVER_THRESHOLDS: ops.rcvthEndKeyword(m); break;
        case KW_DRIVER_SCHEDULE: ops.drvshEndKeyword(m->driverSchedule, m->name); break;
        case KW_BEGIN_EMI_MODEL: ops.mdlemiEndKeyword(m); break;
        default: break;
        }
    }
    static void FreeModel(MDL *m) {
        const MDL_SUBSECTION_OPS &ops = MDL_subsections;
        ops.mspecFree(m->modelSpec);
        ops.rcvthFree(m->receiverThresholds);
        ops.drvshFree(m->driverSchedule);
        ops.mdlemiFree(m->emiModel);
        free(m->Vinl);
        free(m->Vinh);
        free(m);
    }

    std::vector<MDL *> models_;
};
