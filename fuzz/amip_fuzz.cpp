// Parses arbitrary bytes as an AMI parameter string, walks the tree, and
// drives the model's parameter lookups on it, checking each against a plain
// recursive search of the same tree. Bytes up to the first NUL
// are the parameter string; the bytes behind it, if any, are one more
// lookup path.
// fuzz-sources: ami/AmiParameterTree.cpp
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "IbisParser/amip.h"
#include "IbisParser/msg.h"
#include "ami/AmiParameterTree.h"

namespace {

// Checks every invariant a user of the tree relies on; collects leaf paths.
void Walk(const AMIP_TREE *tree, std::vector<std::string> &paths) {
  if (tree->count < 1 || !tree->entries) __builtin_trap();
  const AMIP_ENTRY &root = tree->entries[0];
  if (root.kind != AMIP_KIND_GROUP || !root.node) __builtin_trap();
  struct Item {
    const AMIP_ENTRY *e;
    std::string path;
  };
  std::vector<Item> todo{{&root, ""}};
  while (!todo.empty()) {
    Item it = todo.back();
    todo.pop_back();
    const AMIP_ENTRY &e = *it.e;
    if (!e.node) __builtin_trap();
    if (e.kind == AMIP_KIND_GROUP) {
      const AMIP_GROUP *g = static_cast<const AMIP_GROUP *>(e.node);
      if (!g->name || g->child_count < 0 || (g->child_count > 0 && !g->children)) __builtin_trap();
      std::string own = it.path.empty() ? g->name : it.path + "." + g->name;
      for (int32_t i = 0; i < g->child_count; i++) {
        if (g->children[i].depth != e.depth + 1) __builtin_trap();
        if (own.size() < 256) todo.push_back({&g->children[i], own});
      }
    } else if (e.kind == AMIP_KIND_LEAF) {
      const AMIP_LEAF *l = static_cast<const AMIP_LEAF *>(e.node);
      if (!l->name || l->value_count < 0 || (l->value_count > 0 && !l->values)) __builtin_trap();
      if (l->definition < 0 || l->definition > 6) __builtin_trap();
      for (int32_t i = 0; i < l->value_count; i++) {
        const AMIP_VALUE &v = l->values[i];
        if (!v.text || v.value_type < -1 || v.value_type > 3) __builtin_trap();
        if (v.reserved < -1 || v.reserved > 19) __builtin_trap();
        if ((v.value_type == -1) != (v.text[0] == '\0')) __builtin_trap();
      }
      if (paths.size() < 16) paths.push_back(it.path + "." + l->name);
    } else {
      __builtin_trap();
    }
  }
}

// The lookup as a plain recursion over the same tree: the first leaf in
// document order whose full path equals path. *deep is set when the tree
// is nested too deeply to decide without risking the stack.
const AMIP_LEAF *Reference(const AMIP_GROUP *g, const std::string &path, const std::string &prefix,
                           int level, bool *deep) {
  if (!g || g->child_count < 1) return nullptr;
  if (level > 200) {
    *deep = true;
    return nullptr;
  }
  std::string own = prefix.empty() ? g->name : prefix + "." + g->name;
  if (own.size() > path.size()) return nullptr;
  for (int32_t i = 0; i < g->child_count; i++) {
    const AMIP_ENTRY &e = g->children[i];
    if (e.kind == AMIP_KIND_LEAF) {
      const AMIP_LEAF *l = static_cast<const AMIP_LEAF *>(e.node);
      if (own + "." + l->name == path) return l;
    } else if (const AMIP_LEAF *l =
                   Reference(static_cast<const AMIP_GROUP *>(e.node), path, own, level + 1, deep)) {
      return l;
    }
  }
  return nullptr;
}

bool SameLeaf(const AMIP_LEAF *a, const AMIP_LEAF *b) {
  if (!a || !b) return a == b;
  if (strcmp(a->name, b->name) != 0 || a->value_count != b->value_count) return false;
  for (int32_t i = 0; i < a->value_count; i++) {
    if (strcmp(a->values[i].text, b->values[i].text) != 0) return false;
  }
  return true;
}

// tree: the same text parsed once more (null when it did not parse).
void Lookups(const char *text, const AMIP_TREE *tree, std::vector<std::string> paths) {
  Varnholt::AmiParameterTree params(text);
  if (params.IsParsed() != (tree != nullptr)) __builtin_trap();
  paths.push_back("Sarnet.Gain");
  paths.push_back("Welbrook_rx.EQ");
  paths.push_back("");
  paths.push_back(".");
  for (const std::string &p : paths) {
    double d = 0;
    int32_t n = 0;
    bool b = false;
    char *s = nullptr;
    if (tree) {
      bool deep = false;
      const AMIP_LEAF *want = Reference(static_cast<const AMIP_GROUP *>(tree->entries[0].node), p,
                                        "", 0, &deep);
      if (!deep && !SameLeaf(want, params.Find(p.c_str()))) __builtin_trap();
    }
    params.GetDouble(d, p.c_str());
    params.GetInt(n, p.c_str());
    params.GetBool(b, p.c_str());
    params.GetString(s, p.c_str());
    delete[] s;
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  static FILE *sink = fopen("/dev/null", "w");
  if (sink) MSG_SetOutput(sink);
  std::string text(reinterpret_cast<const char *>(data), size); // NUL-terminated copy
  const char *str = text.c_str();
  size_t len = strlen(str);

  std::vector<std::string> paths;
  AMIP_TREE *tree = nullptr;
  int rc = AMIP_Parse(str, &tree);
  if (rc < 0 || rc > 8) __builtin_trap();
  if (rc == 0) {
    Walk(tree, paths);
  } else if (tree) {
    __builtin_trap(); // a failed parse hands nothing out
  }
  if (len < size) paths.push_back(std::string(str + len + 1));
  Lookups(str, tree, paths);
  if (tree) {
    AMIP_FreeTree(&tree);
    if (tree) __builtin_trap();
  }
  return 0;
}
