// File reader and keyword dispatcher: reads an IBIS, package or board file
// line by line and drives the section handlers; reads .ami files into one
// joined text.
#define MSG_SRC MSGSRC_PARSE
#include "IbisParser/parse.h"

#include <algorithm>
#include <cstring>

#include "IbisParser/cmn.h"
#include "IbisParser/msg.h"

namespace {

const char kSourceName[] = "IbisParser/parse";

// Keyword names by code, as the tables hold them.
const char *const kNames[NOT_KEY + 1] = {
    "IBIS_VER", "COMMENT_CHAR", "FILE_NAME", "FILE_REV", "DATE", "SOURCE", "NOTES",
    "DISCLAIMER", "COPYRIGHT", "COMPONENT", "MANUFACTURER", "PACKAGE", "PIN",
    "PACKAGE_MODEL", "PIN_MAPPING", "DIFF_PIN", "SERIES_SWITCH_GROUPS",
    "SERIES_PIN_MAPPING", "ALTERNATE_PACKAGE_MODELS", "END_ALTERNATE_PACKAGE_MODELS",
    "NODE_DECLARATIONS", "END_NODE_DECLARATIONS", "CIRCUIT_CALL", "END_CIRCUIT_CALL",
    "EXTERNAL_CIRCUIT", "END_EXTERNAL_CIRCUIT", "BEGIN_EMI_COMPONENT",
    "END_EMI_COMPONENT", "PIN_EMI", "PIN_DOMAIN_EMI", "EXTERNAL_MODEL",
    "END_EXTERNAL_MODEL", "MODEL", "TEMPERATURE_RANGE", "VOLTAGE_RANGE",
    "PULLUP_REFERENCE", "PULLDOWN_REFERENCE", "POWER_CLAMP_REFERENCE",
    "GND_CLAMP_REFERENCE", "EXTERNAL_REFERENCE", "PULLDOWN", "PULLUP", "GND_CLAMP",
    "POWER_CLAMP", "RGND", "RPOWER", "RAC", "CAC", "RAMP", "RISING_WAVEFORM",
    "FALLING_WAVEFORM", "TTGND", "TTPOWER", "MODEL_SPEC", "RECEIVER_THRESHOLDS",
    "DRIVER_SCHEDULE", "ON", "OFF", "R_SERIES", "L_SERIES", "RL_SERIES", "C_SERIES",
    "LC_SERIES", "RC_SERIES", "SERIES_CURRENT", "SERIES_MOSFET", "ADD_SUBMODEL",
    "ALGORITHMIC_MODEL", "END_ALGORITHMIC_MODEL", "ISSO_PD", "ISSO_PU",
    "COMPOSITE_CURRENT", "BEGIN_EMI_MODEL", "END_EMI_MODEL", "DEFINE_PACKAGE_MODEL",
    "MANUFACTURER", "OEM", "DESCRIPTION", "NUMBER_OF_PINS", "PIN_NUMBERS",
    "MODEL_DATA", "RESISTANCE_MATRIX", "INDUCTANCE_MATRIX", "CAPACITANCE_MATRIX",
    "BANDWIDTH", "ROW", "END_MODEL_DATA", "END_PACKAGE_MODEL", "NUMBER_OF_SECTIONS",
    "BEGIN_BOARD_DESCRIPTION", "MANUFACTURER", "NUMBER_OF_PINS", "PIN_LIST",
    "PATH_DESCRIPTION", "REFERENCE_DESIGNATOR_MAP", "END_BOARD_DESCRIPTION",
    "MODEL_SELECTOR", "SUBMODEL", "SUBMODEL_SPEC", "GND_PULSE_TABLE",
    "POWER_PULSE_TABLE", "PULLDOWN", "PULLUP", "GND_CLAMP", "POWER_CLAMP", "RAMP",
    "RISING_WAVEFORM", "FALLING_WAVEFORM", "TEST_DATA", "RISING_WAVEFORM_NEAR",
    "RISING_WAVEFORM_FAR", "FALLING_WAVEFORM_NEAR", "FALLING_WAVEFORM_FAR",
    "DIFF_RISING_WAVEFORM_NEAR", "DIFF_RISING_WAVEFORM_FAR",
    "DIFF_FALLING_WAVEFORM_NEAR", "DIFF_FALLING_WAVEFORM_FAR", "TEST_LOAD", "END",
    "NOT_KEY"};

// Whether code lies in the run of codes from first to last.
bool In(int code, IBIS_KEYWORD first, IBIS_KEYWORD last) { return code >= first && code <= last; }

// The codes sorted by name, equal names in code order: a keyword line finds
// its name by binary search instead of comparing it with every name.
struct KeywordOrder {
    int codes[NOT_KEY];

    static const KeywordOrder &Get() {
        static const KeywordOrder order;
        return order;
    }

    // First position whose name is not below `name`.
    size_t LowerBound(const char *name) const {
        size_t lo = 0, hi = NOT_KEY;
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            if (strcmp(kNames[codes[mid]], name) < 0)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }

private:
    KeywordOrder() {
        for (int c = 0; c < NOT_KEY; ++c)
            codes[c] = c;
        std::stable_sort(codes, codes + NOT_KEY,
                         [](int a, int b) { return strcmp(kNames[a], kNames[b]) < 0; });
    }
};

// Codes each version's table admits (tableVersion 21, 32, 42, 50).
bool Admitted(int tableVersion, int code) {
    switch (tableVersion) {
    case 21:
        return In(code, KW_IBIS_VER, KW_DIFF_PIN) || In(code, KW_MODEL, KW_GND_CLAMP_REFERENCE) ||
               In(code, KW_PULLDOWN, KW_FALLING_WAVEFORM) ||
               In(code, KW_DEFINE_PACKAGE_MODEL, KW_END_PACKAGE_MODEL) || code == KW_END;
    case 32:
        return In(code, KW_IBIS_VER, KW_SERIES_PIN_MAPPING) || In(code, KW_MODEL, KW_MODEL_SPEC) ||
               In(code, KW_DRIVER_SCHEDULE, KW_ADD_SUBMODEL) ||
               In(code, KW_DEFINE_PACKAGE_MODEL, KW_SUB_FALLING_WAVEFORM) || code == KW_END;
    case 42:
        return In(code, KW_IBIS_VER, KW_END_EXTERNAL_CIRCUIT) ||
               In(code, KW_EXTERNAL_MODEL, KW_ADD_SUBMODEL) || In(code, KW_DEFINE_PACKAGE_MODEL, KW_END);
    default:
        return In(code, KW_IBIS_VER, KW_END);
    }
}

// Section whose end handler runs when a new keyword follows `code`.
PARSE_SECTION EndOwner(int v, int code) {
    if (code == KW_IBIS_VER || In(code, KW_FILE_NAME, KW_COPYRIGHT))
        return SECTION_HEADER;
    switch (v) {
    case 21:
        if (In(code, KW_COMPONENT, KW_DIFF_PIN)) return SECTION_COMPONENT;
        if (In(code, KW_MODEL, KW_GND_CLAMP_REFERENCE) || In(code, KW_PULLDOWN, KW_FALLING_WAVEFORM))
            return SECTION_MODEL;
        if (In(code, KW_DEFINE_PACKAGE_MODEL, KW_END_PACKAGE_MODEL)) return SECTION_PKGMDL;
        return SECTION_NONE;
    case 32:
        if (In(code, KW_COMPONENT, KW_SERIES_PIN_MAPPING)) return SECTION_COMPONENT;
        if (In(code, KW_EXTERNAL_MODEL, KW_MODEL_SPEC) || In(code, KW_DRIVER_SCHEDULE, KW_ADD_SUBMODEL))
            return SECTION_MODEL;
        break;
    case 42:
        if (In(code, KW_COMPONENT, KW_END_CIRCUIT_CALL)) return SECTION_COMPONENT;
        if (In(code, KW_EXTERNAL_MODEL, KW_ADD_SUBMODEL)) return SECTION_MODEL;
        break;
    default:
        if (In(code, KW_COMPONENT, KW_END_CIRCUIT_CALL) ||
            In(code, KW_BEGIN_EMI_COMPONENT, KW_PIN_DOMAIN_EMI))
            return SECTION_COMPONENT;
        if (In(code, KW_EXTERNAL_MODEL, KW_END_EMI_MODEL)) return SECTION_MODEL;
        break;
    }
    if (In(code, KW_DEFINE_PACKAGE_MODEL, KW_NUMBER_OF_SECTIONS)) return SECTION_PKGMDL;
    if (In(code, KW_BEGIN_BOARD_DESCRIPTION, KW_END_BOARD_DESCRIPTION)) return SECTION_EBDMDL;
    if (code == KW_MODEL_SELECTOR) return SECTION_MSEL;
    if (In(code, KW_SUBMODEL, KW_SUB_FALLING_WAVEFORM)) return SECTION_SUBMDL;
    if (v >= 42) {
        if (In(code, KW_TEST_DATA, KW_DIFF_FALLING_WAVEFORM_FAR)) return SECTION_TESTDATA;
        if (code == KW_TEST_LOAD) return SECTION_TESTLOAD;
    }
    return SECTION_NONE;
}

// Section whose line handler takes lines while `code` is current. The board,
// selector, submodel and test sections take their codes in every version:
// 2.1 can only reach them through a context remap.
PARSE_SECTION LineOwner(int v, int code) {
    if (code == KW_EXTERNAL_CIRCUIT || code == KW_END_EXTERNAL_CIRCUIT)
        return SECTION_EXTCKT;
    if (v == 21 && code == KW_NUMBER_OF_SECTIONS)
        return SECTION_NONE;
    PARSE_SECTION s = EndOwner(v, code);
    if (s != SECTION_NONE)
        return s;
    if (In(code, KW_BEGIN_BOARD_DESCRIPTION, KW_END_BOARD_DESCRIPTION)) return SECTION_EBDMDL;
    if (code == KW_MODEL_SELECTOR) return SECTION_MSEL;
    if (In(code, KW_SUBMODEL, KW_SUB_FALLING_WAVEFORM)) return SECTION_SUBMDL;
    if (In(code, KW_TEST_DATA, KW_DIFF_FALLING_WAVEFORM_FAR)) return SECTION_TESTDATA;
    if (code == KW_TEST_LOAD) return SECTION_TESTLOAD;
    return SECTION_NONE;
}

bool KindAdmits(int v, PARSE_SECTION s, int kind) {
    switch (s) {
    case SECTION_HEADER:
        return true;
    case SECTION_PKGMDL:
        return v == 21 || kind == FILE_IBS || kind == FILE_PKG;
    case SECTION_EBDMDL:
        return kind == FILE_EBD;
    default:
        return kind == FILE_IBS;
    }
}

int s_version = 0;
int s_noLengthCheck = 0;
int s_noBanner = 0;
int s_noFileNameCheck = 0;
int s_acceptVersion1 = 0;
int s_forceVersion50 = 0;

char s_commentChar = '|';
IBIS_KEYWORD s_current = NOT_KEY;
int s_kind = 0;
unsigned long s_line = 0;
char s_fileName[PARSE_MAX_NAME + 1];
int s_tabWarned = 0;
int s_ibisVerSeen = 0;
int s_endSeen = 0;
int s_inSubmodel = 0;
int s_unterminated = 0;

char *s_amiText = nullptr;
size_t s_amiLength = 0;
size_t s_amiCapacity = 0;
bool s_amiCut = false;  // the text lacks part of the file: it is not parsed

int Flag(int f) { return f != 0 ? 1 : 0; }

void SetLine(unsigned long n) {
    s_line = n;
    MSG_SetLineNumber(n);
}

// Removes one trailing line feed from a line of `len` characters (holding a
// tab or not), then checks its length (when asked) and tabs. Returns the
// length left.
size_t CheckLine(char *line, size_t len, bool tab, bool checkLength) {
    if (len > 0 && line[len - 1] == '\n')
        line[--len] = '\0';
    int limit = s_version < 4 ? 80 : 120;
    if (checkLength && len > static_cast<size_t>(limit))
        MSG_ErrorLine(905, limit);
    if (!s_tabWarned && tab) {
        MSG_WarningLine(921);
        s_tabWarned = 1;
    }
    return len;
}

size_t CheckLine(char *line, bool checkLength) {
    const size_t len = strlen(line);
    return CheckLine(line, len, memchr(line, '\t', len) != nullptr, checkLength);
}

// Cuts text (of `len` characters) at the comment character, then trims its
// right end as CMN_TrimRight does, keeping the first character.
void CutComment(char *text, size_t len) {
    const char *c = static_cast<const char *>(memchr(text, s_commentChar, len));
    if (c != nullptr) {
        len = static_cast<size_t>(c - text);
        text[len] = '\0';
    }
    while (len > 1 && CMN_IsSpace(text[len - 1]))
        text[--len] = '\0';
}

void Begin(int v, int kind, IBIS_KEYWORD code) {
    PARSE_SECTION s = SECTION_NONE;
    bool ibsOnly = true;
    switch (code) {
    case KW_IBIS_VER:
        if (s_ibisVerSeen)
            MSG_ErrorLine(910);
        s_ibisVerSeen = 1;
        if (PARSE_sections[SECTION_HEADER].init)
            PARSE_sections[SECTION_HEADER].init();
        return;
    case KW_COMPONENT: s = SECTION_COMPONENT; break;
    case KW_EXTERNAL_CIRCUIT: s = SECTION_EXTCKT; break;
    case KW_MODEL: s = SECTION_MODEL; break;
    case KW_MODEL_SELECTOR: s = SECTION_MSEL; break;
    case KW_SUBMODEL: s = SECTION_SUBMDL; break;
    case KW_TEST_DATA: s = SECTION_TESTDATA; break;
    case KW_TEST_LOAD: s = SECTION_TESTLOAD; break;
    case KW_DEFINE_PACKAGE_MODEL:
        s = SECTION_PKGMDL;
        ibsOnly = false;
        if (kind == FILE_EBD && v != 21) {
            MSG_ErrorLine(912);
            return;
        }
        break;
    case KW_BEGIN_BOARD_DESCRIPTION:
        s = SECTION_EBDMDL;
        ibsOnly = false;
        if (kind == FILE_IBS) {
            MSG_ErrorLine(913);
            return;
        }
        if (kind == FILE_PKG) {
            MSG_ErrorLine(911);
            return;
        }
        break;
    default:
        return;
    }
    if (ibsOnly && kind == FILE_PKG) {
        MSG_ErrorLine(911);
        return;
    }
    if (ibsOnly && kind == FILE_EBD) {
        MSG_ErrorLine(912);
        return;
    }
    if (PARSE_sections[s].init)
        PARSE_sections[s].init();
}

void DispatchCode(int v, int kind, int lineType, IBIS_KEYWORD code, char *text) {
    if (v != 21) {
        if (code == KW_MODEL)
            s_inSubmodel = 0;
        else if (code == KW_SUBMODEL)
            s_inSubmodel = 1;
    }
    if (code == KW_END) {
        char *rest = text;
        CMN_SkipPastBracket(&rest);
        if (*rest != '\0')
            MSG_ErrorLine(920);
        s_endSeen = 1;
        return;
    }
    if (code == NOT_KEY) {
        MSG_ErrorLine(907, text);
        return;
    }
    PARSE_SECTION s = LineOwner(v, code);
    if (s == SECTION_NONE) {
        MSG_BugLine(908, kSourceName, __LINE__);
        return;
    }
    if (KindAdmits(v, s, kind) && PARSE_sections[s].parseLine)
        PARSE_sections[s].parseLine(lineType, code, text);
}

void Dispatch(int v, int kind, int lineType, char *text) {
    MSG_ASSERT(text != nullptr);
    MSG_ASSERT(kind == FILE_IBS || kind == FILE_PKG || kind == FILE_EBD);
    s_kind = kind;
    if (lineType == LINE_KEYWORD) {
        if (v != 21 && s_unterminated) {
            MSG_ErrorLine(909);
            s_unterminated = 0;
        }
        IBIS_KEYWORD previous = s_current;
        IBIS_KEYWORD code = PARSE_MatchKeyword(text, previous, v);
        s_current = code;
        if (code == NOT_KEY)
            return;  // the open section is not ended
        PARSE_SECTION owner = EndOwner(v, previous);
        if (owner != SECTION_NONE && PARSE_sections[owner].endKeyword)
            PARSE_sections[owner].endKeyword(code);
        Begin(v, kind, code);
        DispatchCode(v, kind, LINE_KEYWORD, code, text);
    } else {
        MSG_ASSERT(lineType == LINE_DATA);
        DispatchCode(v, kind, LINE_DATA, s_current, text);
    }
}

void DispatchByVersion(int kind, int lineType, char *text) {
    if (s_version <= 2)
        PARSE_DispatchLine21(kind, lineType, text);
    else if (s_version == 3)
        PARSE_DispatchLine32(kind, lineType, text);
    else if (s_version == 4)
        PARSE_DispatchLine42(kind, lineType, text);
    else
        PARSE_DispatchLine50(kind, lineType, text);
}

void PrintBanner(const char *path, const char *version) {
    if (s_noBanner)
        return;
    FILE *out = MSG_GetOutput();
    fprintf(out, "\nChecking %s for IBIS %s Compatibility...\n\n", path, version);
    fflush(out);
}

// Appends one .ami line to the joined text, one blank after the previous line
// so that values on adjacent lines stay apart.
void AppendAmi(const char *text) {
    if (s_amiCut)
        return;  // reported once
    size_t add = strlen(text);
    size_t sep = s_amiLength > 0 ? 1 : 0;
    size_t need = s_amiLength + sep + add + 1;
    if (need > PARSE_MAX_AMI_TEXT + 1) {
        MSG_ErrorLineText("AMI parameter text longer than %lu characters; the parameters are not checked.",
                          static_cast<unsigned long>(PARSE_MAX_AMI_TEXT));
        s_amiCut = true;
        return;
    }
    if (!CMN_Grow(&s_amiText, &s_amiCapacity, need, 256, PARSE_MAX_AMI_TEXT + 1)) {
        MSG_Error(922, kSourceName, __LINE__);
        s_amiCut = true;
        return;
    }
    if (sep)
        s_amiText[s_amiLength++] = ' ';
    memcpy(s_amiText + s_amiLength, text, add + 1);
    s_amiLength += add;
}

bool OpensDescription(const char *p) {
    if (*p != '(')
        return false;
    ++p;
    CMN_SkipBlanks(&p);
    return strncmp(p, "Description", 11) == 0;
}

int ParseAmiFile(const char *path) {
    PrintBanner(path, "5.0");
    PARSE_Reset();
    PARSE_FreeAmiText();
    s_amiCut = false;
    s_kind = FILE_AMI;

    FILE *file = nullptr;
    if (!CMN_OpenFile(path, FILE_AMI, &file, s_fileName))
        return 0;
    rewind(file);
    bool inDescription = false;
    size_t size = 0;
    char *line;
    // The line number is set before reading so that characters refused by
    // the line reader are reported on their own line.
    for (;;) {
        MSG_SetLineNumber(s_line + 1);
        int state = CMN_LINE_WHOLE;
        line = CMN_ReadLineAlloc(&size, file, &state);
        if (line == nullptr) {
            // A line that could not be held ends the read as a failed one:
            // the text joined so far is not the file's.
            s_amiCut = s_amiCut || state == CMN_LINE_NO_MEMORY;
            break;
        }
        s_amiCut = s_amiCut || state == CMN_LINE_CUT;  // the reader has said so
        SetLine(s_line + 1);
        const size_t length = CheckLine(line, false);  // .ami lines have no length limit
        const int type = PARSE_ClassifyAmiLine(line);
        if (type != LINE_BLANK) {
            if (type != LINE_DATA)
                inDescription = type == LINE_AMI_DESCRIPTION;
            char *p = line;
            CMN_SkipBlanks(&p);
            if (inDescription && strlen(line) > 120)
                MSG_ErrorLine(923, static_cast<int>(s_line), 120);
            CutComment(p, length - static_cast<size_t>(p - line));
            AppendAmi(p);
        }
        CMN_Free(line);
    }
    MSG_SetLineNumber(s_line);
    fclose(file);
    if (s_amiCut) {
        // What is left of the text would give messages about what was cut.
        PARSE_FreeAmiText();
        return 0;
    }
    return 1;
}

}  // namespace

int PARSE_GetIbisVersion(void) { return s_version; }
void PARSE_SetIbisVersion(int version) { s_version = version; }

int PARSE_SetNoLengthCheck(int flag) { return s_noLengthCheck = Flag(flag); }
int PARSE_SetNoBanner(int flag) { return s_noBanner = Flag(flag); }
int PARSE_SetNoFileNameCheck(int flag) { return s_noFileNameCheck = Flag(flag); }
int PARSE_SetAcceptVersion1(int flag) { return s_acceptVersion1 = Flag(flag); }
int PARSE_SetForceVersion50(int flag) { return s_forceVersion50 = Flag(flag); }
int PARSE_GetNoFileNameCheck(void) { return s_noFileNameCheck; }
int PARSE_GetAcceptVersion1(void) { return s_acceptVersion1; }
int PARSE_GetForceVersion50(void) { return s_forceVersion50; }

void PARSE_Reset(void) {
    s_commentChar = '|';
    s_current = NOT_KEY;
    s_tabWarned = 0;
    s_ibisVerSeen = 0;
    s_endSeen = 0;
    s_inSubmodel = 0;
    s_unterminated = 0;
    SetLine(0);
    s_fileName[0] = '\0';
}

void PARSE_GetFileName(char *buffer) {
    MSG_ASSERT(buffer != nullptr);
    CMN_StrNCopy(buffer, s_fileName, PARSE_MAX_NAME);
}

char PARSE_GetCommentChar(void) { return s_commentChar; }
IBIS_KEYWORD PARSE_GetCurrentKeyword(void) { return s_current; }
int PARSE_GetFileKind(void) { return s_kind; }
void PARSE_SetUnterminated(int flag) { s_unterminated = Flag(flag); }
int PARSE_GetUnterminated(void) { return s_unterminated; }

void PARSE_GetKeywordName(int code, char *buffer) {
    MSG_ASSERT(buffer != nullptr);
    if (code >= 0 && code < NOT_KEY && Admitted(21, code)) {
        CMN_StrNCopy(buffer, kNames[code], PARSE_MAX_KEYWORD);
        return;
    }
    MSG_BugLine(904);
    CMN_StrNCopy(buffer, "Unknown enumerated keyword code", PARSE_MAX_KEYWORD);
}

int PARSE_SetCommentChar(const char *text) {
    MSG_ASSERT(text != nullptr);
    const char *p = text;
    CMN_SkipBlanks(&p);
    if (p[0] == '\0' || strncmp(p + 1, "_char", 5) != 0) {
        MSG_ErrorLine(917);
        return 0;
    }
    static const char kRefused[] =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ[]._/=+-";
    if (strchr(kRefused, p[0]) != nullptr) {
        MSG_ErrorLine(918, p[0]);
        return 0;
    }
    s_commentChar = p[0];
    p += 6;
    CMN_SkipBlanks(&p);
    if (*p != '\0' && *p != s_commentChar)
        MSG_ErrorLine(919);
    return 1;
}

IBIS_KEYWORD PARSE_MatchKeyword(const char *text, IBIS_KEYWORD previous, int tableVersion) {
    MSG_ASSERT(text != nullptr);
    const char *start = text[0] == '[' ? text + 1 : text;
    const char *close = strchr(start, ']');
    if (close == nullptr) {
        MSG_ErrorLine(914);
        return NOT_KEY;
    }
    size_t len = static_cast<size_t>(close - start);
    if (len == 0 || len > PARSE_MAX_KEYWORD) {
        MSG_ErrorLine(915);
        return NOT_KEY;
    }
    // Blanks of the name compare as '_'; an unknown name is reported as
    // compared, with its blanks turned.
    char name[PARSE_MAX_KEYWORD + 1];
    char upper[PARSE_MAX_KEYWORD + 1];
    for (size_t i = 0; i < len; ++i) {
        char ch = start[i] == ' ' ? '_' : start[i];
        name[i] = ch;
        upper[i] = ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
    }
    name[len] = '\0';
    upper[len] = '\0';

    // The first admitted code of that name, in code order. Files repeat
    // keywords ([Row] after [Row]): the last name's place is kept.
    static char lastUpper[PARSE_MAX_KEYWORD + 1];
    static size_t lastPlace = 0;
    const KeywordOrder &order = KeywordOrder::Get();
    if (strcmp(upper, lastUpper) != 0) {
        lastPlace = order.LowerBound(upper);
        memcpy(lastUpper, upper, len + 1);
    }
    int code = NOT_KEY;
    for (size_t i = lastPlace; i < NOT_KEY && strcmp(kNames[order.codes[i]], upper) == 0; ++i) {
        if (Admitted(tableVersion, order.codes[i])) {
            code = order.codes[i];
            break;
        }
    }
    if (code == NOT_KEY) {
        MSG_ErrorLine(916, name);
        return NOT_KEY;
    }
    if (code == KW_MANUFACTURER) {
        if (In(previous, KW_DEFINE_PACKAGE_MODEL, KW_DESCRIPTION))
            code = KW_PKG_MANUFACTURER;
        else if (previous == KW_BEGIN_BOARD_DESCRIPTION || previous == KW_EBD_MANUFACTURER)
            code = KW_EBD_MANUFACTURER;
    }
    if (code == KW_NUMBER_OF_PINS && s_kind == FILE_EBD)
        code = KW_EBD_NUMBER_OF_PINS;
    if (s_inSubmodel) {
        switch (code) {
        case KW_PULLDOWN: code = KW_SUB_PULLDOWN; break;
        case KW_PULLUP: code = KW_SUB_PULLUP; break;
        case KW_GND_CLAMP: code = KW_SUB_GND_CLAMP; break;
        case KW_POWER_CLAMP: code = KW_SUB_POWER_CLAMP; break;
        case KW_RAMP: code = KW_SUB_RAMP; break;
        case KW_RISING_WAVEFORM: code = KW_SUB_RISING_WAVEFORM; break;
        case KW_FALLING_WAVEFORM: code = KW_SUB_FALLING_WAVEFORM; break;
        default: break;
        }
    }
    return static_cast<IBIS_KEYWORD>(code);
}

void PARSE_DispatchLine21(int kind, int lineType, char *text) { Dispatch(21, kind, lineType, text); }
void PARSE_DispatchLine32(int kind, int lineType, char *text) { Dispatch(32, kind, lineType, text); }
void PARSE_DispatchLine42(int kind, int lineType, char *text) { Dispatch(42, kind, lineType, text); }
void PARSE_DispatchLine50(int kind, int lineType, char *text) { Dispatch(50, kind, lineType, text); }

int PARSE_ClassifyAmiLine(const char *line) {
    MSG_ASSERT(line != nullptr);
    const char *p = line;
    CMN_SkipBlanks(&p);
    if (*p == '\0' || *p == s_commentChar)
        return LINE_BLANK;
    if (*p != '(')
        return LINE_DATA;
    return OpensDescription(p) ? LINE_AMI_DESCRIPTION : LINE_AMI_PAREN;
}

char *PARSE_TakeAmiText(void) {
    char *text = s_amiText;
    s_amiText = nullptr;
    s_amiLength = 0;
    s_amiCapacity = 0;
    return text;
}

void PARSE_FreeAmiText(void) { CMN_Free(PARSE_TakeAmiText()); }

int PARSE_ParseFile(const char *path, int kind) {
    MSG_ASSERT(path != nullptr);
    MSG_ASSERT(kind >= FILE_IBS && kind <= FILE_AMI);
    if (kind == FILE_AMI)
        return ParseAmiFile(path);

    static const char *const kBanner[] = {"2.1", "3.2", "4.2", "5.0"};
    int found = CMN_GetIbisVersion(path, nullptr, kind);
    if (found < 2 || found > 5) {
        MSG_Error(900, path);
        return 0;
    }
    PrintBanner(path, kBanner[found - 2]);

    s_kind = kind;
    PARSE_Reset();

    FILE *file = nullptr;
    if (!CMN_OpenFile(path, kind, &file, s_fileName))
        return 0;
    rewind(file);

    char buffer[1024];
    for (;;) {
        MSG_SetLineNumber(s_line + 1);  // see ParseAmiFile
        size_t measured = 0;
        int tab = 0;
        if (CMN_ReadLineMeasured(buffer, sizeof buffer, file, &measured, &tab) == nullptr)
            break;
        SetLine(s_line + 1);
        const size_t length = CheckLine(buffer, measured, tab != 0, !s_noLengthCheck);

        char *p = buffer;
        CMN_SkipBlanks(&p);
        int type;
        if (*p == '[') {
            if (p == buffer) {
                type = LINE_KEYWORD;
            } else if (In(s_current, KW_SOURCE, KW_COPYRIGHT)) {
                type = LINE_DATA;
            } else {
                MSG_ErrorLine(906);
                type = LINE_KEYWORD;
            }
        } else if (*p == '\0' || *p == s_commentChar) {
            type = LINE_BLANK;
        } else {
            type = LINE_DATA;
        }
        if (type == LINE_BLANK)
            continue;
        if (s_endSeen) {
            MSG_ErrorLine(902);
            continue;
        }
        if (type == LINE_KEYWORD && (p[1] == 'C' || p[1] == 'c') &&
            (CMN_StrNEqualNoCase(p, "[COMMENT_CHAR]", 14) ||
             CMN_StrNEqualNoCase(p, "[COMMENT CHAR]", 14))) {
            PARSE_SetCommentChar(p + 14);
            continue;
        }
        CutComment(p, length - static_cast<size_t>(p - buffer));
        DispatchByVersion(kind, type, p);
    }
    MSG_SetLineNumber(s_line);
    if (!s_endSeen) {
        MSG_Error(903);
        char end[] = "[END]";
        DispatchByVersion(kind, LINE_KEYWORD, end);
    }
    fclose(file);
    return 1;
}
