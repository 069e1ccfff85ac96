#pragma once
// Name comparison as Windows does it for file, key, value and class names: ASCII letters
// compare without regard to case; every other byte compares as itself.
#include <string>
#include <string_view>

namespace ov::emulated {

char AsciiUpper(char c);
std::string AsciiUpper(std::string_view text);
bool SameName(std::string_view a, std::string_view b);

// Orders names by their upper-case form, as the registry enumerates subkeys.
struct NameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

// FindFirstFile matching: "*" any run of characters, "?" exactly one, no regard to case;
// "*.*" matches every name.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace ov::emulated
