#pragma once
// The program's own resources, read in place (no copy is made).
#include <cstddef>
#include <cstdint>
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
  // Tells the platform that `part`, bytes of a view Find gave, has been used up for now: the whole
  // pages inside it may leave memory. The view stays valid; a page read again is brought back.
  virtual void Release([[maybe_unused]] std::string_view part) {}
};

// The whole pages of `pageSize` bytes (a power of two) inside `part`; empty when there is none.
inline std::string_view PagesWithin(std::string_view part, std::size_t pageSize) {
  const auto start = reinterpret_cast<std::uintptr_t>(part.data());
  const std::uintptr_t mask = ~(static_cast<std::uintptr_t>(pageSize) - 1);
  const std::uintptr_t first = (start + pageSize - 1) & mask;
  const std::uintptr_t end = (start + part.size()) & mask;
  if (part.empty() || end <= first) return {};
  return {part.data() + (first - start), end - first};
}

}  // namespace ov::platform
