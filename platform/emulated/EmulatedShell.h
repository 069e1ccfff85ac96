#pragma once
// The shell of the emulated machine: opened documents and association notices are recorded;
// a shell link is a small text file on the emulated disk:
//   [ShellLink]
//   target=...
//   arguments=...
//   workdir=...
#include <mutex>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Shell.h"

namespace ov::emulated {

class EmulatedShell final : public platform::Shell {
 public:
  explicit EmulatedShell(platform::FileSystem& files);

  std::vector<std::string> OpenedDocuments();
  int AssociationChangeNotifications();

  void OpenDocument(platform::WindowHandle owner, const std::string& file) override;
  void NotifyAssociationsChanged() override;
  // False when a field holds a line break, or the file cannot be written.
  bool SaveShellLink(const platform::ShellLink& link, const std::string& linkFile) override;
  std::optional<platform::ShellLink> LoadShellLink(const std::string& linkFile) override;

 private:
  platform::FileSystem& files_;
  std::mutex mutex_;
  std::vector<std::string> openedDocuments_;
  int associationChanges_ = 0;
};

}  // namespace ov::emulated
