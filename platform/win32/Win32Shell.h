#pragma once
// The Windows shell. Shell links are saved and read on a thread of their own, with a COM
// apartment of its own, while the calling thread keeps answering the messages other threads send
// to its windows: the wizard stays responsive while its shortcuts are made.
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
