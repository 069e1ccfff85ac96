#include "platform/emulated/EmulatedRegistry.h"

#include <fstream>
#include <iterator>

#include "platform/emulated/RegFile.h"
#include "platform/emulated/RegistryTree.h"

namespace ov::emulated {

using platform::RegRoot;
using platform::RegValue;

namespace {

class EmulatedKey final : public platform::RegistryKey {
 public:
  EmulatedKey(std::shared_ptr<RegistryState> state, std::shared_ptr<RegNode> node, KeyLocation location,
              bool writable)
      : state_(std::move(state)),
        node_(std::move(node)),
        location_(std::move(location)),
        writable_(writable) {}

  bool SetString(const std::string& name, const std::string& text) override {
    RegValue value;
    value.text = text;
    return Set(name, std::move(value));
  }

  bool SetDword(const std::string& name, std::uint32_t number) override {
    RegValue value;
    value.type = platform::RegType::Dword;
    value.number = number;
    return Set(name, std::move(value));
  }

  std::optional<RegValue> Value(const std::string& name) override {
    std::lock_guard lock(state_->mutex);
    if (node_->deleted) return std::nullopt;
    const RegValue* value = node_->FindValue(name);
    if (!value) return std::nullopt;
    return *value;
  }

  std::vector<std::string> SubKeyNames() override {
    std::lock_guard lock(state_->mutex);
    std::vector<std::string> names;
    if (node_->deleted) return names;
    for (const auto& [name, child] : node_->subkeys) names.push_back(child->name);
    return names;
  }

 private:
  bool Set(const std::string& name, RegValue value) {
    std::lock_guard lock(state_->mutex);
    if (!writable_ || node_->deleted || state_->WritesDenied(location_)) return false;
    node_->SetValue(name, std::move(value));
    return true;
  }

  const std::shared_ptr<RegistryState> state_;
  const std::shared_ptr<RegNode> node_;
  const KeyLocation location_;
  const bool writable_;
};

// The key's place, or nullopt for a path that is not one.
std::optional<KeyLocation> Where(RegRoot root, const std::string& path) {
  auto names = SplitKeyPath(path);
  if (!names) return std::nullopt;
  return Locate(root, std::move(*names));
}

void MarkDeleted(RegNode& node) {
  node.deleted = true;
  for (auto& [name, child] : node.subkeys) MarkDeleted(*child);
}

}  // namespace

EmulatedRegistry::EmulatedRegistry() : state_(std::make_shared<RegistryState>()) {}

std::unique_ptr<platform::RegistryKey> EmulatedRegistry::Open(RegRoot root, const std::string& path,
                                                              platform::RegAccess access) {
  auto key = Where(root, path);
  if (!key) return nullptr;
  std::lock_guard lock(state_->mutex);
  const bool writable = access == platform::RegAccess::All;
  if (writable && state_->WritesDenied(*key)) return nullptr;
  auto node = state_->Find(*key);
  if (!node) return nullptr;
  return std::make_unique<EmulatedKey>(state_, std::move(node), std::move(*key), writable);
}

std::unique_ptr<platform::RegistryKey> EmulatedRegistry::Create(RegRoot root, const std::string& path) {
  auto key = Where(root, path);
  if (!key) return nullptr;
  std::lock_guard lock(state_->mutex);
  if (state_->WritesDenied(*key)) return nullptr;
  auto node = state_->FindOrCreate(*key);
  return std::make_unique<EmulatedKey>(state_, std::move(node), std::move(*key), true);
}

bool EmulatedRegistry::DeleteKey(RegRoot root, const std::string& path) {
  const auto names = SplitKeyPath(path);
  if (!names || names->empty()) return false;  // a root cannot be deleted
  const KeyLocation key = Locate(root, *names);
  std::lock_guard lock(state_->mutex);
  if (state_->WritesDenied(key)) return false;
  KeyLocation parentKey = key;
  parentKey.path.pop_back();
  const auto parent = state_->Find(parentKey);
  if (!parent) return false;
  const auto it = parent->subkeys.find(key.path.back());
  if (it == parent->subkeys.end() || !it->second->subkeys.empty()) return false;
  MarkDeleted(*it->second);
  parent->subkeys.erase(it);
  return true;
}

bool EmulatedRegistry::SetValue(RegRoot root, const std::string& path, const std::string& name,
                                const RegValue& value) {
  const auto key = Where(root, path);
  if (!key) return false;
  std::lock_guard lock(state_->mutex);
  state_->FindOrCreate(*key)->SetValue(name, value);
  return true;
}

bool EmulatedRegistry::Save(const std::filesystem::path& regFile) {
  std::optional<std::string> text;
  {
    std::lock_guard lock(state_->mutex);
    text = FormatRegFile(state_->trees);
  }
  if (!text) return false;
  std::ofstream out(regFile, std::ios::binary | std::ios::trunc);
  out.write(text->data(), static_cast<std::streamsize>(text->size()));
  out.close();
  return static_cast<bool>(out);
}

bool EmulatedRegistry::Load(const std::filesystem::path& regFile) {
  std::ifstream in(regFile, std::ios::binary);
  if (!in) return false;
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return false;
  const auto entries = ParseRegFile(text);
  if (!entries) return false;
  std::lock_guard lock(state_->mutex);
  for (const RegFileEntry& entry : *entries) {
    const auto node = state_->FindOrCreate(entry.key);
    if (entry.value) node->SetValue(entry.value->first, entry.value->second);
  }
  return true;
}

void EmulatedRegistry::DenyWritesUnder(RegRoot root, const std::string& keyPrefix) {
  auto key = Where(root, keyPrefix);
  if (!key) return;
  std::lock_guard lock(state_->mutex);
  state_->deniedUnder.push_back(std::move(*key));
}

void EmulatedRegistry::ClearFaults() {
  std::lock_guard lock(state_->mutex);
  state_->deniedUnder.clear();
}

}  // namespace ov::emulated
