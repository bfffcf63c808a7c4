#include "ami/AmiParameterTree.h"

#include "IbisParser/amip.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace Varnholt {

namespace {
enum { kString = 0, kInteger = 1, kBoolean = 2, kFloat = 3 };
}

AmiParameterTree::AmiParameterTree(const char *parameters) {
  if (!parameters) return;
  // The parser never writes its input, but the caller's text may be a
  // literal the host owns: work on a private copy.
  std::string copy(parameters);
  parsed_ = AMIP_Parse(copy.c_str(), &tree_) == 0;
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

const AMIP_LEAF *AmiParameterTree::FindInGroup(const AMIP_GROUP *group, const char *path,
                                               const std::string &prefix) {
  if (!group || group->child_count < 1 || !group->children) return nullptr;
  std::string own = prefix;
  if (!own.empty()) own += '.';
  if (group->name) own += group->name;
  for (int32_t i = 0; i < group->child_count; ++i) {
    const AMIP_ENTRY &e = group->children[i];
    if (!e.node) continue;
    if (e.kind == 1) {
      const AMIP_LEAF *leaf = static_cast<const AMIP_LEAF *>(e.node);
      std::string full = own + '.' + (leaf->name ? leaf->name : "");
      if (full == path) return leaf;
    } else {
      const AMIP_LEAF *found = FindInGroup(static_cast<const AMIP_GROUP *>(e.node), path, own);
      if (found) return found;
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
  target = std::atof(text);
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
