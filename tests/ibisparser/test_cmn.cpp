// Common helpers: allocation, strings, cursors, words, numbers, R/L/C items,
// text fields and reserved words.
#include "tests/ibisparser/TextTest.h"

#include "IbisParser/platform.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

// Huge requests must fail with a null pointer, not stop the sanitizer run.
extern "C" __attribute__((visibility("default"), used)) const char *__asan_default_options() {
  return "allocator_may_return_null=1";
}

namespace {

using CmnTest = TextTest;

TEST_F(CmnTest, FailedAllocationReportsAndLeavesNull) {
  char *p = reinterpret_cast<char *>(&p);
  const size_t huge = (size_t(1) << 62) + 4660; // low 32 bits: 4660
  EXPECT_EQ(CMN_Alloc(&p, huge), 0);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(Output(), "ERROR - Memory allocation failed.  This request 4660.\n\n");
  EXPECT_EQ(Errors(), 1);

  // A failed resize: the pointer becomes null, the old block is the caller's.
  char *q = nullptr;
  ASSERT_EQ(CMN_Alloc(&q, 8), 1);
  char *keep = q;
  EXPECT_EQ(CMN_Realloc(&q, huge), 0);
  EXPECT_EQ(q, nullptr);
  EXPECT_EQ(Output(), "ERROR - Memory reallocation failed.  This request 4660.\n\n");
  CMN_Free(keep);
  EXPECT_EQ(Errors(), 2);
}

TEST_F(CmnTest, AllocationZeroFillsAndResizes) {
  unsigned char *p = nullptr;
  ASSERT_EQ(CMN_Alloc(&p, 64), 1);
  for (int i = 0; i < 64; i++) EXPECT_EQ(p[i], 0);
  p[63] = 7;
  ASSERT_EQ(CMN_Realloc(&p, 4096), 1);
  EXPECT_EQ(p[63], 7);
  CMN_FreeAndClear(&p);
  EXPECT_EQ(p, nullptr);
  // A zero-byte request is no failure.
  ASSERT_EQ(CMN_Alloc(&p, 0), 1);
  EXPECT_NE(p, nullptr);
  CMN_Free(p);
  EXPECT_EQ(Output(), "");
}

TEST_F(CmnTest, GrowthDoublesFromTheFirstSizeAndRefusesOverflow) {
  struct Row {
    size_t room, need, first, wantRoom;
  } rows[] = {
      {0, 1, 16, 16},   {0, 17, 16, 32},  {16, 16, 16, 16}, // fits: nothing to do
      {16, 17, 16, 32}, {10, 11, 16, 16}, {20, 100, 4, 160}, {0, 3, 0, 4},
  };
  for (const Row &r : rows) {
    int *a = nullptr;
    size_t room = 0;
    if (r.room != 0) {
      ASSERT_EQ(CMN_Grow(&a, &room, r.room, r.room), 1);
    }
    for (size_t i = 0; i < room; i++) a[i] = 7;
    ASSERT_EQ(CMN_Grow(&a, &room, r.need, r.first), 1) << r.need;
    EXPECT_EQ(room, r.wantRoom) << r.room << " " << r.need;
    for (size_t i = 0; i < room; i++) EXPECT_EQ(a[i], i < r.room ? 7 : 0) << i;
    CMN_Free(a);
  }
  EXPECT_EQ(Output(), "");

  // The room's own type bounds it: a uint8_t room stops at 255 entries.
  char *c = nullptr;
  uint8_t small = 0;
  ASSERT_EQ(CMN_Grow(&c, &small, 200, 16), 1);
  EXPECT_EQ(small, 255);
  char *kept = c;
  EXPECT_EQ(CMN_Grow(&c, &small, 256, 16), 0);
  EXPECT_EQ(c, kept);
  EXPECT_EQ(small, 255);
  EXPECT_EQ(Output(), "ERROR - Memory reallocation failed.  This request 256.\n\n");
  CMN_Free(c);

  // Entries whose bytes overflow, and a block the allocator refuses: the
  // array and its room stay the caller's.
  double *d = nullptr;
  size_t room = 0;
  ASSERT_EQ(CMN_Grow(&d, &room, 4, 4), 1);
  double *keep = d;
  EXPECT_EQ(CMN_Grow(&d, &room, SIZE_MAX / 4, 4), 0);
  EXPECT_EQ(CMN_Grow(&d, &room, (size_t(1) << 59) + 1, 4), 0);
  EXPECT_EQ(d, keep);
  EXPECT_EQ(room, 4u);
  EXPECT_EQ(Errors(), 3);
  CMN_Free(d);

  Output();

  // A cap the caller names: growth stops there, a need past it is refused.
  struct Capped {
    size_t room, need, maxRoom, wantRoom;
    int ok;
  } capped[] = {{0, 10, 300, 256, 1}, {256, 257, 300, 300, 1}, {300, 301, 300, 300, 0}, {0, 301, 300, 0, 0}};
  for (const Capped &r : capped) {
    char *t = nullptr;
    size_t tRoom = 0;
    if (r.room != 0) {
      ASSERT_EQ(CMN_Grow(&t, &tRoom, r.room, 256, r.maxRoom), 1);
    }
    EXPECT_EQ(CMN_Grow(&t, &tRoom, r.need, 256, r.maxRoom), r.ok) << r.need;
    EXPECT_EQ(tRoom, r.wantRoom) << r.room << " " << r.need;
    CMN_Free(t);
  }
  EXPECT_EQ(Output(), "ERROR - Memory reallocation failed.  This request 301.\n\n"
                      "ERROR - Memory reallocation failed.  This request 301.\n\n");
}

TEST_F(CmnTest, StringCopies) {
  EXPECT_EQ(CMN_StrDup(nullptr), nullptr);
  char *d = CMN_StrDup("abc");
  EXPECT_STREQ(d, "abc");
  CMN_Free(d);
  // Copies of "abc" at most n long: SIZE_MAX copies only what the text holds.
  const struct { size_t n; const char *want; } dups[] = {{0, ""}, {2, "ab"}, {SIZE_MAX, "abc"}};
  for (const auto &r : dups) {
    char *n = CMN_StrNDup("abc", r.n);
    EXPECT_STREQ(n, r.want) << r.n;
    CMN_Free(n);
  }

  char buf[8];
  memset(buf, 'X', sizeof buf);
  EXPECT_EQ(CMN_StrNCopy(buf, "abcdefgh", 5), buf);
  EXPECT_STREQ(buf, "abcde");
  memset(buf, 'X', sizeof buf);
  CMN_StrNCopy(buf, "ab", 5);
  EXPECT_EQ(std::string(buf, 6), std::string("ab\0\0\0\0", 6));
  EXPECT_EQ(buf[6], 'X');
}

TEST_F(CmnTest, CaseInsensitiveCompares) {
  // n 0: the whole-string compare; "ab" and "AB" end together within 5.
  const struct { const char *a, *b; size_t n; int want; } compares[] = {
      {"Package_Model", "PACKAGE_model", 0, 1}, {"abc", "ab", 0, 0}, {"", "", 0, 1}, {"AB", "abc", 2, 1},
      {"A", "ab", 5, 0}, {"ab", "AB", 5, 1}, {"abx", "aby", 3, 0}};
  for (const auto &r : compares)
    EXPECT_EQ(r.n ? CMN_StrNEqualNoCase(r.a, r.b, r.n) : CMN_StrEqualNoCase(r.a, r.b), r.want)
        << r.a << " " << r.b << " " << r.n;

  // The text is lowered and its blanks become underscores either way.
  const struct { const char *keyword, *text; int want; const char *after; } keywords[] = {
      {"Package_Model", "package model", 1, "package_model"},
      {"Pin_Mapping", "pin mapping x", 0, "pin_mapping_x"}};
  for (const auto &r : keywords) {
    std::string text = r.text;
    EXPECT_EQ(CMN_KeywordEqual(r.keyword, &text[0]), r.want) << r.text;
    EXPECT_STREQ(text.c_str(), r.after);
  }

  char s[] = "MiXeD 1";
  EXPECT_STREQ(CMN_StrLower(s), "mixed 1");
  EXPECT_STREQ(CMN_StrUpper(s), "MIXED 1");
}

TEST_F(CmnTest, TrimRightAndBaseName) {
  // Trimming keeps the first character of an all-blank text.
  const struct { const char *in, *trimmed; } trims[] = {{"ab \t\n", "ab"}, {"   ", " "}, {"", ""}};
  for (const auto &r : trims) {
    std::string t = r.in;
    EXPECT_STREQ(CMN_TrimRight(&t[0]), r.trimmed) << r.in;
  }
  const struct { const char *path, *base; } bases[] = {
      {"C:\\models\\sub\\buffer.v2.ibs", "buffer.v2"}, {"models/sub/pkg.pkg", "pkg"}, {"plain", "plain"},
      {"dir.v1/noext", "noext"}};
  for (const auto &r : bases) {
    std::string p = r.path;
    EXPECT_STREQ(CMN_BaseName(&p[0]), r.base) << r.path;
  }

  EXPECT_STREQ(CMN_FormatUnsigned(0), "0");
  EXPECT_STREQ(CMN_FormatUnsigned(4294967295UL), "4294967295");
}

TEST_F(CmnTest, Cursors) {
  const char *line = " \t\r\n x  [Pin]   rest";
  const char *cur = line;
  CMN_SkipBlanks(&cur);
  EXPECT_EQ(*cur, 'x');
  CMN_SkipWord(&cur);
  EXPECT_EQ(cur, line + 6);
  CMN_SkipWord(&cur); // on a blank: stays
  EXPECT_EQ(cur, line + 6);
  EXPECT_EQ(CMN_SkipPastBracket(&cur), 1);
  EXPECT_STREQ(cur, "rest");
  EXPECT_EQ(CMN_SkipPastBracket(&cur), 0);
  EXPECT_EQ(*cur, '\0');

  char buf[] = "[x]";
  char *c = buf;
  EXPECT_EQ(CMN_SkipPastBracket(&c), 1);
  EXPECT_EQ(c, buf + 3);

  const struct { const char *text; int stop, want; } tokens[] = {
      {"abc def", 0, 3}, {"ab=c", '=', 2}, {"ab\tc", '=', 2}, {"", 0, 0}};
  for (const auto &r : tokens) EXPECT_EQ(CMN_TokenLength(r.text, r.stop), r.want) << r.text;
  EXPECT_EQ(CMN_IsSpace('\v'), 1);
  EXPECT_EQ(CMN_IsSpace('a'), 0);

  // A very long run of blanks is passed.
  std::string blanks(1000000, ' ');
  blanks += "z";
  const char *b = blanks.c_str();
  CMN_SkipBlanks(&b);
  EXPECT_EQ(*b, 'z');
}

// Lines split at blanks (separator 0) or also at a separator, each with the
// words stored within the capacity: the slots past them are null, the count
// found takes in those past the capacity and stays after the words are freed.
TEST_F(CmnTest, SplitWords) {
  const struct Row {
    const char *line;
    int capacity, separator, found;
    std::vector<const char *> words;
  } rows[] = {
      {"  a \tbb  ccc  ", 2, 0, 3, {"a", "bb"}},
      {"x y", 0, 0, 2, {}},
      {"one", 4, 0, 1, {"one"}},
      {"a b\r\n", 4, 0, 2, {"a", "b\r\n"}}, // a line end belongs to the word
      {"", 3, 0, 0, {}},
      {"A=B", 5, '=', 3, {"A", "=", "B"}},
      {"a == b", 5, '=', 4, {"a", "=", "=", "b"}},
      {"=", 1, '=', 1, {"="}},
      {"a\xB7" "b", 5, (char)0xB7, 3, {"a", "\xB7", "b"}}, // compared as a byte
  };
  for (const Row &r : rows) {
    WORD_LIST w;
    ASSERT_EQ(r.separator ? CMN_SplitWordsAt(r.line, r.capacity, r.separator, &w)
                          : CMN_SplitWords(r.line, r.capacity, &w),
              1)
        << r.line;
    EXPECT_EQ(w.capacity, r.capacity) << r.line;
    EXPECT_EQ(w.found, r.found) << r.line;
    ASSERT_EQ(w.stored, static_cast<int32_t>(r.words.size())) << r.line;
    for (int k = 0; k < w.capacity; ++k) {
      if (k < w.stored) {
        EXPECT_STREQ(w.words[k], r.words[k]) << r.line << " " << k;
      } else {
        EXPECT_EQ(w.words[k], nullptr) << r.line << " " << k;
      }
    }
    CMN_FreeWords(&w);
    EXPECT_EQ(w.found, r.found) << r.line;
  }
  EXPECT_EQ(Output(), "");
}

TEST_F(CmnTest, GetValueWithScaleLetters) {
  struct Case {
    const char *text;
    int result;
    double value;
  };
  const Case cases[] = {
      {"1.5p", 1, 1.5e-12}, {"1M", 1, 1e6},       {"1m", 1, 1e-3},  {"1e3", 1, 1000},
      {"3", 1, 3},          {"10kOhm", 1, 1e4},   {"1.5n5", 2, 1.5e-9}, {"2V", 1, 2},
      {"-4.7u", 1, -4.7e-6}, {"2f", 1, 2e-15},    {"1T", 1, 1e12},  {"1G", 1, 1e9},
      {" 7", 1, 7},         {"5A2", 2, 5},        {"0x10", 2, 0},   {".5", 1, 0.5},
      {"1e296T", 1, 1e308}, {"1e-320f", 1, 0},
  };
  for (const Case &c : cases) {
    double v = -99;
    EXPECT_EQ(CMN_GetValue(c.text, &v), c.result) << c.text;
    EXPECT_DOUBLE_EQ(v, c.value) << c.text;
  }
  const char *none[] = {"abc", "", "2/", "2 V", "3,5", "inf", "nan", "1e999", "-", ".", "NA",
                        "1e300T", "-1e300T", "1e300T%", "1e300Tohm5", "2e299G"};
  for (const char *t : none) {
    double v = -99;
    EXPECT_EQ(CMN_GetValue(t, &v), 0) << t;
    EXPECT_EQ(v, -99) << t; // untouched
  }
  double v = 0;
  EXPECT_EQ(CMN_GetNumber("2.5k", &v), 1);
  EXPECT_DOUBLE_EQ(v, 2500);

  // K is a unit: the letters are case-sensitive.
  const struct { const char *text; int ok; double factor; } scales[] = {
      {"p", 1, 1e-12}, {"Ohm", 1, 1.0}, {"K", 1, 1.0}, {"/", 0, 0}, {"", 0, 0}};
  for (const auto &r : scales) {
    double f = 0;
    EXPECT_EQ(CMN_GetScaleFactor(r.text, &f), r.ok) << r.text;
    if (r.ok) {
      EXPECT_DOUBLE_EQ(f, r.factor) << r.text;
    }
  }
  EXPECT_EQ(Output(), "");
}

// is_na and the value after each text; -1: the call's word on them is not checked.
TEST_F(CmnTest, ValueOrNA) {
  const struct { const char *text; int ok, na; double v; } rows[] = {
      {"na", 1, 1, 0}, {"2n", 1, 0, 2e-9}, {"NAX", 0, -1, -1}, {"x", 0, 0, -1}};
  double v = 5;
  int na = -1;
  for (const auto &r : rows) {
    EXPECT_EQ(CMN_GetValueOrNA(r.text, &v, &na), r.ok) << r.text;
    if (r.na >= 0) {
      EXPECT_EQ(na, r.na) << r.text;
    }
    if (r.v >= 0) {
      EXPECT_DOUBLE_EQ(v, r.v) << r.text;
    }
  }
}

// Each text read with the value at 3 and the state at -1 beforehand; a value
// that overflows only through its scale letter is refused as an overflowing
// exponent is: no infinity reaches a record or a report.
TEST_F(CmnTest, ReadValueOrNAStatesAndMessages) {
  const struct { const char *text, *name, *kind; int ok, state; double v; const char *output; } rows[] = {
      {nullptr, "R_pin", "Typical", 1, 0, 3, ""},
      {"Na", "R_pin", "Typical", 1, 2, 0, ""},
      {"1.2n", "R_pin", "Typical", 1, 1, 1.2e-9, ""},
      {"1.2n5", "Pin", "Minimum", 1, 1, 1.2e-9,
       "WARNING (line    9) - Suspicious Minimum Pin Value (\"1.2n5\"); Numeric in Scale\n"},
      {"bad", "Pin", "Maximum", 0, 0, 3, "ERROR (line    9) - Invalid Maximum Value (\"bad\")\n"},
      {"1e999", "Pin", "Typical", 0, 0, 3, "ERROR (line    9) - Invalid Typical Value (\"1e999\")\n"},
      {"1e300T", "Pin", "Typical", 0, 0, 3, "ERROR (line    9) - Invalid Typical Value (\"1e300T\")\n"},
      {"-1e300T", "Pin", "Typical", 0, 0, 3, "ERROR (line    9) - Invalid Typical Value (\"-1e300T\")\n"},
      {"1e300T%", "Pin", "Typical", 0, 0, 3, "ERROR (line    9) - Invalid Typical Value (\"1e300T%\")\n"},
  };
  MSG_SetLineNumber(9);
  for (const auto &r : rows) {
    const char *t = r.text ? r.text : "(null)";
    double v = 3;
    int st = -1;
    EXPECT_EQ(CMN_ReadValueOrNA(r.text, r.name, r.kind, &v, &st), r.ok) << t;
    EXPECT_EQ(st, r.state) << t;
    EXPECT_DOUBLE_EQ(v, r.v) << t;
    EXPECT_EQ(Output(), r.output) << t;
  }
  EXPECT_EQ(Errors(), 5);
  EXPECT_EQ(Warnings(), 1);
}

// The number after each text, read with 77 there beforehand: a refused text
// leaves it. " -3" would wrap to a huge number; "2.5p" has no scale letters
// here; "0x1p3" reads 0 and stops at "x1p3".
TEST_F(CmnTest, UnsignedAndDouble) {
  const struct { const char *text; int ok; unsigned long n; } unsigneds[] = {
      {"-3", 0, 77}, {" -3", 0, 77}, {"12abc", 2, 12}, {"42", 1, 42}, {"x", 0, 77}, {"", 0, 77},
      {"99999999999999999999999999", 0, 77}};
  for (const auto &r : unsigneds) {
    unsigned long n = 77;
    EXPECT_EQ(CMN_GetUnsigned(r.text, &n), r.ok) << r.text;
    EXPECT_EQ(n, r.n) << r.text;
  }
  const struct { const char *text; int ok; double d; } doubles[] = {
      {"2.5", 1, 2.5}, {"2.5p", 2, 2.5}, {"p", 0, 77}, {"nan", 0, 77}, {"-inf", 0, 77}, {"0x1p3", 2, 0}};
  for (const auto &r : doubles) {
    double d = 77;
    EXPECT_EQ(CMN_GetDouble(r.text, &d), r.ok) << r.text;
    EXPECT_EQ(d, r.d) << r.text;
  }
}

// The decimal reader reads short numbers itself and leaves the rest to
// strtod: both ways must give the same double, bit for bit, and stop at the
// same character.
TEST_F(CmnTest, DecimalReaderMatchesStrtod) {
  auto same = [](const std::string &text) {
    char *endOurs = nullptr, *endLib = nullptr;
    const double ours = CMN_StrToD(text.c_str(), &endOurs);
    const double lib = PLAT_StrToD(text.c_str(), &endLib);
    uint64_t a, b;
    memcpy(&a, &ours, sizeof a);
    memcpy(&b, &lib, sizeof b);
    EXPECT_EQ(a, b) << text;
    EXPECT_EQ(endOurs - text.c_str(), endLib - text.c_str()) << text;
    return a == b && endOurs == endLib;
  };
  const char *const edges[] = {
      "0", "-0", "+0", "0.0", "-0.0e5", "0e99999", "00012", "1.", ".5", "-.5", " \t 3.25",
      "9007199254740992", "9007199254740993", "9007199254740991.5", "18014398509481985",
      "9999999999999999999", "99999999999999999999", "1234567890123456789e-5", "1e22", "1e23",
      "1e-22", "1e-23", "123e20", "4.35e-22", "1.7976931348623157e308", "1.7976931348623159e308",
      "2.2250738585072011e-308", "2.2250738585072014e-308", "4.9406564584124654e-324",
      "2.4703282292062327e-324", "2.4703282292062328e-324", "1e-400", "1e400", "0.1", "0.2", "0.3",
      "3.3", "-3.3", "6.6", "1.5e", "1.5e+", "1.5e-x", "2E3", "2e+3p", "7.038531e-26", "0.000001",
      "0.00000000000000000000000000000000000000000000000000000000000000000000000000000000001",
      "1.000000000000000000000000001", "2.50000000000000000001", "1e0000000000000000001", "1e100001",
      "5p3", "10kOhm", "3..2", "1.2.3", "-1.5e-3m",
  };
  for (const char *text : edges) same(text);

  // Random decimals: up to 25 digits with the point anywhere, leading and
  // trailing zeros, exponents from -340 to 340, now and then a tail.
  uint64_t state = 20261209;
  auto next = [&state](uint64_t n) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return (state >> 33) % n;
  };
  int mismatches = 0;
  for (int i = 0; i < 300000 && mismatches < 10; ++i) {
    std::string text;
    if (next(4) == 0) text += next(2) ? "-" : "+";
    const int digits = 1 + static_cast<int>(next(next(3) == 0 ? 25 : 17));
    const int point = static_cast<int>(next(digits + 2)) - 1;
    for (int k = 0; k < digits; ++k) {
      if (k == point) text += '.';
      text += static_cast<char>('0' + (next(5) == 0 ? 0 : next(10)));
    }
    if (point == digits) text += '.';
    if (next(2)) {
      text += next(2) ? "e" : "E";
      if (next(2)) text += next(2) ? "-" : "+";
      text += std::to_string(next(4) == 0 ? next(341) : next(30));
    }
    if (next(6) == 0) text += "mV"[next(2)];
    if (!same(text)) ++mismatches;
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(CmnTest, RlcItemsOfATypicalLine) {
  const char *cur = nullptr;
  double v = -1;
  const char *line = "Len=0 L=1.2n C=0.5p /";
  EXPECT_EQ(CMN_GetRlcItem(line, &v, &cur), CMN_RLC_LEN);
  EXPECT_EQ(v, 0);
  EXPECT_EQ(CMN_GetRlcItem(cur, &v, &cur), CMN_RLC_L);
  EXPECT_DOUBLE_EQ(v, 1.2e-9);
  EXPECT_EQ(CMN_GetRlcItem(cur, &v, &cur), CMN_RLC_C);
  EXPECT_DOUBLE_EQ(v, 0.5e-12);
  EXPECT_EQ(CMN_GetRlcItem(cur, &v, &cur), CMN_RLC_SLASH);
  EXPECT_EQ(CMN_GetRlcItem(cur, &v, &cur), CMN_RLC_END);
  EXPECT_EQ(Output(), "");

  EXPECT_EQ(CMN_GetRlcItem("  R = 5  / Len=1", &v, &cur), CMN_RLC_R);
  EXPECT_DOUBLE_EQ(v, 5);
  EXPECT_STREQ(cur, "/ Len=1");
  EXPECT_EQ(CMN_GetRlcItem(cur, &v, &cur), CMN_RLC_SLASH);
  EXPECT_STREQ(cur, "Len=1");

  char buf[] = "C=1p L=2n";
  char *c = buf;
  EXPECT_EQ(CMN_GetRlcItem(c, &v, &c), CMN_RLC_C);
  EXPECT_EQ(c, buf + 5);
}

// Each text with its item, the cursor after it (nullptr: not checked), the
// value (read with 3 there beforehand; -1: not checked) and the messages.
TEST_F(CmnTest, RlcItemFaults) {
  const char *premature = "ERROR (line    4) - Premature end of R/L/C section\n";
  const char *noEquals = "ERROR (line    4) - Error parsing R/L/C section. Missing '='\n";
  const struct { const char *text; int item; const char *rest; double v; const char *output; } rows[] = {
      {"", CMN_RLC_END, nullptr, -1, ""},
      {" \t ", CMN_RLC_END, nullptr, -1, ""},
      {"R 5", CMN_RLC_ERROR, nullptr, -1, noEquals},
      {"R 5 / C=1", CMN_RLC_ERROR, " C=1", -1, noEquals}, // behind the next slash
      {"= 5", CMN_RLC_ERROR, "5", -1, "ERROR (line    4) - Unexpected '=' found\n"},
      {"len=1 R=1", CMN_RLC_ERROR, "=1 R=1", -1,
       "ERROR (line    4) - Unexpected token 'len' found in R/L/C section\n"},
      {"R", CMN_RLC_END, nullptr, -1, premature},
      {"R=  ", CMN_RLC_END, nullptr, -1, premature},
      {"L=/", CMN_RLC_L, "/", 0, "ERROR (line    4) - Numerical value expected\n"},
      {"C=abc L=1", CMN_RLC_C, "L=1", -1, "ERROR (line    4) - Illegal number found 'abc'\n"},
      {"C=1n5", CMN_RLC_C, nullptr, -1, "ERROR (line    4) - Illegal number found '1n5'\n"}, // suspect too
  };
  MSG_SetLineNumber(4);
  const char *cur = nullptr;
  double v = 3;
  for (const auto &r : rows) {
    v = 3;
    EXPECT_EQ(CMN_GetRlcItem(r.text, &v, &cur), r.item) << r.text;
    if (r.rest) {
      EXPECT_STREQ(cur, r.rest) << r.text;
    }
    if (r.v >= 0) {
      EXPECT_EQ(v, r.v) << r.text;
    }
    EXPECT_EQ(Output(), r.output) << r.text;
  }

  // A value run longer than the message buffer is no number.
  std::string longRun = "R=" + std::string(5000, '1');
  EXPECT_EQ(CMN_GetRlcItem(longRun.c_str(), &v, &cur), CMN_RLC_R);
  EXPECT_EQ(*cur, '\0');
  EXPECT_NE(Output().find("Illegal number found '111"), std::string::npos);
}

TEST_F(CmnTest, SetFieldOnceAndTruncate) {
  MSG_SetLineNumber(2);
  char field[9] = "";
  EXPECT_EQ(CMN_SetField(field, "abc", 8, "File_Rev"), 1);
  EXPECT_STREQ(field, "abc");
  EXPECT_EQ(Output(), "");
  EXPECT_EQ(CMN_SetField(field, "xyz", 8, "File_Rev"), 0);
  EXPECT_STREQ(field, "abc");
  EXPECT_EQ(Output(), "ERROR (line    2) - Duplicate 'File_Rev' keyword.\n");

  char f2[9] = "";
  CMN_CopyTruncate(f2, "0123456789", 8, "Date");
  EXPECT_STREQ(f2, "01234567");
  EXPECT_EQ(Output(), "ERROR (line    2) -\n    Date string '0123456789' is too long, truncating "
                      "to 8 characters.\n");
  char f3[9] = "zz";
  CMN_CopyTruncate(f3, "", 8, "Date");
  EXPECT_STREQ(f3, "");
  EXPECT_EQ(Output(), "ERROR (line    2) - Zero length value for keyword 'Date'.\n");

  // The length shown is capped.
  static char big[3001];
  std::string t(3000, 'a');
  CMN_CopyTruncate(big, t.c_str(), 3000, "X");
  EXPECT_EQ(Output(), "");
  std::string t2(3001, 'a');
  static char big2[3001];
  CMN_CopyTruncate(big2, t2.c_str(), 3000, "X");
  EXPECT_EQ(strlen(big2), 3000u);
  std::string out = Output();
  EXPECT_EQ(out.find("truncating"), std::string::npos); // cut by the buffer
  MSG_ErrorLineFrom(MSGSRC_CMN, 1912, "X", "t", 2176u);
  EXPECT_EQ(Output(), "ERROR (line    2) - X string 't' is too long, truncating to 2176 "
                      "characters.\n");
}

TEST_F(CmnTest, SetTextField) {
  MSG_SetLineNumber(5);
  char field[CMN_TEXT_FIELD_MAX + 1] = "";
  std::string t(50, 'c');
  EXPECT_EQ(CMN_SetTextField(field, t.c_str(), 40, "Source"), 1);
  EXPECT_EQ(std::string(field), t); // copied whole, not cut to 40
  EXPECT_EQ(Output(), "ERROR (line    5) - Source string '" + t +
                          "' is too long, maximum length 40 allowed.\n");
  EXPECT_EQ(CMN_SetTextField(field, "x", 40, "Source"), 0);
  EXPECT_EQ(Output(), "ERROR (line    5) - Duplicate 'Source' keyword.\n");

  char f2[CMN_TEXT_FIELD_MAX + 1] = "";
  std::string huge(5000, 'h');
  EXPECT_EQ(CMN_SetTextField(f2, huge.c_str(), 3000, "Notes"), 1);
  EXPECT_EQ(strlen(f2), (size_t)CMN_TEXT_FIELD_MAX);
  EXPECT_NE(Output().find("Notes string 'hhh"), std::string::npos);

  char f3[CMN_TEXT_FIELD_MAX + 1] = "";
  EXPECT_EQ(CMN_SetTextField(f3, "", 40, "Notes"), 1);
  EXPECT_EQ(Output(), "ERROR (line    5) - Zero length value for keyword 'Notes'.\n");
}

TEST_F(CmnTest, ReservedWords) {
  const struct { const char *name; int notReserved; } rows[] = {
      {"gnd", 0}, {"Power", 0}, {"circuitcall", 0}, {"nc", 0}, {"na", 0}, {"GNDX", 1}, {"", 1}};
  for (const auto &r : rows) EXPECT_EQ(CMN_IsNotReservedWord(r.name), r.notReserved) << r.name;
  MSG_SetLineNumber(12);
  CMN_CheckReservedWord("VCC");
  EXPECT_EQ(Output(), "");
  CMN_CheckReservedWord("GND");
  EXPECT_EQ(Output(), "ERROR (line   12) - Illegal use of Reserved Word 'GND'.\n");
}

} // namespace
