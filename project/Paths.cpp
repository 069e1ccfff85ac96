#include "project/Paths.h"

#include <array>

#include "support/Text.h"

namespace ov::project {
namespace {

std::size_t AfterLastSeparator(std::string_view path) {
  const auto at = path.find_last_of("\\/:");
  return at == std::string_view::npos ? 0 : at + 1;
}

}  // namespace

std::string FileNamePart(std::string_view path) { return std::string(path.substr(AfterLastSeparator(path))); }

std::string FolderPart(std::string_view path) { return std::string(path.substr(0, AfterLastSeparator(path))); }

std::string ExtensionOf(std::string_view path) {
  const std::string name = FileNamePart(path);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool IsBundlePath(std::string_view path) { return EqualsNoCase(ExtensionOf(path), ".ov5"); }

bool IsPlainFileName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 32 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
  }
  // Windows drops trailing dots and blanks, and opens a device for a reserved name with any extension.
  if (name.back() == '.' || name.back() == ' ') return false;
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
  for (std::string_view device : kDevices) {
    if (EqualsNoCase(stem, device)) return false;
  }
  if (stem.size() == 4 && (EqualsNoCase(stem.substr(0, 3), "COM") || EqualsNoCase(stem.substr(0, 3), "LPT")) &&
      stem[3] >= '1' && stem[3] <= '9') {
    return false;
  }
  return true;
}

}  // namespace ov::project
