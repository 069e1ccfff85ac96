#include "package/SafeNames.h"

#include "support/Text.h"

namespace ov::package {

namespace {

// Windows opens a device instead of a file for these names, whatever extension follows: "nul.txt" is
// the null device, "com1.log" a serial port.
bool IsDeviceName(std::string_view part) {
  std::string_view stem = part.substr(0, part.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
    if (EqualsNoCase(stem, device)) return true;
  }
  if (stem.size() != 4 || !(EqualsNoCase(stem.substr(0, 3), "COM") || EqualsNoCase(stem.substr(0, 3), "LPT"))) {
    return false;
  }
  const auto digit = static_cast<unsigned char>(stem[3]);
  // Superscript one, two and three (Windows-1252) count as digits here too.
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool IsSafeComponent(std::string_view part) {
  if (part.empty()) return false;
  if (part.back() == '.' || part.back() == ' ') return false;
  for (unsigned char c : part) {
    if (c < 32 || c == 127 || c == ':' || c == '/' || c == '\\') return false;
  }
  return !IsDeviceName(part);
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
