#include "platform/emulated/EmulatedResources.h"

namespace ov::emulated {

void EmulatedResources::Set(const std::string& name, platform::ResourceType type, std::string bytes) {
  std::lock_guard lock(mutex_);
  auto& slot = resources_[Key{type, AsciiUpper(name)}];
  if (slot) retired_.push_back(std::move(slot));
  slot = std::make_shared<const std::string>(std::move(bytes));
}

void EmulatedResources::Remove(const std::string& name, platform::ResourceType type) {
  std::lock_guard lock(mutex_);
  const auto it = resources_.find(Key{type, AsciiUpper(name)});
  if (it == resources_.end()) return;
  retired_.push_back(std::move(it->second));
  resources_.erase(it);
}

std::optional<std::string_view> EmulatedResources::Find(const std::string& name,
                                                        platform::ResourceType type) {
  std::lock_guard lock(mutex_);
  const auto it = resources_.find(Key{type, AsciiUpper(name)});
  if (it == resources_.end()) return std::nullopt;
  return std::string_view(*it->second);
}

}  // namespace ov::emulated
