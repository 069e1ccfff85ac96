#pragma once
// The program's own resources, read in place (no copy is made).
#include <optional>
#include <string>
#include <string_view>

namespace ov::platform {

enum class ResourceType { Bitmap = 2, RcData = 10 };

class Resources {
 public:
  virtual ~Resources() = default;
  // The resource's bytes, nullopt when the program has no such resource.
  virtual std::optional<std::string_view> Find(const std::string& name, ResourceType type) = 0;
};

}  // namespace ov::platform
