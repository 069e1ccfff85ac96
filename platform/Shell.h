#pragma once
// The Windows shell: opening documents, association changes, shell links.
#include <optional>
#include <string>

#include "platform/Types.h"

namespace ov::platform {

struct ShellLink {
  std::string target;
  std::string arguments;
  std::string workingDirectory;
};

class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecute with the verb "open" and a normal window; the result is not reported.
  virtual void OpenDocument(WindowHandle owner, const std::string& file) = 0;
  // SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, null, null).
  virtual void NotifyAssociationsChanged() = 0;
  // Saves a shell link file, replacing an existing one.
  virtual bool SaveShellLink(const ShellLink& link, const std::string& linkFile) = 0;
  // Reads a shell link file back; nullopt when it is not one.
  virtual std::optional<ShellLink> LoadShellLink(const std::string& linkFile) = 0;
};

}  // namespace ov::platform
