#pragma once
// The program's resources with the package served from a mapped file instead of a copy in memory.
#include <string>
#include <string_view>

#include "platform/Resources.h"

namespace ov::bench {

class MappedResources final : public platform::Resources {
 public:
  // `package` (a view of a MappedFile) answers RCDATA "OVPACK"; every other lookup goes to `inner`.
  MappedResources(platform::Resources& inner, std::string_view package) : inner_(inner), package_(package) {}

  std::optional<std::string_view> Find(const std::string& name, platform::ResourceType type) override;
  // A part of the package leaves the resident set (madvise MADV_DONTNEED: the mapping is private and
  // never written, so its pages are the file's and are read in again when touched).
  void Release(std::string_view part) override;

 private:
  platform::Resources& inner_;
  std::string_view package_;
};

}  // namespace ov::bench
