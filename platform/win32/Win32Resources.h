#pragma once
// The resources linked into the program's own executable.
#include "platform/Resources.h"

namespace ov::win32 {

class Win32Resources final : public platform::Resources {
 public:
  std::optional<std::string_view> Find(const std::string& name, platform::ResourceType type) override;
  // Takes the part's whole pages out of the working set; the image keeps them mapped.
  void Release(std::string_view part) override;
};

}  // namespace ov::win32
