// Parameter lookup by dotted path over the parsed AMI parameter tree, and
// the conversions of a leaf's first value to double, int, bool or text.
#include "ami/AmiParameterTree.h"

#include "IbisParser/amip.h"
#include "IbisParser/cmn.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <strings.h>
#include <vector>

namespace Varnholt {

namespace {
enum { kString = 0, kInteger = 1, kBoolean = 2, kFloat = 3 };
}

AmiParameterTree::AmiParameterTree(const char *parameters, const AMIP_ALLOC *alloc) {
  if (!parameters) return;
  // The parser never writes its input, but the caller's text may be a
  // literal the host owns: work on a private copy.
  std::string copy;
  try {
    copy = parameters;
  } catch (const std::bad_alloc &) {
    outOfMemory_ = true;
    return;
  }
  const int rc = AMIP_ParseWith(copy.c_str(), &tree_, alloc ? alloc : &AMIP_silentAlloc);
  parsed_ = rc == AMIP_OK;
  outOfMemory_ = rc == AMIP_ERR_MEMORY;
  if (!parsed_) tree_ = nullptr;
}

AmiParameterTree::~AmiParameterTree() {
  // Nothing reads the tree once AMI_Init is done with it.
  if (tree_) AMIP_FreeTree(&tree_);
}

const AMIP_LEAF *AmiParameterTree::Find(const char *path) const {
  if (!tree_ || !parsed_ || !path || tree_->count < 1 || !tree_->entries) return nullptr;
  const AMIP_ENTRY &first = tree_->entries[0];
  if (first.kind == 1 || !first.node) return nullptr;
  return FindInGroup(static_cast<const AMIP_GROUP *>(first.node), path, std::string());
}

// Depth first, children in text order; the first leaf whose full path equals
// the asked path wins. A group's own path is its parent's path, a point (only
// when that path is not empty) and its name; a leaf's is its group's path, a
// point and its name. The walk keeps an explicit stack and descends only into
// groups whose own path is a prefix of the asked one, so neither a deeply
// nested string nor a long path can exhaust the host's stack.
const AMIP_LEAF *AmiParameterTree::FindInGroup(const AMIP_GROUP *group, const char *path,
                                               const std::string &prefix) {
  if (!group || !path) return nullptr;
  const size_t pathLength = std::strlen(path);
  // Length of the group's own path within path, or false when path does not
  // begin with it.
  auto ownPath = [&](const char *name, size_t parentLength, bool parentEmpty, size_t &length) {
    size_t at = parentLength;
    if (!parentEmpty) {
      if (at >= pathLength || path[at] != '.') return false;
      ++at;
    }
    const size_t n = name ? std::strlen(name) : 0;
    if (pathLength - at < n || std::memcmp(path + at, name, n) != 0) return false;
    length = at + n;
    return true;
  };

  struct Frame {
    const AMIP_GROUP *group;
    size_t length;   // of the group's own path
    bool empty;      // the group's own path is empty
    int32_t next;    // next child to visit
  };
  size_t rootLength = 0;
  if (prefix.size() > pathLength || prefix.compare(0, prefix.size(), path, prefix.size()) != 0 ||
      !ownPath(group->name, prefix.size(), prefix.empty(), rootLength))
    return nullptr;
  std::vector<Frame> stack{{group, rootLength, prefix.empty() && rootLength == 0, 0}};
  while (!stack.empty()) {
    Frame &f = stack.back();
    if (f.next >= f.group->child_count || !f.group->children) {
      stack.pop_back();
      continue;
    }
    const AMIP_ENTRY &e = f.group->children[f.next++];
    if (!e.node) continue;
    if (e.kind == 1) {
      const AMIP_LEAF *leaf = static_cast<const AMIP_LEAF *>(e.node);
      if (f.length < pathLength && path[f.length] == '.' &&
          std::strcmp(path + f.length + 1, leaf->name ? leaf->name : "") == 0)
        return leaf;
    } else {
      const AMIP_GROUP *child = static_cast<const AMIP_GROUP *>(e.node);
      size_t length = 0;
      if (child->child_count > 0 && ownPath(child->name, f.length, f.empty, length))
        stack.push_back({child, length, f.empty && length == 0, 0});
    }
  }
  return nullptr;
}

const char *AmiParameterTree::FirstValue(const char *path, int typeA, int typeB) const {
  const AMIP_LEAF *leaf = Find(path);
  if (!leaf || leaf->value_count < 1 || !leaf->values) return nullptr;
  const AMIP_VALUE &v = leaf->values[0];
  if (!v.text || (v.value_type != typeA && v.value_type != typeB)) return nullptr;
  return v.text;
}

bool AmiParameterTree::GetDouble(double &target, const char *path) const {
  const char *text = FirstValue(path, kInteger, kFloat);
  if (!text) return false;
  // The text passed as a number when the parser classified it; reading it
  // the same locale-independent way keeps "2.5" 2.5 under any host locale.
  char *end = nullptr;
  const double value = CMN_StrToD(text, &end);
  if (!std::isfinite(value)) return false;
  target = value;
  return true;
}

bool AmiParameterTree::GetInt(int32_t &target, const char *path) const {
  double d = 0.0;
  if (!GetDouble(d, path)) return false;
  // A value outside the 32-bit range (or NaN) has no truncation; refuse it
  // rather than invoke undefined behaviour.
  if (!(d > -2147483649.0 && d < 2147483648.0)) return false;
  target = static_cast<int32_t>(d);
  return true;
}

bool AmiParameterTree::GetBool(bool &target, const char *path) const {
  const char *text = FirstValue(path, kBoolean, kBoolean);
  if (!text) return false;
  target = strcasecmp(text, "true") == 0;
  return true;
}

bool AmiParameterTree::GetString(char *&text, const char *path) const {
  const char *value = FirstValue(path, kString, kString);
  if (!value) return false;
  size_t n = std::strlen(value);
  char *copy = new char[n + 1];
  std::memcpy(copy, value, n + 1);
  delete[] text;
  text = copy;
  return true;
}

bool AmiParameterTree::FirstChildIsLeaf(const AMIP_GROUP *group) {
  return group && group->child_count > 0 && group->children && group->children[0].kind == 1;
}

} // namespace Varnholt
