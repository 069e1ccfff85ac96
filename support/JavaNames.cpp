#include "support/JavaNames.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

#include "support/Text.h"

namespace ov {

namespace {

// The keywords of Java 1.4 with the literals true, false and null.
constexpr std::array<std::string_view, 52> kReservedWords = {
    "abstract",  "do",         "if",      "package",   "synchronized", "boolean",   "double",   "implements",
    "private",   "this",       "break",   "else",      "import",       "protected", "throw",    "byte",
    "extends",   "instanceof", "public",  "throws",    "case",         "false",     "int",      "return",
    "transient", "catch",      "final",   "interface", "short",        "true",      "char",     "finally",
    "long",      "static",     "try",     "class",     "float",        "native",    "strictfp", "void",
    "const",     "for",        "new",     "super",     "volatile",     "continue",  "goto",     "null",
    "switch",    "while",      "default", "assert"};

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsJavaReservedWord(std::string_view text) {
  return std::find(kReservedWords.begin(), kReservedWords.end(), text) != kReservedWords.end();
}

bool IsPlainIdentifier(std::string_view text) {
  if (text.empty() || IsAsciiDigit(text.front())) return false;
  return std::all_of(text.begin(), text.end(), [](char c) { return IsAsciiLetter(c) || IsAsciiDigit(c); });
}

bool CheckPackageName(std::string& text) {
  try {
    if (text.empty() || IsJavaReservedWord(text)) return false;
    // Parts are cut at "." and at "|" alike; the first empty part ends the name.
    std::string accumulated;
    bool invalid = false;
    std::string_view rest = text;
    while (true) {
      const std::size_t cut = rest.find_first_of(".|");
      const std::string_view part = rest.substr(0, cut);
      if (part.empty()) break;
      if (IsPlainIdentifier(part)) {
        accumulated.append(part).push_back('.');
      } else {
        invalid = true;
      }
      if (cut == std::string_view::npos) break;
      rest.remove_prefix(cut + 1);
    }
    if (invalid) return false;
    if (!accumulated.empty()) accumulated.pop_back();
    std::string cleaned = Trim(accumulated);
    if (cleaned.empty()) return false;
    text = std::move(cleaned);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace ov
