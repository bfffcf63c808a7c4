// Reads model parameters from an AMI parameter string by dotted path
// ("Model.Param", nested groups joined by points).
#ifndef VARNHOLT_AMI_AMIPARAMETERTREE_H
#define VARNHOLT_AMI_AMIPARAMETERTREE_H

#include <cstdint>
#include <string>

struct AMIP_TREE;
struct AMIP_GROUP;
struct AMIP_LEAF;
struct AMIP_ALLOC;

namespace Varnholt {

// A failed parse only makes every lookup fail; a failed lookup returns false
// and leaves the target untouched. The parse reports nothing itself: it runs
// in the host's process, whose output is not ours.
class AmiParameterTree {
public:
  // alloc null: calloc and realloc (the parser's silent allocator).
  explicit AmiParameterTree(const char *parameters, const AMIP_ALLOC *alloc = nullptr);
  ~AmiParameterTree();
  AmiParameterTree(const AmiParameterTree &) = delete;
  AmiParameterTree &operator=(const AmiParameterTree &) = delete;

  bool IsParsed() const { return parsed_; }
  // The parse could not get the memory it needed.
  bool OutOfMemory() const { return outOfMemory_; }

  const AMIP_LEAF *Find(const char *path) const;
  // A number that is not finite (one too large for a double) is refused.
  bool GetDouble(double &target, const char *path) const;
  bool GetInt(int32_t &target, const char *path) const;
  bool GetBool(bool &target, const char *path) const;
  // On success the caller's buffer is released (delete[]) and replaced by a
  // new one (new[]) holding the text.
  bool GetString(char *&text, const char *path) const;

  static bool FirstChildIsLeaf(const AMIP_GROUP *group);
  // The first leaf in document order below group whose full path is path;
  // group's own path is prefix, a point (when prefix is not empty), its name.
  static const AMIP_LEAF *FindInGroup(const AMIP_GROUP *group, const char *path,
                                      const std::string &prefix);

private:
  // The first value of the leaf at path if its type is one of the two given.
  const char *FirstValue(const char *path, int typeA, int typeB) const;

  bool parsed_ = false;
  bool outOfMemory_ = false;
  AMIP_TREE *tree_ = nullptr;
};

} // namespace Varnholt

#endif
