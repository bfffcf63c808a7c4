// [Algorithmic Model]: the Executable entries of a model and their checks.
#define MSG_SRC MSGSRC_ALGMOD
#include "IbisParser/algmod.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "IbisParser/amip.h"
#include "IbisParser/cmn.h"
#include "IbisParser/mdl.h"
#include "IbisParser/msg.h"
#include "IbisParser/nameidx.h"
#include "IbisParser/parse.h"

namespace {

const char kSourceName[] = "IbisParser/algmod";
const char kKeyword[] = "Algorithmic Model";
const size_t kFieldMax = 44;

// Copies a word into a 44-character field, reporting a longer one.
void CopyField(char *field, const char *word, int code) {
    if (strlen(word) > kFieldMax)
        MSG_ErrorLine(code, word);
    CMN_StrNCopy(field, word, kFieldMax);
}

// Bits of "platform_compiler_bits": a plain number; beyond int it stays a
// value out of range so that the end check reports it.
int ReadBits(const char *word, const char *whole, int *bits) {
    unsigned long n = 0;
    int r = CMN_GetUnsigned(word, &n);
    if (r == 1) {
        *bits = n > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(n);
        return 1;
    }
    bool digits = r == 0 && word[0] != '\0';
    for (const char *p = word; digits && *p; ++p)
        digits = *p >= '0' && *p <= '9';
    if (digits) {  // too large even for unsigned long
        *bits = INT_MAX;
        return 1;
    }
    MSG_ErrorLine(4613, whole);
    return 0;
}

void ParseExecutable(const WORD_LIST &words, ALGMOD_LIST *list) {
    if (words.stored < 2) {
        MSG_ErrorLine(4610);
        return;
    }
    const char *second = words.words[1];
    WORD_LIST parts{};
    if (!CMN_SplitWordsAt(second, 5, '_', &parts)) {
        MSG_BugLine(4608, "Algorithmic Model Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&parts);
        return;
    }
    if (parts.found != 5) {
        MSG_ErrorLine(4610);
        CMN_FreeWords(&parts);
        return;
    }
    ALGMOD *entry = nullptr;
    if (!CMN_Alloc(&entry, sizeof(ALGMOD))) {
        MSG_Bug(4602, kSourceName, __LINE__);
        CMN_FreeWords(&parts);
        return;
    }
    entry->bits = -1;
    CopyField(entry->platform, parts.words[0], 4611);
    CopyField(entry->compiler, parts.words[2], 4612);
    ReadBits(parts.words[4], second, &entry->bits);
    // Missing file names stay empty; the file checks pass over empty names.
    if (words.stored > 2)
        CopyField(entry->code_file, words.words[2], 4614);
    if (words.stored > 3)
        CopyField(entry->ami_file, words.words[3], 4614);
    entry->next = list->entries;
    list->entries = entry;
    CMN_FreeWords(&parts);
}

// Entries equal for the duplicate check: platform and compiler (case
// ignored) and bits.
int SameExecutable(const ALGMOD *a, const ALGMOD *b) {
    return a->bits == b->bits && CMN_StrEqualNoCase(a->platform, b->platform) &&
           CMN_StrEqualNoCase(a->compiler, b->compiler);
}

// The key of an entry for the duplicate index: platform and compiler in
// lower case, and bits.
char *ExecutableKey(const ALGMOD *e) {
    char bits[16];
    snprintf(bits, sizeof bits, "%d", e->bits);
    size_t n = strlen(e->platform) + strlen(e->compiler) + strlen(bits) + 3;
    char *key = nullptr;
    if (!CMN_Alloc(&key, n))
        return nullptr;
    snprintf(key, n, "%s\x01%s\x01%s", e->platform, e->compiler, bits);
    return CMN_StrLower(key);
}

// For each entry, how many later entries of the list equal it. Through an
// index, so that long lists stay linear; a walk when memory runs out.
void CountRepeats(ALGMOD *const *entries, size_t *repeated, size_t count) {
    char **keys = nullptr;
    NAME_INDEX index{};
    bool ok = CMN_Alloc(&keys, count * sizeof(char *)) != 0;
    for (size_t i = count; ok && i-- > 0;) {
        keys[i] = ExecutableKey(entries[i]);
        int added = 0;
        NAME_ENTRY *e = keys[i] != nullptr ? NAMEIDX_Add(&index, keys[i], &added) : nullptr;
        ok = e != nullptr;
        if (ok)
            repeated[i] = e->number++;  // the equal entries after this one
    }
    if (!ok) {
        for (size_t i = 0; i < count; ++i) {
            repeated[i] = 0;
            for (size_t j = i + 1; j < count; ++j)
                repeated[i] += SameExecutable(entries[i], entries[j]);
        }
    }
    NAMEIDX_Clear(&index);
    if (keys != nullptr) {
        for (size_t i = 0; i < count; ++i)
            CMN_Free(keys[i]);
        CMN_Free(keys);
    }
}

// ---- The tree of an .ami file ----

const char kReservedGroup[] = "Reserved_Parameters";
const char kModelSpecific[] = "Model_Specific";

constexpr unsigned Bit(int word) { return 1u << word; }

// Whether a value spells one of the reserved words of a set.
bool IsOneOf(const AMIP_VALUE &value, unsigned words) {
    return value.reserved >= 0 && value.reserved < 32 && (words & Bit(value.reserved)) != 0;
}

bool IsNumeric(const AMIP_VALUE &value) {
    return value.value_type == AMIP_TYPE_INTEGER || value.value_type == AMIP_TYPE_FLOAT;
}

const unsigned kUsageWords =
    Bit(AMIP_RW_IN) | Bit(AMIP_RW_OUT) | Bit(AMIP_RW_INFO) | Bit(AMIP_RW_INOUT);
const unsigned kTypeWords = Bit(AMIP_RW_FLOAT) | Bit(AMIP_RW_INTEGER) | Bit(AMIP_RW_STRING) |
                            Bit(AMIP_RW_BOOLEAN) | Bit(AMIP_RW_TAP) | Bit(AMIP_RW_UI);

// What a Format word wants behind it: a count of values (at least that many
// when atLeast), all numbers when numeric; Table is not looked at.
struct FormatRule {
    int word;
    int count;
    bool atLeast;
    bool numeric;
};
const FormatRule kFormats[] = {
    {AMIP_RW_VALUE, 1, false, true},      {AMIP_RW_RANGE, 3, false, true},
    {AMIP_RW_CORNER, 3, false, true},     {AMIP_RW_INCREMENT, 4, false, true},
    {AMIP_RW_STEPS, 4, false, true},      {AMIP_RW_LIST, 1, true, false},
    {AMIP_RW_GAUSSIAN, 2, false, true},   {AMIP_RW_DUAL_DIRAC, 3, false, true},
    {AMIP_RW_DJRJ, 3, false, true},       {AMIP_RW_TABLE, 0, true, false},
};

enum FormatResult { FORMAT_UNKNOWN, FORMAT_BAD_VALUES, FORMAT_GOOD };

// The values behind the Format word of a leaf that has one; 4632 when they
// do not fit the word.
FormatResult CheckFormatValues(const AMIP_LEAF *leaf, const char *parameter) {
    const AMIP_VALUE &word = leaf->values[0];
    for (const FormatRule &rule : kFormats) {
        if (word.reserved != rule.word)
            continue;
        const int after = leaf->value_count - 1;
        bool good = rule.atLeast ? after >= rule.count : after == rule.count;
        for (int i = 1; good && rule.numeric && i < leaf->value_count; ++i)
            good = IsNumeric(leaf->values[i]);
        if (good)
            return FORMAT_GOOD;
        MSG_Error(4632, word.text, parameter, rule.count);
        return FORMAT_BAD_VALUES;
    }
    return FORMAT_UNKNOWN;
}

// A definition leaf of a parameter: the values of Usage, Type and Format.
void ALGMOD_CheckParameter(const AMIP_LEAF *leaf, const char *parameter) {
    if (leaf->value_count < 1) {
        MSG_Error(4626, leaf->name, parameter);
        return;
    }
    const AMIP_VALUE &first = leaf->values[0];
    if (leaf->definition == AMIP_DEF_USAGE && !IsOneOf(first, kUsageWords))
        MSG_Error(4627, "Usage", first.text, parameter);
    else if (leaf->definition == AMIP_DEF_TYPE && !IsOneOf(first, kTypeWords))
        MSG_Error(4627, "Type", first.text, parameter);
    else if (leaf->definition == AMIP_DEF_FORMAT &&
             CheckFormatValues(leaf, parameter) == FORMAT_UNKNOWN)
        MSG_Error(4627, "Format", first.text, parameter);
}

// The leaves directly below a group, checked as definitions of the group.
void CheckLeavesOf(const AMIP_GROUP *group) {
    for (int32_t i = 0; i < group->child_count; ++i) {
        const AMIP_ENTRY &c = group->children[i];
        if (c.kind == AMIP_KIND_LEAF && c.node != nullptr)
            ALGMOD_CheckParameter(static_cast<const AMIP_LEAF *>(c.node), group->name);
    }
}

// The rules of one reserved parameter. A parameter without Format rules
// (format 0) must not have one and needs a Default; the others need Format.
enum DefaultRule { DEFAULT_ANY, DEFAULT_BOOLEAN, DEFAULT_INTEGER, DEFAULT_NUMERIC };
struct ReservedRule {
    const char *name;
    unsigned usage;
    unsigned type;
    unsigned format;
    DefaultRule defaultRule;
};
const unsigned kInfo = Bit(AMIP_RW_INFO);
const unsigned kInfoOut = Bit(AMIP_RW_INFO) | Bit(AMIP_RW_OUT);
const unsigned kBoolean = Bit(AMIP_RW_BOOLEAN);
const unsigned kInteger = Bit(AMIP_RW_INTEGER);
const unsigned kFloatUI = Bit(AMIP_RW_FLOAT) | Bit(AMIP_RW_UI);
const unsigned kJitterFormats =
    Bit(AMIP_RW_TABLE) | Bit(AMIP_RW_GAUSSIAN) | Bit(AMIP_RW_DUAL_DIRAC) | Bit(AMIP_RW_DJRJ);
const unsigned kLevelFormats = Bit(AMIP_RW_VALUE) | Bit(AMIP_RW_RANGE) | Bit(AMIP_RW_CORNER);
const ReservedRule kReserved[] = {
    {"Init_Returns_Impulse", kInfo, kBoolean, 0, DEFAULT_ANY},
    {"GetWave_Exists", kInfo, kBoolean, 0, DEFAULT_ANY},
    {"Use_Init_Output", kInfo, kBoolean, 0, DEFAULT_BOOLEAN},
    {"Max_Init_Aggressors", kInfo, kInteger, 0, DEFAULT_INTEGER},
    {"Ignore_Bits", kInfoOut, kInteger, 0, DEFAULT_INTEGER},
    {"Tx_Jitter", kInfoOut, kFloatUI, kJitterFormats, DEFAULT_NUMERIC},
    {"Tx_DCD", kInfoOut, kFloatUI, kLevelFormats, DEFAULT_NUMERIC},
    {"Rx_Clock_PDF", kInfoOut, kFloatUI, kJitterFormats, DEFAULT_NUMERIC},
    {"Rx_Receiver_Sensitivity", kInfoOut, Bit(AMIP_RW_FLOAT), kLevelFormats, DEFAULT_NUMERIC},
};
const size_t kReservedCount = sizeof kReserved / sizeof kReserved[0];
// Rows that every Reserved_Parameters group must hold.
const size_t kMandatoryRows = 2;

bool DefaultFits(const AMIP_VALUE &value, DefaultRule rule) {
    switch (rule) {
    case DEFAULT_BOOLEAN:
        return value.value_type == AMIP_TYPE_BOOLEAN;
    case DEFAULT_INTEGER:
        return value.value_type == AMIP_TYPE_INTEGER;
    case DEFAULT_NUMERIC:
        return IsNumeric(value);
    default:
        return true;
    }
}

// One reserved parameter: its definition leaves judged by its rule, then
// the definitions it must have.
void CheckReservedParameter(const AMIP_GROUP *group, const ReservedRule &rule) {
    const char *name = rule.name;
    bool given[AMIP_DEF_DESCRIPTION + 1] = {};
    for (int32_t i = 0; i < group->child_count; ++i) {
        const AMIP_ENTRY &c = group->children[i];
        if (c.node == nullptr)
            continue;
        if (c.kind == AMIP_KIND_GROUP) {
            MSG_Error(4628, static_cast<const AMIP_GROUP *>(c.node)->name, name);
            continue;
        }
        const AMIP_LEAF *leaf = static_cast<const AMIP_LEAF *>(c.node);
        if (leaf->value_count < 1) {
            MSG_Error(4626, leaf->name, name);
            continue;
        }
        if (leaf->definition < AMIP_DEF_USAGE || leaf->definition > AMIP_DEF_DESCRIPTION) {
            MSG_Error(4624, leaf->name, name);
            continue;
        }
        const AMIP_VALUE &first = leaf->values[0];
        bool counts = true;
        switch (leaf->definition) {
        case AMIP_DEF_USAGE:
            if (!IsOneOf(first, rule.usage))
                MSG_Error(4627, "Usage", first.text, name);
            break;
        case AMIP_DEF_TYPE:
            if (!IsOneOf(first, rule.type))
                MSG_Error(4627, "Type", first.text, name);
            break;
        case AMIP_DEF_FORMAT:
            counts = false;
            if (rule.format == 0)
                MSG_Error(4629, "Format", name);
            else if (!IsOneOf(first, rule.format))
                MSG_Error(4627, "Format", first.text, name);
            else
                counts = CheckFormatValues(leaf, name) == FORMAT_GOOD;
            break;
        case AMIP_DEF_DEFAULT:
            if (!DefaultFits(first, rule.defaultRule))
                MSG_Error(4627, "Default", first.text, name);
            break;
        default:
            break;
        }
        if (counts)
            given[leaf->definition] = true;
    }
    const int needed[] = {AMIP_DEF_USAGE, AMIP_DEF_TYPE,
                          rule.format != 0 ? AMIP_DEF_FORMAT : AMIP_DEF_DEFAULT,
                          AMIP_DEF_DESCRIPTION};
    static const char *const kWords[] = {"", "Usage", "Type", "Format", "Default", "Description"};
    for (int word : needed)
        if (!given[word])
            MSG_Error(4630, kWords[word], name);
}

void ALGMOD_CheckReservedParameters(const AMIP_GROUP *group) {
    bool seen[kReservedCount] = {};
    for (int32_t i = 0; i < group->child_count; ++i) {
        const AMIP_ENTRY &c = group->children[i];
        if (c.node == nullptr)
            continue;
        if (c.kind == AMIP_KIND_LEAF) {
            const AMIP_LEAF *leaf = static_cast<const AMIP_LEAF *>(c.node);
            MSG_Error(4600, leaf->name, group->name);
            ALGMOD_CheckParameter(leaf, group->name);
            continue;
        }
        const AMIP_GROUP *parameter = static_cast<const AMIP_GROUP *>(c.node);
        size_t row = 0;
        while (row < kReservedCount && strcmp(parameter->name, kReserved[row].name) != 0)
            ++row;
        if (row < kReservedCount) {
            seen[row] = true;
            CheckReservedParameter(parameter, kReserved[row]);
        } else {
            MSG_Error(4624, parameter->name, group->name);
            CheckLeavesOf(parameter);
        }
    }
    for (size_t row = 0; row < kMandatoryRows; ++row)
        if (!seen[row])
            MSG_Error(4625, kReserved[row].name);
}

// Every leaf below Model_Specific, as a definition of the group that holds
// it, in text order. The nesting comes from the file and may be millions of
// levels deep, so the walk keeps its own stack instead of recursing.
void CheckModelSpecific(const AMIP_GROUP *top) {
    struct Frame {
        const AMIP_GROUP *group;
        int32_t next;  // the child to look at next
    };
    Frame *stack = nullptr;
    size_t capacity = 16, depth = 0;
    if (!CMN_Alloc(&stack, capacity * sizeof(Frame))) {
        MSG_Bug(4602, kSourceName, __LINE__);
        return;
    }
    stack[depth++] = Frame{top, 0};
    while (depth > 0) {
        Frame &frame = stack[depth - 1];
        if (frame.next >= frame.group->child_count) {
            --depth;
            continue;
        }
        const AMIP_ENTRY &c = frame.group->children[frame.next++];
        if (c.node == nullptr)
            continue;
        if (c.kind == AMIP_KIND_LEAF) {
            ALGMOD_CheckParameter(static_cast<const AMIP_LEAF *>(c.node), frame.group->name);
            continue;
        }
        if (!CMN_Grow(&stack, &capacity, depth + 1, 16)) {
            MSG_Bug(4602, kSourceName, __LINE__);
            break;
        }
        stack[depth++] = Frame{static_cast<const AMIP_GROUP *>(c.node), 0};
    }
    CMN_Free(stack);
}

// The outermost group: its Reserved_Parameters and Model_Specific groups,
// and leaves as definitions of the group met last before them.
void ALGMOD_CheckAmiRoot(const AMIP_TREE *tree) {
    const AMIP_ENTRY *top = tree->count > 0 ? &tree->entries[0] : nullptr;
    if (top == nullptr || top->kind != AMIP_KIND_GROUP || top->node == nullptr) {
        MSG_Error(4622);
        return;
    }
    const AMIP_GROUP *root = static_cast<const AMIP_GROUP *>(top->node);
    const char *lastGroup = root->name;
    bool reserved = false;
    for (int32_t i = 0; i < root->child_count; ++i) {
        const AMIP_ENTRY &c = root->children[i];
        if (c.node == nullptr)
            continue;
        if (c.kind == AMIP_KIND_LEAF) {
            ALGMOD_CheckParameter(static_cast<const AMIP_LEAF *>(c.node), lastGroup);
            continue;
        }
        const AMIP_GROUP *group = static_cast<const AMIP_GROUP *>(c.node);
        if (strcmp(group->name, kReservedGroup) == 0) {
            reserved = true;
            ALGMOD_CheckReservedParameters(group);
        } else if (strcmp(group->name, kModelSpecific) == 0) {
            CheckModelSpecific(group);
        } else {
            MSG_Error(4623, group->name);
        }
        lastGroup = group->name;
    }
    if (!reserved)
        MSG_Error(4622);
}

// One Executable entry of a model: its files found, its .ami file read and
// checked.
void CheckEntry(ALGMOD *e, const char *model) {
    if (e->code_file[0] != '\0' && !ALGMOD_FileExists(e->code_file))
        MSG_Error(4616, e->code_file, model);
    if (e->ami_file[0] == '\0')
        return;
    if (strchr(e->ami_file, '.') == nullptr) {
        MSG_Error(4617, e->ami_file, model);
        return;
    }
    if (!ALGMOD_FileExists(e->ami_file)) {
        MSG_Error(4618, e->ami_file, model);
        return;
    }
    // Opening "sub/m.ami" makes "sub/" the remembered directory; the names
    // of later entries and the package-file search still start from the
    // directory of the file under check.
    char dir[CMN_PATH_MAX + 1];
    CMN_GetBaseDirectory(dir);
    if (PARSE_ParseFile(e->ami_file, FILE_AMI)) {
        // Nothing reads a tree after its checks: freed at once, so that many
        // models naming one large .ami file never hold a tree each.
        e->tree = ALGMOD_ParseAmiText();
        AMIP_FreeTree(&e->tree);
    } else {
        PARSE_FreeAmiText();
    }
    CMN_SetBaseDirectory(dir);
}

}  // namespace

int ALGMOD_Init(const char *keywordText, ALGMOD_LIST **slot, const char *modelName) {
    MSG_ASSERT(keywordText != nullptr && slot != nullptr && modelName != nullptr);
    if (*slot != nullptr) {
        MSG_ErrorLine(4601);
        ALGMOD_Free(*slot);
        *slot = nullptr;
    }
    if (!CMN_Alloc(slot, sizeof(ALGMOD_LIST))) {
        MSG_Bug(4602, kSourceName, __LINE__);
        return 0;
    }
    (*slot)->line = MSG_GetLineNumber();
    const char *rest = keywordText;
    if (!CMN_SkipPastBracket(&rest)) {
        MSG_BugLine(4603, kSourceName, __LINE__);
        return 1;
    }
    WORD_LIST words{};
    if (!CMN_SplitWords(rest, 0, &words))
        MSG_Bug(4604, kKeyword, kSourceName, __LINE__);
    else if (words.found > 0)
        MSG_ErrorLine(4605, static_cast<int>(words.found) + 1, kKeyword, 1);
    CMN_FreeWords(&words);
    return 1;
}

void ALGMOD_ParseLine(const char *text, ALGMOD_LIST *list) {
    MSG_ASSERT(text != nullptr && list != nullptr);
    WORD_LIST words{};
    if (!CMN_SplitWordsAt(text, 4, ' ', &words)) {
        MSG_BugLine(4608, "Algorithmic Model Sub-Parameter", kSourceName, __LINE__);
        CMN_FreeWords(&words);
        return;
    }
    if (words.found != 4)
        MSG_ErrorLine(4605, static_cast<int>(words.found), kKeyword, 4);
    if (words.stored > 0 && strcmp(words.words[0], "Executable") == 0)
        ParseExecutable(words, list);
    else
        MSG_ErrorLine(4609);
    CMN_FreeWords(&words);
}

void ALGMOD_CheckExecutables(const ALGMOD_LIST *list) {
    MSG_ASSERT(list != nullptr);
    size_t count = 0;
    for (const ALGMOD *e = list->entries; e != nullptr; e = e->next)
        ++count;
    if (count == 0)
        return;
    ALGMOD **entries = nullptr;
    size_t *repeated = nullptr;
    if (!CMN_Alloc(&entries, count * sizeof(ALGMOD *)) ||
        !CMN_Alloc(&repeated, count * sizeof(size_t))) {
        MSG_Bug(4602, kSourceName, __LINE__);
        CMN_Free(entries);
        return;
    }
    size_t n = 0;
    for (ALGMOD *e = list->entries; e != nullptr; e = e->next)
        entries[n++] = e;
    CountRepeats(entries, repeated, count);
    const int line = static_cast<int>(list->line);
    for (size_t i = 0; i < count; ++i) {
        const ALGMOD *e = entries[i];
        if (e->bits != 32 && e->bits != 64)
            MSG_Error(4606, e->platform, e->compiler, line);
        // One message per pair: an entry and each later one that repeats it.
        for (size_t k = 0; k < repeated[i]; ++k)
            MSG_Error(4607, e->platform, e->compiler, e->bits, line);
    }
    CMN_Free(entries);
    CMN_Free(repeated);
}

void ALGMOD_Free(ALGMOD_LIST *list) {
    if (list == nullptr)
        return;
    for (ALGMOD *e = list->entries; e != nullptr;) {
        ALGMOD *next = e->next;
        AMIP_FreeTree(&e->tree);
        CMN_Free(e);
        e = next;
    }
    CMN_Free(list);
}

void ALGMOD_CheckModels(MDL *models) {
    for (MDL *m = models; m != nullptr; m = m->next) {
        ALGMOD_LIST *list = m->algorithmicModel;
        if (list == nullptr)
            continue;
        if (list->entries == nullptr)
            MSG_Error(4615, m->name);
        for (ALGMOD *e = list->entries; e != nullptr; e = e->next)
            CheckEntry(e, m->name);
    }
}

AMIP_TREE *ALGMOD_ParseAmiText(void) {
    char *text = PARSE_TakeAmiText();
    // A file of blank and comment lines joins to no text at all: to the
    // parser that is a text that does not start with a parenthesis.
    AMIP_TREE *tree = nullptr;
    const int result = AMIP_Parse(text != nullptr ? text : "", &tree);
    CMN_Free(text);
    switch (result) {
    case AMIP_OK:
        ALGMOD_CheckAmiRoot(tree);
        return tree;
    case AMIP_ERR_UNBALANCED:
    case AMIP_ERR_NESTING:  // a second outermost group: "(A (b 1)) (C (d 2))"
    case AMIP_ERR_ENTRIES:  // a parenthesis that quotes hid from the count
        MSG_Error(4619);
        break;
    case AMIP_ERR_NO_PAREN:
        MSG_Error(4620);
        break;
    case AMIP_ERR_NO_GROUP:
    case AMIP_ERR_CLOSE:
        MSG_Error(4635);
        break;
    case AMIP_ERR_BOUNDS:
        MSG_Error(4634);
        break;
    default:
        MSG_Bug(4621);
        break;
    }
    return nullptr;
}

void ALGMOD_CheckAmiFile(void) {
    AMIP_TREE *tree = ALGMOD_ParseAmiText();
    AMIP_FreeTree(&tree);
}

int ALGMOD_FileExists(const char *name) {
    MSG_ASSERT(name != nullptr);
    return CMN_FileExists(name);
}
