#pragma once
// A parsed absolute Windows path: a drive letter and the components below its root.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ov::emulated {

struct WindowsPath {
  char drive = 'C';                     // upper case
  std::vector<std::string> components;  // empty for the root

  bool IsRoot() const { return components.empty(); }
  WindowsPath Parent() const;
  // True when this path is `prefix` or lies below it.
  bool IsAtOrBelow(const WindowsPath& prefix) const;
};

// Parses "X:\a\b" with "\" or "/" separators. Repeated separators collapse, "." and ".." are
// resolved. "X:" alone is the root. Relative, drive-relative ("X:dir") and UNC paths, names with
// characters Windows forbids and texts of MAX_PATH characters or more give nullopt.
// With allowWildcards the last component may hold "*" and "?" (a FindFirstFile pattern).
std::optional<WindowsPath> ParseWindowsPath(std::string_view text, bool allowWildcards = false);

}  // namespace ov::emulated
