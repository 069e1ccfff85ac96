#include "platform/emulated/RegistryTree.h"

#include <iterator>

namespace ov::emulated {

const platform::RegValue* RegNode::FindValue(std::string_view valueName) const {
  for (const auto& [existingName, value] : values) {
    if (SameName(existingName, valueName)) return &value;
  }
  return nullptr;
}

void RegNode::SetValue(const std::string& valueName, platform::RegValue value) {
  for (auto& [existingName, existing] : values) {
    if (SameName(existingName, valueName)) {
      existing = std::move(value);
      return;
    }
  }
  values.emplace_back(valueName, std::move(value));
}

std::optional<KeyPath> SplitKeyPath(std::string_view path) {
  KeyPath names;
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.empty()) return names;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::string_view name = path.substr(start, end == std::string_view::npos ? path.npos : end - start);
    if (name.empty()) return std::nullopt;
    names.emplace_back(name);
    if (end == std::string_view::npos) return names;
    start = end + 1;
  }
}

bool IsAtOrBelow(const KeyPath& path, const KeyPath& prefix) {
  if (path.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (!SameName(path[i], prefix[i])) return false;
  }
  return true;
}

KeyLocation Locate(platform::RegRoot root, KeyPath path) {
  if (root != platform::RegRoot::ClassesRoot) return KeyLocation{root, std::move(path)};
  KeyPath full = {"Software", "Classes"};
  full.insert(full.end(), std::make_move_iterator(path.begin()), std::make_move_iterator(path.end()));
  return KeyLocation{platform::RegRoot::LocalMachine, std::move(full)};
}

std::size_t TreeIndex(platform::RegRoot root) { return root == platform::RegRoot::CurrentUser ? 1 : 0; }

RegistryState::RegistryState() {
  for (auto& tree : trees) tree = std::make_shared<RegNode>();
  // HKEY_CLASSES_ROOT always exists.
  FindOrCreate(Locate(platform::RegRoot::ClassesRoot, {}));
}

std::shared_ptr<RegNode> RegistryState::Find(const KeyLocation& key) const {
  std::shared_ptr<RegNode> node = trees[TreeIndex(key.root)];
  for (const std::string& name : key.path) {
    const auto it = node->subkeys.find(name);
    if (it == node->subkeys.end()) return nullptr;
    node = it->second;
  }
  return node;
}

std::shared_ptr<RegNode> RegistryState::FindOrCreate(const KeyLocation& key) {
  std::shared_ptr<RegNode> node = trees[TreeIndex(key.root)];
  for (const std::string& name : key.path) {
    auto& child = node->subkeys[name];
    if (!child) {
      child = std::make_shared<RegNode>();
      child->name = name;
    }
    node = child;
  }
  return node;
}

bool RegistryState::WritesDenied(const KeyLocation& key) const {
  for (const KeyLocation& denied : deniedUnder) {
    if (denied.root == key.root && IsAtOrBelow(key.path, denied.path)) return true;
  }
  return false;
}

}  // namespace ov::emulated
