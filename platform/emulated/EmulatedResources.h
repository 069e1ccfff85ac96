#pragma once
// The program's resources on the emulated machine, set by the test. Names compare without regard
// to case, as FindResource does. A view stays valid until the machine goes away, even when the
// resource is replaced or removed.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/Resources.h"
#include "platform/emulated/Names.h"

namespace ov::emulated {

class EmulatedResources final : public platform::Resources {
 public:
  void Set(const std::string& name, platform::ResourceType type, std::string bytes);
  void Remove(const std::string& name, platform::ResourceType type);

  std::optional<std::string_view> Find(const std::string& name, platform::ResourceType type) override;

 private:
  using Key = std::pair<platform::ResourceType, std::string>;  // upper-case name

  std::mutex mutex_;
  std::map<Key, std::shared_ptr<const std::string>> resources_;
  std::vector<std::shared_ptr<const std::string>> retired_;  // keeps handed-out views valid
};

}  // namespace ov::emulated
