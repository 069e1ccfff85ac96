#pragma once
// The in-memory registry: one tree of keys per root.
#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Registry.h"
#include "platform/emulated/Names.h"

namespace ov::emulated {

struct RegNode {
  std::string name;
  std::vector<std::pair<std::string, platform::RegValue>> values;  // in the order first set
  std::map<std::string, std::shared_ptr<RegNode>, NameLess> subkeys;
  bool deleted = false;  // removed from the tree while a handle still held it

  const platform::RegValue* FindValue(std::string_view valueName) const;
  // Replaces a value of that name in place, or adds it at the end.
  void SetValue(const std::string& valueName, platform::RegValue value);
};

using KeyPath = std::vector<std::string>;

// "A\B\C" into its names; "" is the root. One trailing backslash is ignored; a leading
// backslash or an empty name gives nullopt.
std::optional<KeyPath> SplitKeyPath(std::string_view path);
bool IsAtOrBelow(const KeyPath& path, const KeyPath& prefix);

// Where a key lives. HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes, as Wine has it
// (and Windows, for a machine-wide class), so `root` is LocalMachine or CurrentUser.
struct KeyLocation {
  platform::RegRoot root = platform::RegRoot::LocalMachine;
  KeyPath path;
};
KeyLocation Locate(platform::RegRoot root, KeyPath path);

// The trees kept: HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
constexpr std::size_t kTreeCount = 2;
using Trees = std::array<std::shared_ptr<RegNode>, kTreeCount>;
std::size_t TreeIndex(platform::RegRoot root);  // of a located root

struct RegistryState {
  RegistryState();

  // Nullptr when a key on the way is missing.
  std::shared_ptr<RegNode> Find(const KeyLocation& key) const;
  std::shared_ptr<RegNode> FindOrCreate(const KeyLocation& key);
  bool WritesDenied(const KeyLocation& key) const;

  mutable std::mutex mutex;
  Trees trees;
  std::vector<KeyLocation> deniedUnder;
};

}  // namespace ov::emulated
