#pragma once
// The Windows shell. Shell links need COM initialised on the calling thread.
#include "platform/Shell.h"

namespace ov::win32 {

class Win32Shell final : public platform::Shell {
 public:
  void OpenDocument(platform::WindowHandle owner, const std::string& file) override;
  void NotifyAssociationsChanged() override;
  bool SaveShellLink(const platform::ShellLink& link, const std::string& linkFile) override;
  std::optional<platform::ShellLink> LoadShellLink(const std::string& linkFile) override;
};

}  // namespace ov::win32
