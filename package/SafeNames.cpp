#include "package/SafeNames.h"

namespace ov::package {

namespace {

bool IsSafeComponent(std::string_view part) {
  if (part.empty()) return false;
  if (part.back() == '.' || part.back() == ' ') return false;
  for (unsigned char c : part) {
    if (c < 32 || c == 127 || c == ':' || c == '/' || c == '\\') return false;
  }
  return true;
}

}  // namespace

bool IsSafeFolder(std::string_view folder) {
  if (folder.empty() || folder == "\\") return true;
  if (folder.front() != '\\') return false;
  folder.remove_prefix(1);
  if (folder.back() == '\\') folder.remove_suffix(1);
  while (true) {
    std::size_t cut = folder.find('\\');
    if (!IsSafeComponent(folder.substr(0, cut))) return false;
    if (cut == std::string_view::npos) return true;
    folder.remove_prefix(cut + 1);
  }
}

bool IsSafeName(std::string_view name) { return IsSafeComponent(name); }

}  // namespace ov::package
