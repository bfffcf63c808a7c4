// EMI block of a model: Model_emi_type and Domain, each a name and a value.
#define MSG_SRC MSGSRC_MDLEMI
#include "IbisParser/mdlemi.h"

#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"

namespace {

const char kSourceName[] = "IbisParser/mdlemi";

struct Row {
    const char *text;
    int code;
};

const Row kEmiTypes[] = {{"Ferrite", 1}, {"Not_a_ferrite", 2}, {"", 0}};
const Row kDomains[] = {{"Analog", 1}, {"Digital", 2}, {"", 0}};

// One "name value" line into *field; a second line of the name reads again.
void ParseSetting(const char *text, const char *name, const Row *values, int *field) {
    if (*field != 0) {
        MSG_ErrorLine(4805, name);
        *field = 0;
    }
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 2, &words)) {
        MSG_Bug(4802, name, kSourceName, __LINE__);
    } else if (words.found == 1) {
        MSG_ErrorLine(4806, name);
    } else if (words.found != 2) {
        MSG_ErrorLine(4801, static_cast<int>(words.found), name, 2);
    } else {
        const char *value = words.words[1];
        const Row *row = values;
        for (; row->text[0] != '\0'; ++row) {
            if (strcmp(value, row->text) == 0) {
                *field = row->code;
                break;
            }
            if (CMN_StrEqualNoCase(value, row->text)) {
                MSG_ErrorLine(4807, name, value, row->text);
                break;
            }
        }
        if (row->text[0] == '\0')
            MSG_ErrorLine(4808, name, value);
    }
    CMN_FreeWords(&words);
}

}  // namespace

int MDLEMI_Init(const char *keywordText, MDLEMI **slot, int /*code*/) {
    MSG_ASSERT(keywordText != nullptr && slot != nullptr);
    if (*slot != nullptr) {
        MSG_ErrorLine(4800);
        MDLEMI_Free(*slot);
        *slot = nullptr;
    }
    if (!CMN_Alloc(slot, sizeof(MDLEMI))) {
        MSG_Bug(4804, kSourceName, __LINE__);
        return 0;
    }
    static const CMN_KEYWORD_ALONE kCodes = {MSG_SRC, kSourceName, 4803, 4802, 4801, "EMI Model"};
    CMN_CheckKeywordAlone(keywordText, &kCodes, __LINE__);
    return 1;
}

void MDLEMI_ParseLine(const char *text, MDLEMI *record) {
    MSG_ASSERT(text != nullptr);
    if (record == nullptr)
        return;
    WORD_LIST words{};
    if (!CMN_SplitWords(text, 1, &words)) {
        MSG_BugLine(4802, "EMI Model Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    const char *name = words.found > 0 ? words.words[0] : "";
    if (strcmp(name, "Model_emi_type") == 0)
        ParseSetting(text, "Model_emi_type", kEmiTypes, &record->Model_emi_type);
    else if (strcmp(name, "Domain") == 0)
        ParseSetting(text, "Domain", kDomains, &record->Domain);
    CMN_FreeWords(&words);
}

void MDLEMI_EndKeyword(MDL *model) {
    // A block without Model_emi_type or Domain is allowed: nothing to check.
    MSG_ASSERT(model != nullptr);
}

void MDLEMI_Free(MDLEMI *record) { CMN_Free(record); }
