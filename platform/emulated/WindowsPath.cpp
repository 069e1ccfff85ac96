#include "platform/emulated/WindowsPath.h"

#include <cstddef>

#include "platform/emulated/Names.h"

namespace ov::emulated {
namespace {

constexpr std::size_t kMaxPath = 260;  // including the terminating zero

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsForbidden(char c, bool allowWildcards) {
  if (static_cast<unsigned char>(c) < 32) return true;
  switch (c) {
    case '<':
    case '>':
    case ':':
    case '"':
    case '|':
      return true;
    case '*':
    case '?':
      return !allowWildcards;
    default:
      return false;
  }
}

}  // namespace

WindowsPath WindowsPath::Parent() const {
  WindowsPath parent = *this;
  if (!parent.components.empty()) parent.components.pop_back();
  return parent;
}

bool WindowsPath::IsAtOrBelow(const WindowsPath& prefix) const {
  if (drive != prefix.drive || components.size() < prefix.components.size()) return false;
  for (std::size_t i = 0; i < prefix.components.size(); ++i) {
    if (!SameName(components[i], prefix.components[i])) return false;
  }
  return true;
}

std::optional<WindowsPath> ParseWindowsPath(std::string_view text, bool allowWildcards) {
  if (text.size() >= kMaxPath || text.size() < 2 || text[1] != ':') return std::nullopt;
  const char letter = AsciiUpper(text[0]);
  if (letter < 'A' || letter > 'Z') return std::nullopt;
  if (text.size() > 2 && !IsSeparator(text[2])) return std::nullopt;  // "C:dir" is drive-relative

  WindowsPath path;
  path.drive = letter;
  std::vector<std::string> raw;
  std::size_t pos = 2;
  while (pos < text.size()) {
    while (pos < text.size() && IsSeparator(text[pos])) ++pos;
    std::size_t end = pos;
    while (end < text.size() && !IsSeparator(text[end])) ++end;
    if (end > pos) raw.emplace_back(text.substr(pos, end - pos));
    pos = end;
  }
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const std::string& name = raw[i];
    if (name == ".") continue;
    if (name == "..") {
      if (!path.components.empty()) path.components.pop_back();
      continue;
    }
    const bool last = i + 1 == raw.size();
    for (char c : name) {
      if (IsForbidden(c, allowWildcards && last)) return std::nullopt;
    }
    path.components.push_back(name);
  }
  return path;
}

}  // namespace ov::emulated
