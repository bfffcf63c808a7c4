// [Algorithmic Model]: the Executable entries of a model and their checks.
#define MSG_SRC MSGSRC_ALGMOD
#include "IbisParser/algmod.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "IbisParser/amip.h"
#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"
#include "IbisParser/nameidx.h"

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

void ALGMOD_ParseSubParamLine(const char *text, ALGMOD_LIST *list) {
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
