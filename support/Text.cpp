#include "support/Text.h"

#include <limits>

namespace ov {

namespace {

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string Trim(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsTrimmed(text[first])) ++first;
  while (last > first && IsTrimmed(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

std::string NthField(std::string_view text, std::string_view sep, int n) {
  if (n <= 0) return std::string(text);
  std::string_view rest = text;
  for (int i = 1;; ++i) {
    // An empty separator is never found.
    const std::size_t at = sep.empty() ? std::string_view::npos : rest.find(sep);
    if (i == n) return std::string(at == std::string_view::npos ? rest : rest.substr(0, at));
    if (at == std::string_view::npos) return std::string();
    rest.remove_prefix(at + sep.size());
  }
}

std::string NthFieldByChar(std::string_view text, char separator, int n) {
  std::string copy(text);
  for (char& c : copy) {
    if (c == separator) c = '|';
  }
  return NthField(copy, "|", n);
}

std::string RightChars(std::string_view text, int count) {
  if (count < 0 || static_cast<std::size_t>(count) >= text.size()) return std::string(text);
  return std::string(text.substr(text.size() - static_cast<std::size_t>(count)));
}

std::string CollapseBackslashes(std::string_view path) {
  std::string result;
  result.reserve(path.size());
  for (char c : path) {
    if (c == '\\' && !result.empty() && result.back() == '\\') continue;
    result.push_back(c);
  }
  return result;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulate the magnitude in 64 bits; one more than INT32_MAX is allowed for the minimum.
  const std::int64_t limit =
      static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + (negative ? 1 : 0);
  std::int64_t magnitude = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

}  // namespace ov
