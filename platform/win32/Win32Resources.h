#pragma once
// The resources linked into the program's own executable.
#include "platform/Resources.h"

namespace ov::win32 {

class Win32Resources final : public platform::Resources {
 public:
  std::optional<std::string_view> Find(const std::string& name, platform::ResourceType type) override;
};

}  // namespace ov::win32
