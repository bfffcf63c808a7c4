// The parameter parser short of memory and over very long parameter strings,
// as it runs inside a host's AMI_Init.
#include "AllocFail.h"

#include "IbisParser/amip.h"
#include "IbisParser/msg.h"

#include <gtest/gtest.h>

#include <string>

namespace {

int32_t Reported() {
  int32_t bugs = 0, errors = 0, warnings = 0;
  MSG_GetCounts(&bugs, &errors, &warnings);
  return bugs + errors + warnings;
}

// Every request that can fail, failed in turn, gives result 4 with the
// caller's pointer untouched; nothing is written to the standard output and
// the checker's counts stay as they were. (The sanitizer build also sees
// that nothing built before the failure is left behind.)
TEST(ParseMemory, EveryFailedRequestIsResultFourAndSilent) {
  const char *texts[] = {
      "(Sarnet (Gain 2))",
      "(A (B (c 1 2 3 4 5 6 7 8 9)) (d \"x y\") (e 1 (x 1)) (f 2) (g 3) (h 4) (i 5))",
      "((x 1))",
      "(A (b 1) (c (d (e (f 1)))))",
  };
  const int32_t reportedBefore = Reported();
  for (const char *text : texts) {
    const int64_t before = AllocRequests();
    AMIP_TREE *tree = nullptr;
    ASSERT_EQ(AMIP_ParseWith(text, &tree, &kCountedParserAlloc), AMIP_OK) << text;
    AMIP_FreeTree(&tree);
    const int64_t requests = AllocRequests() - before;
    ASSERT_GT(requests, 2) << text;
    testing::internal::CaptureStdout();
    for (int64_t k = 0; k < requests; ++k) {
      AMIP_TREE sentinel{};
      AMIP_TREE *t = &sentinel;
      FailAlloc(k + 1);
      EXPECT_EQ(AMIP_ParseWith(text, &t, &kCountedParserAlloc), AMIP_ERR_MEMORY) << text << " request " << k;
      FailAlloc(0);
      EXPECT_EQ(t, &sentinel);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << text;
  }
  EXPECT_EQ(Reported(), reportedBefore);
}

// Arrays double when full: n values or n members cost about log2(n) resizes.
TEST(ParseMemory, ArraysGrowGeometrically) {
  const int n = 100000;
  std::string values = "(M (v";
  for (int i = 0; i < n; ++i) values += " " + std::to_string(i);
  values += "))";
  std::string members = "(M";
  for (int i = 0; i < n; ++i) members += " (p" + std::to_string(i) + " 1)";
  members += ")";

  for (const std::string *text : {&values, &members}) {
    const int64_t before = AllocResizes();
    AMIP_TREE *tree = nullptr;
    ASSERT_EQ(AMIP_ParseWith(text->c_str(), &tree, &kCountedParserAlloc), AMIP_OK);
    EXPECT_LE(AllocResizes() - before, 20);
    const AMIP_GROUP *m = static_cast<const AMIP_GROUP *>(tree->entries[0].node);
    if (text == &values) {
      ASSERT_EQ(m->child_count, 1);
      const AMIP_LEAF *v = static_cast<const AMIP_LEAF *>(m->children[0].node);
      ASSERT_EQ(v->value_count, n);
      EXPECT_STREQ(v->values[0].text, "0");
      EXPECT_STREQ(v->values[n - 1].text, std::to_string(n - 1).c_str());
      EXPECT_EQ(v->values[n - 1].value_type, AMIP_TYPE_INTEGER);
    } else {
      ASSERT_EQ(m->child_count, n);
      EXPECT_STREQ(static_cast<const AMIP_LEAF *>(m->children[n - 1].node)->name,
                   ("p" + std::to_string(n - 1)).c_str());
    }
    AMIP_FreeTree(&tree);
  }

  // The checker's own entry point grows the same way and gives the same tree.
  AMIP_TREE *tree = nullptr;
  ASSERT_EQ(AMIP_Parse(values.c_str(), &tree), AMIP_OK);
  const AMIP_GROUP *m = static_cast<const AMIP_GROUP *>(tree->entries[0].node);
  EXPECT_EQ(static_cast<const AMIP_LEAF *>(m->children[0].node)->value_count, n);
  AMIP_FreeTree(&tree);
}

} // namespace
