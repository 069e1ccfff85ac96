#include "bench/MappedResources.h"

#include "package/Extraction.h"
#include "support/Text.h"

namespace ov::bench {

std::optional<std::string_view> MappedResources::Find(const std::string& name, platform::ResourceType type) {
  if (type == platform::ResourceType::RcData && EqualsNoCase(name, package::kPackageResource)) return package_;
  return inner_.Find(name, type);
}

}  // namespace ov::bench
