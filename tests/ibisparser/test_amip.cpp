// AMI parameter strings: tree shape, value types, reserved and definition
// words, drops, result codes, and that no input stops or corrupts.
#include "tests/ibisparser/TextTest.h"

#include <cstring>
#include <string>

#include "IbisParser/amip.h"

namespace {

using AmipTest = TextTest;

// Parses text; on success owns the tree.
struct Parsed {
  explicit Parsed(const char *text) { rc = AMIP_Parse(text, &tree); }
  explicit Parsed(const std::string &text) : Parsed(text.c_str()) {}
  ~Parsed() { AMIP_FreeTree(&tree); }
  const AMIP_GROUP *Root() const {
    return static_cast<const AMIP_GROUP *>(tree->entries[0].node);
  }
  int rc = -1;
  AMIP_TREE *tree = nullptr;
};

const AMIP_GROUP *Group(const AMIP_ENTRY &e) {
  EXPECT_EQ(e.kind, AMIP_KIND_GROUP);
  return static_cast<const AMIP_GROUP *>(e.node);
}
const AMIP_LEAF *Leaf(const AMIP_ENTRY &e) {
  EXPECT_EQ(e.kind, AMIP_KIND_LEAF);
  return static_cast<const AMIP_LEAF *>(e.node);
}

// The tree as text: groups "name{...}", leaves "name=v1,v2", depths checked.
std::string Shape(const AMIP_ENTRY &e, int depth) {
  EXPECT_EQ(e.depth, depth);
  if (!e.node) return "<null>";
  std::string s;
  if (e.kind == AMIP_KIND_GROUP) {
    const AMIP_GROUP *g = Group(e);
    s = std::string(g->name) + "{";
    for (int32_t i = 0; i < g->child_count; i++) {
      if (i) s += " ";
      s += Shape(g->children[i], depth + 1);
    }
    return s + "}";
  }
  const AMIP_LEAF *l = Leaf(e);
  s = std::string(l->name) + "=";
  for (int32_t i = 0; i < l->value_count; i++) {
    if (i) s += ",";
    s += l->values[i].text;
  }
  return s;
}

std::string Shape(const char *text) {
  Parsed p(text);
  if (p.rc != 0) return "rc " + std::to_string(p.rc);
  return Shape(p.tree->entries[0], 1);
}

TEST_F(AmipTest, SimpleModel) {
  Parsed p("(Sarnet (Gain 2))");
  ASSERT_EQ(p.rc, AMIP_OK);
  EXPECT_EQ(p.tree->count, 2);
  const AMIP_ENTRY &root = p.tree->entries[0];
  EXPECT_EQ(root.depth, 1);
  const AMIP_GROUP *g = Group(root);
  EXPECT_STREQ(g->name, "Sarnet");
  ASSERT_EQ(g->child_count, 1);
  EXPECT_EQ(g->children[0].depth, 2);
  const AMIP_LEAF *gain = Leaf(g->children[0]);
  EXPECT_EQ(gain, p.tree->entries[1].node); // children share the nodes
  EXPECT_STREQ(gain->name, "Gain");
  EXPECT_EQ(gain->definition, AMIP_DEF_NONE);
  ASSERT_EQ(gain->value_count, 1);
  EXPECT_STREQ(gain->values[0].text, "2");
  EXPECT_EQ(gain->values[0].value_type, AMIP_TYPE_INTEGER);
  EXPECT_EQ(gain->values[0].reserved, AMIP_RW_NONE);
  // Allocation reports nothing when memory is there.
  EXPECT_EQ(Output(), "");
}

TEST_F(AmipTest, NestedGroupsAndSlotCount) {
  Parsed p("(A (B (c 1)) (d 2))");
  ASSERT_EQ(p.rc, AMIP_OK);
  EXPECT_EQ(p.tree->count, 4);
  EXPECT_EQ(Shape(p.tree->entries[0], 1), "A{B{c=1} d=2}");
  EXPECT_EQ(Shape("(Welbrook_rx (EQ 3) (HorL 0) (VotingThreshold 0) (SettlingTime 4))"),
            "Welbrook_rx{EQ=3 HorL=0 VotingThreshold=0 SettlingTime=4}");
  EXPECT_EQ(Shape("(A (B (c (d 1))))"), "A{B{c{d=1}}}");
  EXPECT_EQ(Shape("((x 1))"), "{x=1}"); // a group with an empty name
  EXPECT_EQ(Shape("(A(b 1)(c 2))"), "A{b=1 c=2}");
  EXPECT_EQ(Shape("\t\n (A\n\t(b\t1)\r\n)"), "A{b=1}");
}

TEST_F(AmipTest, LeadingBlanksAndParenthesisCounts) {
  EXPECT_EQ(Shape("   (A (b 1))"), "A{b=1}");
  EXPECT_EQ(Shape("x (A (b 1))"), "rc 2");
  EXPECT_EQ(Shape(""), "rc 2");
  EXPECT_EQ(Shape("   "), "rc 2");
  EXPECT_EQ(Shape("(A (b 1)"), "rc 1");
  EXPECT_EQ(Shape("(A (b 1)))"), "rc 1");
  // Parentheses between double quotes do not count.
  EXPECT_EQ(Shape("(A (b \"(x)\"))"), "A{b=(x)}");
  EXPECT_EQ(Shape("(A (b \")\"))"), "A{b=)}");
  EXPECT_EQ(Shape("(A (b \"(\")"), "rc 1");

  int32_t n = -1;
  EXPECT_EQ(AMIP_CountParentheses("(a (b \"((\") )", &n), 1);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(AMIP_CountParentheses("(a", &n), 0);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(AMIP_CountParentheses(nullptr, &n), 1);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(AMIP_CountParentheses(")(", &n), 1); // counts only
  EXPECT_EQ(n, 1);
}

TEST_F(AmipTest, QuotedValues) {
  Parsed p("(A (b \"x y\") (c \"\") (d \"u\" \"v w\" z) (e ab\"cd\"))");
  ASSERT_EQ(p.rc, AMIP_OK);
  const AMIP_GROUP *a = p.Root();
  ASSERT_EQ(a->child_count, 4);
  const AMIP_LEAF *b = Leaf(a->children[0]);
  ASSERT_EQ(b->value_count, 1);
  EXPECT_STREQ(b->values[0].text, "x y");
  EXPECT_EQ(b->values[0].value_type, AMIP_TYPE_STRING);
  const AMIP_LEAF *c = Leaf(a->children[1]);
  ASSERT_EQ(c->value_count, 1);
  EXPECT_STREQ(c->values[0].text, "");
  EXPECT_EQ(c->values[0].value_type, AMIP_TYPE_EMPTY);
  EXPECT_EQ(Shape(a->children[2], 2), "d=u,v w,z");
  EXPECT_EQ(Shape(a->children[3], 2), "e=cd"); // text before the quote is dropped
  // A quoted number is a number.
  EXPECT_EQ(Shape("(A (b \"12\"))"), "A{b=12}");

  // The caller's text is not changed.
  const char text[] = "(A (b \"q\"))";
  char copy[sizeof text];
  memcpy(copy, text, sizeof text);
  Parsed q(copy);
  EXPECT_STREQ(copy, text);
}

TEST_F(AmipTest, ValueLists) {
  EXPECT_EQ(Shape("(A (b 1 2 3))"), "A{b=1,2,3}");
  EXPECT_EQ(Shape("(A (b 1 ))"), "A{b=1}");
  EXPECT_EQ(Shape("(A (b   1    2   ))"), "A{b=1,2}");
  EXPECT_EQ(Shape("(A (b 1)    )"), "A{b=1}");
  // Names hold no blanks: the second word is a value.
  EXPECT_EQ(Shape("(A (Gain Value 2))"), "A{Gain=Value,2}");
}

TEST_F(AmipTest, ValueTypes) {
  struct Case {
    const char *text;
    int type;
  };
  const Case cases[] = {{"True", 2},  {"False", 2},  {"true", 0}, {"1e3", 3},   {"0x10", 0},
                        {"-7", 1},    {"+7", 1},     {"2.5", 3},  {".5", 3},    {"1.", 3},
                        {"inf", 0},   {"nan", 0},    {"1e", 0},   {"12ab", 0},  {"", -1},
                        {"-", 0},     {"1e999", 3}};
  for (const Case &c : cases) EXPECT_EQ(AMIP_ClassifyValue(c.text), c.type) << c.text;
  EXPECT_EQ(AMIP_ClassifyValue(nullptr), -1);

  Parsed p("(A (b True) (c true) (d 1e3) (e 0x10))");
  ASSERT_EQ(p.rc, AMIP_OK);
  const int want[] = {2, 0, 3, 0};
  for (int i = 0; i < 4; i++) EXPECT_EQ(Leaf(p.Root()->children[i])->values[0].value_type, want[i]);
}

TEST_F(AmipTest, ReservedAndDefinitionWords) {
  Parsed p("(A (b Integer) (c integer) (Default 1) (default 1) (Usage In) (Type Float) "
           "(Format Dual-Dirac DjRj) (Description \"Gain\") (Labels x) (x 5))");
  ASSERT_EQ(p.rc, AMIP_OK);
  const AMIP_GROUP *a = p.Root();
  ASSERT_EQ(a->child_count, 10);
  EXPECT_EQ(Leaf(a->children[0])->values[0].reserved, AMIP_RW_INTEGER);
  EXPECT_EQ(Leaf(a->children[1])->values[0].reserved, AMIP_RW_NONE);
  const int defs[] = {0, 0, 4, 0, 1, 2, 3, 5, 6, 0};
  for (int i = 0; i < 10; i++) EXPECT_EQ(Leaf(a->children[i])->definition, defs[i]) << i;
  EXPECT_EQ(Leaf(a->children[4])->values[0].reserved, AMIP_RW_IN);
  EXPECT_EQ(Leaf(a->children[5])->values[0].reserved, AMIP_RW_FLOAT);
  EXPECT_EQ(Leaf(a->children[6])->values[0].reserved, AMIP_RW_DUAL_DIRAC);
  EXPECT_EQ(Leaf(a->children[6])->values[1].reserved, AMIP_RW_DJRJ);
  // "Gain" spells no reserved word; only strings are looked up.
  EXPECT_EQ(Leaf(a->children[7])->values[0].reserved, AMIP_RW_NONE);

  const char *words[] = {"In",    "Out",   "Info",  "InOut",     "Float", "Integer", "String",
                         "Boolean", "Tap", "UI",    "Value",     "Range", "List",    "Corner",
                         "Increment", "Steps", "Table", "Gaussian", "Dual-Dirac", "DjRj"};
  for (int i = 0; i < 20; i++) {
    AMIP_VALUE v = {nullptr, 0, -1};
    AMIP_LookupReservedWord(&v, words[i]);
    EXPECT_EQ(v.reserved, i) << words[i];
  }
  AMIP_VALUE v = {nullptr, 0, 7};
  AMIP_LookupReservedWord(&v, "none");
  EXPECT_EQ(v.reserved, 7); // unchanged
  AMIP_LookupReservedWord(&v, nullptr);
  AMIP_LookupReservedWord(nullptr, "In");
}

TEST_F(AmipTest, LeafWithParenthesisAmongValuesIsDropped) {
  EXPECT_EQ(Shape("(A (b 1 (x 1) 2) (c 3))"), "A{c=3}");
  EXPECT_EQ(Shape("(A (b 1 (x (y 2) \")\") 2) (c 3))"), "A{c=3}");
  EXPECT_EQ(Shape("(A (c 3) (b 1 (x 1)))"), "A{c=3}");
  // A name directly followed by a group is a group, not a leaf with values.
  EXPECT_EQ(Shape("(A (b (x 1) 2) (c 3))"), "A{b{x=1} c=3}");

  // Nothing left to link: refused, not an empty tree.
  EXPECT_EQ(Shape("(a 1 (x))"), "rc 3");
  // A dropped last leaf leaves its slot as a leaf without node.
  Parsed p("(A (c 3) (b 1 (x 1)))");
  ASSERT_EQ(p.rc, AMIP_OK);
  EXPECT_EQ(p.tree->count, 4);
  EXPECT_EQ(p.tree->entries[2].kind, AMIP_KIND_LEAF);
  EXPECT_EQ(p.tree->entries[2].node, nullptr);
  EXPECT_EQ(p.tree->entries[3].kind, AMIP_KIND_GROUP);
  EXPECT_EQ(p.tree->entries[3].depth, 0);
  EXPECT_EQ(p.tree->entries[3].node, nullptr);
}

TEST_F(AmipTest, ResultCodes) {
  EXPECT_EQ(Shape("(A)"), "rc 6");
  EXPECT_EQ(Shape("()"), "rc 6");
  EXPECT_EQ(Shape("(b 1)"), "rc 3");
  EXPECT_EQ(Shape("(A (b 1)) (C (d 2))"), "rc 5");
  EXPECT_EQ(Shape("(A (b 1) c (d 2))"), "rc 5");
  EXPECT_EQ(Shape("(()a a)a a"), "rc 7");
  EXPECT_EQ(Shape("((a )a)"), "rc 8");

  AMIP_TREE *t = nullptr;
  EXPECT_EQ(AMIP_Parse(nullptr, &t), 3);
  EXPECT_EQ(AMIP_Parse("(A (b 1))", nullptr), 3);
}

TEST_F(AmipTest, FailedParseLeavesCallersPointer) {
  AMIP_TREE sentinel{};
  const char *bad[] = {"(A)", "(b 1)", "x", "(A (b 1)", "(A (b 1)) (C (d 2))", "(()a a)a a",
                       "((a )a)", "(a 1 (x))"};
  for (const char *text : bad) {
    AMIP_TREE *t = &sentinel;
    EXPECT_NE(AMIP_Parse(text, &t), 0) << text;
    EXPECT_EQ(t, &sentinel) << text;
  }
}

TEST_F(AmipTest, FreeTreePassesOverNullAndEmptyParts) {
  AMIP_FreeTree(nullptr);
  AMIP_TREE *t = nullptr;
  AMIP_FreeTree(&t);
  Parsed p("(A (b 1))");
  ASSERT_EQ(p.rc, 0);
  AMIP_FreeTree(&p.tree);
  EXPECT_EQ(p.tree, nullptr);
  AMIP_FreeTree(&p.tree);

  // A hand-made tree with empty slots and null fields.
  AMIP_TREE *h = nullptr;
  ASSERT_EQ(CMN_Alloc(&h, sizeof *h), 1);
  ASSERT_EQ(CMN_Alloc(&h->entries, 3 * sizeof(AMIP_ENTRY)), 1);
  h->count = 3;
  AMIP_GROUP *g = nullptr;
  ASSERT_EQ(CMN_Alloc(&g, sizeof *g), 1);
  h->entries[0].node = g;
  AMIP_LEAF *l = nullptr;
  ASSERT_EQ(CMN_Alloc(&l, sizeof *l), 1);
  h->entries[1].kind = AMIP_KIND_LEAF;
  h->entries[1].node = l;
  AMIP_FreeTree(&h);
  EXPECT_EQ(h, nullptr);
}

TEST_F(AmipTest, TokenizerDirectly) {
  char copy[] = "(A (b \"x\" 2))";
  AMIP_ENTRY e[2] = {};
  int32_t n = 2;
  ASSERT_EQ(AMIP_Tokenize(copy, e, &n), 0);
  EXPECT_EQ(n, 2);
  EXPECT_STREQ(copy, "(A (b  x  2))"); // the quotes became blanks
  EXPECT_EQ(e[0].depth, 1);
  EXPECT_EQ(e[1].depth, 2);
  AMIP_TREE t = {e, 2};
  // The tokenizer made no links: free the nodes through a tree on the stack.
  AMIP_TREE *pt = nullptr;
  ASSERT_EQ(CMN_Alloc(&pt, sizeof *pt), 1);
  ASSERT_EQ(CMN_Alloc(&pt->entries, sizeof e), 1);
  memcpy(pt->entries, t.entries, sizeof e);
  pt->count = 2;
  AMIP_FreeTree(&pt);

  // Fewer slots than entries: the tokenizer never writes past them.
  char c2[] = "(A (b 1) (c 2))";
  AMIP_ENTRY one[1] = {};
  n = 1;
  EXPECT_EQ(AMIP_Tokenize(c2, one, &n), 0);
  EXPECT_EQ(n, 1);
  AMIP_TREE *p1 = nullptr;
  ASSERT_EQ(CMN_Alloc(&p1, sizeof *p1), 1);
  ASSERT_EQ(CMN_Alloc(&p1->entries, sizeof one), 1);
  memcpy(p1->entries, one, sizeof one);
  p1->count = 1;
  AMIP_FreeTree(&p1);

  EXPECT_EQ(AMIP_Tokenize(nullptr, one, &n), 3);
}

TEST_F(AmipTest, HostileTextsNeverStop) {
  // Deep nesting is linked without recursion.
  std::string deep;
  for (int i = 0; i < 20000; i++) deep += "(g ";
  deep += "(x 1)";
  deep += std::string(20000, ')');
  {
    Parsed p(deep);
    ASSERT_EQ(p.rc, 0);
    const AMIP_ENTRY *e = &p.tree->entries[0];
    int depth = 1;
    while (e->kind == AMIP_KIND_GROUP && Group(*e)->child_count == 1) {
      e = &Group(*e)->children[0];
      depth++;
    }
    EXPECT_EQ(depth, 20001);
    EXPECT_STREQ(Leaf(*e)->name, "x");
  }
  // Long runs of blanks, long names and values, unclosed quotes, binary bytes.
  std::string blanks = "(A" + std::string(100000, ' ') + "(b" + std::string(100000, '\t') +
                       std::string(50000, 'v') + "))";
  {
    Parsed p(blanks);
    ASSERT_EQ(p.rc, 0);
    EXPECT_EQ(strlen(Leaf(p.Root()->children[0])->values[0].text), 50000u);
  }
  const char *odd[] = {"(", ")", "((((", "))))", "(\"", "(A (b \"unclosed))", "(A (b 1) \"",
                       "(\x01\x02 (\xff\xfe 1))", "( ( ( ) ) )", "(A (b 1 (c \"(\" )))",
                       "(a (b 1)) )(", "(A (\"b\" 1))", "(A ((b 1)))", "(A (b ) (c 1))"};
  for (const char *t : odd) {
    Parsed p(t);
    EXPECT_TRUE(p.rc >= 0 && p.rc <= 8) << t;
    if (p.rc == 0) Shape(p.tree->entries[0], 1);
  }
}

} // namespace
