#include "support/Folders.h"

#include <exception>
#include <optional>

#include "support/Errors.h"

namespace ov {

bool FolderExists(platform::FileSystem& fs, std::string_view path) {
  return !path.empty() && fs.DirectoryExists(std::string(path));
}

bool ForceFolder(platform::FileSystem& fs, std::string_view path) {
  if (path.empty()) throw OvError("Unable to create directory");
  std::string dir(path);
  if (dir.back() == '\\') dir.pop_back();
  if (dir.size() < 3 || fs.DirectoryExists(dir)) return true;

  const std::size_t cut = dir.find_last_of("\\:");
  if (cut == std::string::npos) {
    // A bare relative name: nothing above it to force.
    return fs.CreateDirectory(dir);
  }
  const std::string parent = dir.substr(0, cut + 1);
  if (parent.size() == dir.size()) {
    // Still ending in "\" (a doubled trailing backslash) names the parent itself; a name
    // ending in ":" that is not a folder cannot be created, and forcing it again would never end.
    return dir.back() == '\\' && ForceFolder(fs, parent);
  }
  return ForceFolder(fs, parent) && fs.CreateDirectory(dir);
}

std::string SpecialFolderPath(platform::System& system, int csidl, platform::WindowHandle owner) {
  std::optional<std::string> path;
  try {
    path = system.SpecialFolder(csidl, owner);
  } catch (const std::exception&) {
    return std::string();
  }
  if (!path) return std::string();
  if (!path->empty() && path->back() == '\\') path->pop_back();
  return *path;
}

}  // namespace ov
