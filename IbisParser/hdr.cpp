// File header section: records the header keywords of a file, checks their
// values and sets the global IBIS version from [IBIS Ver].
#define MSG_SRC MSGSRC_HDR
#include "IbisParser/hdr.h"

#include <cctype>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/ibis.h"
#include "IbisParser/msg.h"

namespace {

enum Seen { SEEN_IBIS_VER, SEEN_FILE_NAME, SEEN_FILE_REV, SEEN_DATE, SEEN_SOURCE, SEEN_NOTES,
            SEEN_DISCLAIMER, SEEN_COPYRIGHT, SEEN_COUNT };

HDR *s_current = nullptr;
IBIS_KEYWORD s_last = NOT_KEY;
int s_seen[SEEN_COUNT];

void ClearSeen() {
    for (int &f : s_seen)
        f = 0;
}

int GetText(const char *text, const char **out) {
    MSG_ASSERT(out != nullptr);
    if (text == nullptr)
        return 0;
    *out = text;
    return 1;
}

int GetField(const char *field, const char **out) {
    MSG_ASSERT(out != nullptr);
    if (field[0] == '\0')
        return 0;
    *out = field;
    return 1;
}

void AppendTo(int seen, int duplicateCode, char **text, HDR_TEXT_SIZE *size, const char *value) {
    if (duplicateCode != 0 && s_seen[seen]) {
        MSG_ErrorLine(duplicateCode);
        return;
    }
    s_seen[seen] = 1;
    HDR_AppendText(text, size, value);
}

}  // namespace

void HDR_Reset(void) {
    s_current = nullptr;
    s_last = NOT_KEY;
    ClearSeen();
}

void HDR_Init(void) {
    IBIS *root = nullptr;
    if (!IBIS_GetCurrent(&root)) {
        MSG_Bug(1000);
        return;
    }
    HDR *header = nullptr;
    if (CMN_Alloc(&header, sizeof(HDR))) {
        IBIS_AddHeader(root, header);
        s_current = header;
    } else {
        MSG_Error(1006);
        s_current = nullptr;
    }
    ClearSeen();
}

void HDR_ParseLine(int lineType, IBIS_KEYWORD code, char *text) {
    MSG_ASSERT(text != nullptr);
    if (lineType != LINE_KEYWORD && lineType != LINE_DATA) {
        MSG_BugLine(1004);
        return;
    }
    if (s_current == nullptr) {
        MSG_ErrorLine(lineType == LINE_KEYWORD ? 1001 : 1002);
        return;
    }
    HDR *h = s_current;
    if (lineType == LINE_DATA) {
        switch (s_last) {
        case KW_SOURCE: HDR_AppendText(&h->source, &h->source_size, text); break;
        case KW_NOTES: HDR_AppendText(&h->notes, &h->notes_size, text); break;
        case KW_DISCLAIMER: HDR_AppendText(&h->disclaimer, &h->disclaimer_size, text); break;
        case KW_COPYRIGHT: HDR_AppendText(&h->copyright, &h->copyright_size, text); break;
        default: MSG_ErrorLine(1002); break;
        }
        return;
    }
    s_last = code;
    char *rest = text;
    CMN_SkipPastBracket(&rest);
    switch (code) {
    case KW_IBIS_VER: HDR_ParseIbisVer(rest); break;
    case KW_FILE_NAME: HDR_ParseFileName(rest); break;
    case KW_FILE_REV: HDR_ParseFileRev(rest); break;
    case KW_DATE: HDR_ParseDate(rest); break;
    case KW_SOURCE: HDR_ParseSource(rest); break;
    case KW_NOTES: HDR_ParseNotes(rest); break;
    case KW_DISCLAIMER: HDR_ParseDisclaimer(rest); break;
    case KW_COPYRIGHT: HDR_ParseCopyright(rest); break;
    default: MSG_BugLine(1003); break;
    }
}

void HDR_EndKeyword(IBIS_KEYWORD nextCode) {
    if (s_current == nullptr)
        return;
    if (nextCode == KW_IBIS_VER) {
        MSG_ErrorLine(1005);
        return;
    }
    if (nextCode >= KW_FILE_NAME && nextCode <= KW_COPYRIGHT)
        return;
    CMN_CheckRequired("IBIS_Version", s_seen[SEEN_IBIS_VER]);
    CMN_CheckRequired("File_name", s_seen[SEEN_FILE_NAME]);
    CMN_CheckRequired("File_Rev", s_seen[SEEN_FILE_REV]);
    s_current = nullptr;
}

void HDR_ParseIbisVer(const char *value) {
    MSG_ASSERT(s_current != nullptr && value != nullptr);
    s_seen[SEEN_IBIS_VER] = 1;
    CMN_SetField(s_current->ibis_ver, value, 70, "IBIS_Ver");
    if (PARSE_GetForceVersion50()) {
        PARSE_SetIbisVersion(5);
        return;
    }
    const char *v = s_current->ibis_ver;
    if (v[0] == '\0')
        return;  // reported as empty; the version stays
    static const char *const kAccepted[] = {"2.0", "2.1", "3.0", "3.1", "3.2",
                                            "4.0", "4.1", "4.2", "5.0"};
    bool ok = PARSE_GetAcceptVersion1() && strncmp(v, "1.", 2) == 0;
    for (const char *a : kAccepted)
        ok = ok || strcmp(v, a) == 0;
    if (!ok) {
        MSG_ErrorLine(1008, v);
        return;
    }
    PARSE_SetIbisVersion(v[0] - '0');
}

void HDR_ParseFileName(const char *value) {
    MSG_ASSERT(s_current != nullptr && value != nullptr);
    if (s_seen[SEEN_FILE_NAME]) {
        MSG_ErrorLine(1009);
        return;
    }
    s_seen[SEEN_FILE_NAME] = 1;
    char *name = s_current->file_name;
    int version = PARSE_GetIbisVersion();
    if (version < 3)
        CMN_SetField(name, value, 12, "File_name");
    else
        CMN_SetTextField(name, value, version == 3 ? 24 : 44, "File_name");
    if (PARSE_GetNoFileNameCheck() || name[0] == '\0')
        return;

    int periods = 0;
    for (const char *p = name; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (isupper(c))
            MSG_ErrorLine(1010, name, *p);
        else if (!isalnum(c) && strchr("!#$%&'()-^_{}~@`.", c) == nullptr)
            MSG_ErrorLine(1011, name, *p);
        if (c == '.' && ++periods > 1)
            MSG_ErrorLine(1012, name);
    }
    if (periods == 0)
        MSG_ErrorLine(1013, name);
    char opened[PARSE_MAX_NAME + 1];
    PARSE_GetFileName(opened);
    if (!CMN_StrEqualNoCase(opened, name))
        MSG_ErrorLine(1014, opened, name);
    CMN_CheckReservedWord(name);
}

void HDR_ParseFileRev(const char *value) {
    MSG_ASSERT(s_current != nullptr && value != nullptr);
    if (s_seen[SEEN_FILE_REV]) {
        MSG_ErrorLine(1015);
        return;
    }
    s_seen[SEEN_FILE_REV] = 1;
    CMN_SetField(s_current->file_rev, value, 70, "File_Rev");
    CMN_CheckReservedWord(s_current->file_rev);
}

void HDR_ParseDate(const char *value) {
    MSG_ASSERT(s_current != nullptr && value != nullptr);
    if (s_seen[SEEN_DATE]) {
        MSG_ErrorLine(1016);
        return;
    }
    s_seen[SEEN_DATE] = 1;
    CMN_SetField(s_current->date, value, 40, "Date");
    CMN_CheckReservedWord(s_current->date);
}

void HDR_ParseSource(const char *value) {
    MSG_ASSERT(s_current != nullptr && value != nullptr);
    AppendTo(SEEN_SOURCE, 1017, &s_current->source, &s_current->source_size, value);
}

void HDR_ParseNotes(const char *value) {
    MSG_ASSERT(s_current != nullptr && value != nullptr);
    AppendTo(SEEN_NOTES, 1018, &s_current->notes, &s_current->notes_size, value);
}

void HDR_ParseDisclaimer(const char *value) {
    MSG_ASSERT(s_current != nullptr && value != nullptr);
    AppendTo(SEEN_DISCLAIMER, 0, &s_current->disclaimer, &s_current->disclaimer_size, value);
}

void HDR_ParseCopyright(const char *value) {
    MSG_ASSERT(s_current != nullptr && value != nullptr);
    AppendTo(SEEN_COPYRIGHT, 1019, &s_current->copyright, &s_current->copyright_size, value);
}

int HDR_AppendText(char **text, HDR_TEXT_SIZE *size, const char *line) {
    MSG_ASSERT(text != nullptr && size != nullptr && line != nullptr);
    size_t old = *text != nullptr ? size->length : 0;
    size_t sep = *text != nullptr ? 1 : 0;
    size_t add = strlen(line);
    size_t need = old + sep + add + 1;
    if (need > HDR_MAX_TEXT) {
        if (!size->full)
            MSG_ErrorLine(1020);
        size->full = 1;
        return 0;
    }
    MSG_ASSERT(*text != nullptr || size->room == 0);
    if (!CMN_Grow(text, &size->room, need, 64)) {
        MSG_ErrorLine(1020);
        return 0;
    }
    if (sep)
        (*text)[old] = '\n';
    memcpy(*text + old + sep, line, add + 1);
    size->length = old + sep + add;
    return 1;
}

void HDR_SetNext(HDR *record, HDR *next) {
    MSG_ASSERT(record != nullptr);
    record->next = next;
}

void HDR_Free(HDR *list) {
    while (list != nullptr) {
        HDR *next = list->next;
        if (list == s_current)
            s_current = nullptr;
        CMN_Free(list->source);
        CMN_Free(list->notes);
        CMN_Free(list->disclaimer);
        CMN_Free(list->copyright);
        CMN_Free(list);
        list = next;
    }
}

int HDR_GetVersion(const HDR *r, const char **out) { MSG_ASSERT(r); return GetField(r->ibis_ver, out); }
int HDR_GetFileName(const HDR *r, const char **out) { MSG_ASSERT(r); return GetField(r->file_name, out); }
int HDR_GetFileRev(const HDR *r, const char **out) { MSG_ASSERT(r); return GetField(r->file_rev, out); }
int HDR_GetDate(const HDR *r, const char **out) { MSG_ASSERT(r); return GetField(r->date, out); }
int HDR_GetSource(const HDR *r, const char **out) { MSG_ASSERT(r); return GetText(r->source, out); }
int HDR_GetNotes(const HDR *r, const char **out) { MSG_ASSERT(r); return GetText(r->notes, out); }
int HDR_GetDisclaimer(const HDR *r, const char **out) { MSG_ASSERT(r); return GetText(r->disclaimer, out); }
int HDR_GetCopyright(const HDR *r, const char **out) { MSG_ASSERT(r); return GetText(r->copyright, out); }
