#pragma once
// The real registry through the A functions (names and texts are Windows-1252).
#include "platform/Registry.h"

namespace ov::win32 {

class Win32Registry final : public platform::Registry {
 public:
  std::unique_ptr<platform::RegistryKey> Open(platform::RegRoot root, const std::string& path,
                                              platform::RegAccess access) override;
  std::unique_ptr<platform::RegistryKey> Create(platform::RegRoot root, const std::string& path) override;
  bool DeleteKey(platform::RegRoot root, const std::string& path) override;
};

}  // namespace ov::win32
