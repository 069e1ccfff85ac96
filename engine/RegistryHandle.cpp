#include "engine/RegistryHandle.h"

#include <utility>

#include "support/Errors.h"

namespace ov::engine {

RegistryHandle::RegistryHandle(platform::Registry& registry, platform::RegRoot root)
    : registry_(registry), root_(root) {}

std::string RegistryHandle::FullPath(const std::string& path) const {
  if (!key_ || keyPath_.empty()) return path;
  if (path.empty()) return keyPath_;
  return keyPath_ + "\\" + path;
}

bool RegistryHandle::OpenKey(const std::string& path, bool canCreate) {
  std::string full = FullPath(path);
  std::unique_ptr<platform::RegistryKey> key =
      canCreate ? registry_.Create(root_, full) : registry_.Open(root_, full, platform::RegAccess::All);
  if (!key) return false;
  key_ = std::move(key);
  keyPath_ = std::move(full);
  return true;
}

void RegistryHandle::CreateKey(const std::string& path) {
  const std::string full = FullPath(path);
  if (!registry_.Create(root_, full)) throw OvError("Failed to create key " + full);
}

platform::RegistryKey& RegistryHandle::OpenedKey(const std::string& valueName) {
  if (!key_) throw OvError("Failed to set data for '" + valueName + "': no key is open");
  return *key_;
}

void RegistryHandle::WriteString(const std::string& name, const std::string& text) {
  if (!OpenedKey(name).SetString(name, text)) throw OvError("Failed to set data for '" + name + "'");
}

void RegistryHandle::WriteInteger(const std::string& name, std::int32_t value) {
  if (!OpenedKey(name).SetDword(name, static_cast<std::uint32_t>(value))) {
    throw OvError("Failed to set data for '" + name + "'");
  }
}

std::vector<std::string> RegistryHandle::GetKeyNames() {
  if (!key_) return {};
  return key_->SubKeyNames();
}

void RegistryHandle::CloseKey() {
  key_.reset();
  keyPath_.clear();
}

bool RegistryHandle::DeleteKey(const std::string& path) { return registry_.DeleteKey(root_, FullPath(path)); }

}  // namespace ov::engine
