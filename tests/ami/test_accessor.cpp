// Parameter lookups by dotted path over a parsed AMI parameter string.
#include "ami/AmiParameterTree.h"

#include "AllocFail.h"
#include "IbisParser/amip.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Varnholt::AmiParameterTree;

TEST(AmiParameterTree, FindsLeavesByFullPathOnly) {
  AmiParameterTree t("(Welbrook_rx (EQ 3) (Model_Specific (HorL 0) (Inner (X 7))) (EQ 5))");
  ASSERT_TRUE(t.IsParsed());
  double d = -1;
  EXPECT_TRUE(t.GetDouble(d, "Welbrook_rx.EQ"));
  EXPECT_EQ(d, 3.0) << "the first of two leaves with one path wins";
  d = -1;
  EXPECT_FALSE(t.GetDouble(d, "welbrook_rx.EQ"));
  EXPECT_FALSE(t.GetDouble(d, "Welbrook_rx.HorL")) << "nested groups count in the path";
  EXPECT_FALSE(t.GetDouble(d, "EQ"));
  EXPECT_FALSE(t.GetDouble(d, "Welbrook_rx.EQ "));
  EXPECT_EQ(d, -1.0) << "a failed lookup leaves the target alone";
  EXPECT_TRUE(t.GetDouble(d, "Welbrook_rx.Model_Specific.HorL"));
  EXPECT_EQ(d, 0.0);
  EXPECT_TRUE(t.GetDouble(d, "Welbrook_rx.Model_Specific.Inner.X"));
  EXPECT_EQ(d, 7.0);
}

TEST(AmiParameterTree, ConvertsByValueType) {
  AmiParameterTree t("(M (a 1.5e-11) (b 2.9) (c -2.9) (t True) (T TRUE) (s \"text here\") "
                     "(f False) (big 1e300) (n 1 2 3))");
  ASSERT_TRUE(t.IsParsed());
  double d = 0;
  EXPECT_TRUE(t.GetDouble(d, "M.a"));
  EXPECT_EQ(d, 1.5e-11);
  int32_t i = 99;
  EXPECT_TRUE(t.GetInt(i, "M.b"));
  EXPECT_EQ(i, 2);
  EXPECT_TRUE(t.GetInt(i, "M.c"));
  EXPECT_EQ(i, -2);
  i = 99;
  EXPECT_FALSE(t.GetInt(i, "M.big")) << "no 32-bit truncation exists";
  EXPECT_EQ(i, 99);
  EXPECT_TRUE(t.GetInt(i, "M.n"));
  EXPECT_EQ(i, 1) << "only the first value is read";

  bool b = false;
  EXPECT_FALSE(t.GetDouble(d, "M.t"));
  EXPECT_TRUE(t.GetBool(b, "M.t"));
  EXPECT_TRUE(b);
  EXPECT_TRUE(t.GetBool(b, "M.f"));
  EXPECT_FALSE(b);
  b = true;
  EXPECT_FALSE(t.GetBool(b, "M.T")) << "TRUE is a string for the parser";
  EXPECT_TRUE(b);

  d = 4;
  EXPECT_FALSE(t.GetDouble(d, "M.s"));
  EXPECT_EQ(d, 4.0);
  char *text = new char[2]{'x', '\0'};
  EXPECT_TRUE(t.GetString(text, "M.s"));
  EXPECT_STREQ(text, "text here");
  EXPECT_FALSE(t.GetString(text, "M.a"));
  EXPECT_STREQ(text, "text here");
  delete[] text;
}

TEST(AmiParameterTree, UnparsableStringsFailEveryLookup) {
  for (const char *s : {"(M (a 1)", "", "   ", "M (a 1)", "(M)", "((a 1))x", "(a 1 (x))"}) {
    AmiParameterTree t(s);
    double d = 8;
    EXPECT_FALSE(t.GetDouble(d, "M.a")) << s;
    EXPECT_EQ(d, 8.0);
  }
  AmiParameterTree null(nullptr);
  double d = 8;
  EXPECT_FALSE(null.IsParsed());
  EXPECT_FALSE(null.GetDouble(d, "M.a"));
  EXPECT_FALSE(null.GetDouble(d, nullptr));
}

TEST(AmiParameterTree, FirstChildIsLeaf) {
  EXPECT_FALSE(AmiParameterTree::FirstChildIsLeaf(nullptr));
}

// A number too large for a double reads as no number at all: the target
// keeps its value, as for any value that cannot be read.
TEST(AmiParameterTree, NonFiniteNumbersAreRefused) {
  struct Case {
    const char *value;
    bool read;
    double got;
  };
  const Case cases[] = {{"1e999", false, 7.0},  {"-1e999", false, 7.0}, {"1e308", true, 1e308},
                        {"1e-999", true, 0.0},  {"2e308", false, 7.0}};
  for (const Case &c : cases) {
    AmiParameterTree t(("(M (a " + std::string(c.value) + "))").c_str());
    ASSERT_TRUE(t.IsParsed()) << c.value;
    double d = 7.0;
    EXPECT_EQ(t.GetDouble(d, "M.a"), c.read) << c.value;
    EXPECT_EQ(d, c.got) << c.value;
    int32_t i = 5;
    if (!c.read) {
      EXPECT_FALSE(t.GetInt(i, "M.a")) << c.value;
    }
  }
}

// Out of memory is told apart from a string that does not parse.
TEST(AmiParameterTree, OutOfMemoryIsReported) {
  FailAlloc(1);
  AmiParameterTree t("(M (a 1))", &kCountedParserAlloc);
  FailAlloc(0);
  EXPECT_TRUE(t.OutOfMemory());
  EXPECT_FALSE(t.IsParsed());
  double d = 3;
  EXPECT_FALSE(t.GetDouble(d, "M.a"));
  EXPECT_EQ(d, 3.0);
  AmiParameterTree unbalanced("(M (a 1)");
  EXPECT_FALSE(unbalanced.OutOfMemory());
  AmiParameterTree fine("(M (a 1))");
  EXPECT_FALSE(fine.OutOfMemory());
  EXPECT_TRUE(fine.IsParsed());
}

} // namespace

namespace {

TEST(AmiParameterTree, PathsThroughGroupsWithEmptyNames) {
  // ((x 1) (B (y 2))): the outer group's path is empty, so its leaf is ".x"
  // and its nested group's path is "B" with no point in front.
  Varnholt::AmiParameterTree t("((x 1) (B (y 2)))");
  ASSERT_TRUE(t.IsParsed());
  double d = 0;
  EXPECT_TRUE(t.GetDouble(d, ".x"));
  EXPECT_EQ(d, 1.0);
  EXPECT_FALSE(t.GetDouble(d, "x"));
  EXPECT_TRUE(t.GetDouble(d, "B.y"));
  EXPECT_EQ(d, 2.0);
  EXPECT_FALSE(t.GetDouble(d, ".B.y"));
  Varnholt::AmiParameterTree u("(M (G (y 2)) (H (y 3)))");
  ASSERT_TRUE(u.IsParsed());
  EXPECT_TRUE(u.GetDouble(d, "M.H.y"));
  EXPECT_EQ(d, 3.0);
  EXPECT_FALSE(u.GetDouble(d, "M.Gy"));
  EXPECT_FALSE(u.GetDouble(d, "M.G"));
}

TEST(AmiParameterTree, DeeplyNestedStringsDoNotExhaustTheStack) {
  const int depth = 200000;
  std::string s;
  for (int i = 0; i < depth; ++i) s += "(g ";
  s += "(x 1)";
  s += std::string(depth, ')');
  Varnholt::AmiParameterTree t(s.c_str());
  ASSERT_TRUE(t.IsParsed());
  double d = 0;
  EXPECT_FALSE(t.GetDouble(d, "g.x"));
  std::string deep;
  for (int i = 0; i < depth; ++i) deep += i ? ".g" : "g";
  deep += ".x";
  EXPECT_TRUE(t.GetDouble(d, deep.c_str()));
  EXPECT_EQ(d, 1.0);
}

} // namespace

namespace {

TEST(AmiParameterTree, FindInGroupBelowAPrefix) {
  AMIP_TREE *tree = nullptr;
  ASSERT_EQ(AMIP_Parse("(M (B (c 1) (D (c 2))) (c 3))", &tree), 0);
  const auto *m = static_cast<const AMIP_GROUP *>(tree->entries[0].node);
  const auto *b = static_cast<const AMIP_GROUP *>(m->children[0].node);
  using Varnholt::AmiParameterTree;
  const AMIP_LEAF *c = AmiParameterTree::FindInGroup(b, "X.B.c", "X");
  ASSERT_NE(c, nullptr);
  EXPECT_STREQ(c->values[0].text, "1");
  c = AmiParameterTree::FindInGroup(b, "X.B.D.c", "X");
  ASSERT_NE(c, nullptr);
  EXPECT_STREQ(c->values[0].text, "2");
  EXPECT_EQ(AmiParameterTree::FindInGroup(b, "B.c", "X"), nullptr);
  EXPECT_EQ(AmiParameterTree::FindInGroup(b, "XB.c", "X"), nullptr);
  EXPECT_EQ(AmiParameterTree::FindInGroup(b, "X.B.c", "Y"), nullptr);
  EXPECT_EQ(AmiParameterTree::FindInGroup(nullptr, "X.B.c", "X"), nullptr);
  EXPECT_STREQ(AmiParameterTree::FindInGroup(m, "M.c", "")->values[0].text, "3");
  EXPECT_TRUE(AmiParameterTree::FirstChildIsLeaf(b));
  EXPECT_FALSE(AmiParameterTree::FirstChildIsLeaf(m));
  AMIP_FreeTree(&tree);
}

} // namespace

#if !defined(_WIN32)
#include "TestSupport.h"

#include <clocale>
#include <cstdlib>

namespace {

// A host that runs under a decimal-comma locale still gets its numbers.
TEST(AmiParameterTree, NumbersIgnoreTheHostLocale) {
  testsupport::TempDir dir;
  std::string out;
  if (testsupport::RunCommand("localedef -i de_DE -f UTF-8 " + dir.path() + "/de_DE.UTF-8 2>&1",
                              out) > 1)
    GTEST_SKIP() << "no de_DE locale source: " << out;
  setenv("LOCPATH", dir.path().c_str(), 1);
  if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
    unsetenv("LOCPATH");
    GTEST_SKIP() << "cannot switch to de_DE";
  }
  const bool commaLocale = std::strtod("2.5", nullptr) == 2.0;
  AmiParameterTree t("(M (a 2.5) (b 1e-3))");
  double a = 0, b = 0;
  const bool ok = t.GetDouble(a, "M.a") && t.GetDouble(b, "M.b");
  std::setlocale(LC_NUMERIC, "C");
  unsetenv("LOCPATH");
  ASSERT_TRUE(commaLocale) << "the locale did not take effect";
  EXPECT_TRUE(ok);
  EXPECT_EQ(a, 2.5);
  EXPECT_EQ(b, 1e-3);
}

} // namespace
#endif
