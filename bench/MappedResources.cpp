#include "bench/MappedResources.h"

#include <sys/mman.h>
#include <unistd.h>

#include <functional>

#include "package/Extraction.h"
#include "support/Text.h"

namespace ov::bench {

std::optional<std::string_view> MappedResources::Find(const std::string& name, platform::ResourceType type) {
  if (type == platform::ResourceType::RcData && EqualsNoCase(name, package::kPackageResource)) return package_;
  return inner_.Find(name, type);
}

void MappedResources::Release(std::string_view part) {
  const std::less_equal<const char*> notAfter;
  const bool inPackage = notAfter(package_.data(), part.data()) &&
                         notAfter(part.data() + part.size(), package_.data() + package_.size());
  if (!inPackage) {
    inner_.Release(part);
    return;
  }
  const auto pageSize = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::string_view pages = platform::PagesWithin(part, pageSize);
  if (!pages.empty()) ::madvise(const_cast<char*>(pages.data()), pages.size(), MADV_DONTNEED);
}

}  // namespace ov::bench
