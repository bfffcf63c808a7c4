// File reader and keyword dispatcher of the IBIS checker.
#pragma once

// Keyword codes. The name tables hold each keyword in upper case with '_' for
// every blank; names used by several sections (MANUFACTURER, NUMBER_OF_PINS,
// the submodel tables) map to the lowest code and the reader remaps by context.
enum IBIS_KEYWORD {
    KW_IBIS_VER = 0,
    KW_COMMENT_CHAR = 1,
    KW_FILE_NAME = 2,
    KW_FILE_REV = 3,
    KW_DATE = 4,
    KW_SOURCE = 5,
    KW_NOTES = 6,
    KW_DISCLAIMER = 7,
    KW_COPYRIGHT = 8,
    KW_COMPONENT = 9,
    KW_MANUFACTURER = 10,
    KW_PACKAGE = 11,
    KW_PIN = 12,
    KW_PACKAGE_MODEL = 13,
    KW_PIN_MAPPING = 14,
    KW_DIFF_PIN = 15,
    KW_SERIES_SWITCH_GROUPS = 16,
    KW_SERIES_PIN_MAPPING = 17,
    KW_ALTERNATE_PACKAGE_MODELS = 18,
    KW_END_ALTERNATE_PACKAGE_MODELS = 19,
    KW_NODE_DECLARATIONS = 20,
    KW_END_NODE_DECLARATIONS = 21,
    KW_CIRCUIT_CALL = 22,
    KW_END_CIRCUIT_CALL = 23,
    KW_EXTERNAL_CIRCUIT = 24,
    KW_END_EXTERNAL_CIRCUIT = 25,
    KW_BEGIN_EMI_COMPONENT = 26,
    KW_END_EMI_COMPONENT = 27,
    KW_PIN_EMI = 28,
    KW_PIN_DOMAIN_EMI = 29,
    KW_EXTERNAL_MODEL = 30,
    KW_END_EXTERNAL_MODEL = 31,
    KW_MODEL = 32,
    KW_TEMPERATURE_RANGE = 33,
    KW_VOLTAGE_RANGE = 34,
    KW_PULLUP_REFERENCE = 35,
    KW_PULLDOWN_REFERENCE = 36,
    KW_POWER_CLAMP_REFERENCE = 37,
    KW_GND_CLAMP_REFERENCE = 38,
    KW_EXTERNAL_REFERENCE = 39,
    KW_PULLDOWN = 40,
    KW_PULLUP = 41,
    KW_GND_CLAMP = 42,
    KW_POWER_CLAMP = 43,
    KW_RGND = 44,
    KW_RPOWER = 45,
    KW_RAC = 46,
    KW_CAC = 47,
    KW_RAMP = 48,
    KW_RISING_WAVEFORM = 49,
    KW_FALLING_WAVEFORM = 50,
    KW_TTGND = 51,
    KW_TTPOWER = 52,
    KW_MODEL_SPEC = 53,
    KW_RECEIVER_THRESHOLDS = 54,
    KW_DRIVER_SCHEDULE = 55,
    KW_ON = 56,
    KW_OFF = 57,
    KW_R_SERIES = 58,
    KW_L_SERIES = 59,
    KW_RL_SERIES = 60,
    KW_C_SERIES = 61,
    KW_LC_SERIES = 62,
    KW_RC_SERIES = 63,
    KW_SERIES_CURRENT = 64,
    KW_SERIES_MOSFET = 65,
    KW_ADD_SUBMODEL = 66,
    KW_ALGORITHMIC_MODEL = 67,
    KW_END_ALGORITHMIC_MODEL = 68,
    KW_ISSO_PD = 69,
    KW_ISSO_PU = 70,
    KW_COMPOSITE_CURRENT = 71,
    KW_BEGIN_EMI_MODEL = 72,
    KW_END_EMI_MODEL = 73,
    KW_DEFINE_PACKAGE_MODEL = 74,
    KW_PKG_MANUFACTURER = 75,
    KW_OEM = 76,
    KW_DESCRIPTION = 77,
    KW_NUMBER_OF_PINS = 78,
    KW_PIN_NUMBERS = 79,
    KW_MODEL_DATA = 80,
    KW_RESISTANCE_MATRIX = 81,
    KW_INDUCTANCE_MATRIX = 82,
    KW_CAPACITANCE_MATRIX = 83,
    KW_BANDWIDTH = 84,
    KW_ROW = 85,
    KW_END_MODEL_DATA = 86,
    KW_END_PACKAGE_MODEL = 87,
    KW_NUMBER_OF_SECTIONS = 88,
    KW_BEGIN_BOARD_DESCRIPTION = 89,
    KW_EBD_MANUFACTURER = 90,
    KW_EBD_NUMBER_OF_PINS = 91,
    KW_PIN_LIST = 92,
    KW_PATH_DESCRIPTION = 93,
    KW_REFERENCE_DESIGNATOR_MAP = 94,
    KW_END_BOARD_DESCRIPTION = 95,
    KW_MODEL_SELECTOR = 96,
    KW_SUBMODEL = 97,
    KW_SUBMODEL_SPEC = 98,
    KW_GND_PULSE_TABLE = 99,
    KW_POWER_PULSE_TABLE = 100,
    KW_SUB_PULLDOWN = 101,
    KW_SUB_PULLUP = 102,
    KW_SUB_GND_CLAMP = 103,
    KW_SUB_POWER_CLAMP = 104,
    KW_SUB_RAMP = 105,
    KW_SUB_RISING_WAVEFORM = 106,
    KW_SUB_FALLING_WAVEFORM = 107,
    KW_TEST_DATA = 108,
    KW_RISING_WAVEFORM_NEAR = 109,
    KW_RISING_WAVEFORM_FAR = 110,
    KW_FALLING_WAVEFORM_NEAR = 111,
    KW_FALLING_WAVEFORM_FAR = 112,
    KW_DIFF_RISING_WAVEFORM_NEAR = 113,
    KW_DIFF_RISING_WAVEFORM_FAR = 114,
    KW_DIFF_FALLING_WAVEFORM_NEAR = 115,
    KW_DIFF_FALLING_WAVEFORM_FAR = 116,
    KW_TEST_LOAD = 117,
    KW_END = 118,
    NOT_KEY = 119
};

// What the reader makes of a line. Section line handlers only see
// LINE_KEYWORD and LINE_DATA.
enum LINE_TYPE {
    LINE_BLANK = 0,
    LINE_KEYWORD = 1,
    LINE_AMI_DESCRIPTION = 2,
    LINE_AMI_PAREN = 3,
    LINE_DATA = 4
};

// The sections that own keywords, whose handlers PARSE_sections holds
// (filled in checkpass.cpp).
enum PARSE_SECTION {
    SECTION_HEADER,
    SECTION_COMPONENT,
    SECTION_EXTCKT,
    SECTION_MODEL,
    SECTION_PKGMDL,
    SECTION_EBDMDL,
    SECTION_MSEL,
    SECTION_SUBMDL,
    SECTION_TESTDATA,
    SECTION_TESTLOAD,
    SECTION_COUNT,
    SECTION_NONE = -1
};

struct PARSE_HANDLERS {
    void (*init)(void);                                    // opening keyword recognised
    void (*parseLine)(int lineType, IBIS_KEYWORD code, char *text);
    void (*endKeyword)(IBIS_KEYWORD nextCode);             // a new keyword arrives
    void (*reset)(void);  // forget every record pointer (new check pass, root destroyed)
};

extern PARSE_HANDLERS PARSE_sections[SECTION_COUNT];

// Longest keyword name looked up.
#define PARSE_MAX_KEYWORD 117
// Most characters of the joined .ami text, so memory stays bounded; a file
// beyond it is reported and its parameters are not parsed.
#define PARSE_MAX_AMI_TEXT (64UL * 1024UL * 1024UL)
// Room of the opened file's name.
#define PARSE_MAX_NAME 1024

// The global IBIS version (0-5): set by [IBIS Ver] only, kept between files.
int PARSE_GetIbisVersion(void);
void PARSE_SetIbisVersion(int version);

// Options (stored as 0/1; the setter returns the stored value).
int PARSE_SetNoLengthCheck(int flag);
int PARSE_SetNoBanner(int flag);
int PARSE_SetNoFileNameCheck(int flag);
int PARSE_SetAcceptVersion1(int flag);
int PARSE_SetForceVersion50(int flag);
int PARSE_GetNoFileNameCheck(void);
int PARSE_GetAcceptVersion1(void);
int PARSE_GetForceVersion50(void);

// Reads one file of the kind: 1 when it was read whole, 0 when it did not
// open, showed no IBIS version (.ibs, .pkg, .ebd) or its .ami text was cut.
int PARSE_ParseFile(const char *path, int kind);
void PARSE_Reset(void);
void PARSE_GetFileName(char *buffer);
char PARSE_GetCommentChar(void);
int PARSE_SetCommentChar(const char *text);
IBIS_KEYWORD PARSE_GetCurrentKeyword(void);
int PARSE_GetFileKind(void);
void PARSE_GetKeywordName(int code, char *buffer);

// Set by the [Series Switch Groups] handler when a group lacks its "/";
// the next keyword line reports and clears it, so the handler reads it back
// to know whether a data line continues its group.
void PARSE_SetUnterminated(int flag);
int PARSE_GetUnterminated(void);

// Keyword lookup in the table of one version (21, 32, 42, 50).
IBIS_KEYWORD PARSE_MatchKeyword(const char *text, IBIS_KEYWORD previous, int tableVersion);

void PARSE_DispatchLine21(int kind, int lineType, char *text);
void PARSE_DispatchLine32(int kind, int lineType, char *text);
void PARSE_DispatchLine42(int kind, int lineType, char *text);
void PARSE_DispatchLine50(int kind, int lineType, char *text);

// An .ami line as LINE_BLANK (blank or a comment), LINE_AMI_DESCRIPTION
// ('(' then Description, blanks between allowed), LINE_AMI_PAREN (another
// '(') or LINE_DATA, blanks before the first character skipped.
int PARSE_ClassifyAmiLine(const char *line);

// The joined text of the last .ami file read. Take hands it over (the caller
// frees it with CMN_Free); Free drops it.
char *PARSE_TakeAmiText(void);
void PARSE_FreeAmiText(void);
