#include "support/ProfileFile.h"

#include <optional>
#include <unordered_set>
#include <utility>

#include "support/Files.h"
#include "support/Text.h"

namespace ov {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string Fold(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

enum class LineKind { Other, Section, Key };

struct ParsedLine {
  LineKind kind = LineKind::Other;
  std::string_view name;   // section name or key, trimmed
  std::string_view value;  // trimmed, still quoted
};

ParsedLine Parse(std::string_view line) {
  ParsedLine parsed;
  std::string_view text = TrimBlanks(line);
  if (text.empty() || text.front() == ';') return parsed;
  if (text.front() == '[') {
    text.remove_prefix(1);
    // A missing "]" ends the name at the line's end.
    parsed.kind = LineKind::Section;
    parsed.name = TrimBlanks(text.substr(0, text.find(']')));
    return parsed;
  }
  parsed.kind = LineKind::Key;
  const auto equals = text.find('=');
  parsed.name = TrimBlanks(text.substr(0, equals));
  if (equals != std::string_view::npos) parsed.value = TrimBlanks(text.substr(equals + 1));
  return parsed;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::optional<std::int32_t> ParseProfileInteger(std::string_view text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    std::uint64_t value = 0;
    for (char c : text.substr(2)) {
      int digit;
      if (c >= '0' && c <= '9') {
        digit = c - '0';
      } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
      } else if (c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
      } else {
        return std::nullopt;
      }
      value = value * 16 + static_cast<std::uint64_t>(digit);
      if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    // Hexadecimal covers the 32 bits, so 0xFFFFFFFF is -1.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
  }
  return ParseInt32(text);
}

}  // namespace

ProfileFile::ProfileFile(platform::FileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {
  if (fs_.FileExists(path_)) {
    const auto text = ReadWholeFile(fs_, path_);
    if (text) {
      lines_ = SplitLines(*text);
    } else {
      writable_ = false;
    }
  }
  Index();
}

void ProfileFile::Index() {
  sections_.clear();
  Section* current = nullptr;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const ParsedLine parsed = Parse(lines_[i]);
    if (parsed.kind == LineKind::Section) {
      if (current) current->end = i;
      // Only the first section of a name is seen; later ones are skipped like foreign text.
      const auto [it, inserted] = sections_.try_emplace(Fold(parsed.name));
      current = inserted ? &it->second : nullptr;
      if (current) {
        current->header = i;
        current->end = i + 1;
      }
    } else if (parsed.kind == LineKind::Key && current) {
      current->keys.try_emplace(Fold(parsed.name), i);
      current->end = i + 1;
    } else if (current) {
      current->end = i + 1;
    }
  }
}

std::vector<std::string> ProfileFile::SectionNames() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const std::string& line : lines_) {
    const ParsedLine parsed = Parse(line);
    if (parsed.kind == LineKind::Section && seen.insert(Fold(parsed.name)).second) names.emplace_back(parsed.name);
  }
  return names;
}

const std::string* ProfileFile::FindValueLine(std::string_view section, std::string_view key) const {
  const auto s = sections_.find(Fold(TrimBlanks(section)));
  if (s == sections_.end()) return nullptr;
  const auto k = s->second.keys.find(Fold(TrimBlanks(key)));
  if (k == s->second.keys.end()) return nullptr;
  return &lines_[k->second];
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue) const {
  const std::string* line = FindValueLine(section, key);
  if (!line) return std::string(defaultValue);
  std::string_view value = Parse(*line).value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, kMaxValueLength));
}

std::int32_t ProfileFile::ReadInteger(std::string_view section, std::string_view key,
                                      std::int32_t defaultValue) const {
  if (!FindValueLine(section, key)) return defaultValue;
  return ParseProfileInteger(ReadString(section, key, "")).value_or(defaultValue);
}

bool ProfileFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  section = TrimBlanks(section);
  key = TrimBlanks(key);
  if (HasLineBreakOrNul(section) || section.find(']') != std::string_view::npos || HasLineBreakOrNul(key) ||
      key.empty() || key.find('=') != std::string_view::npos || key.front() == ';' || key.front() == '[' ||
      HasLineBreakOrNul(value)) {
    return false;
  }
  std::string folded = Fold(section);
  const auto s = sections_.find(folded);
  if (s == sections_.end()) {
    Section added;
    added.header = lines_.size();
    std::string header(1, '[');
    header.append(section).push_back(']');
    lines_.push_back(std::move(header));
    added.keys.emplace(Fold(key), lines_.size());
    lines_.push_back(std::string(key) + "=" + std::string(value));
    added.end = lines_.size();
    sections_.emplace(std::move(folded), std::move(added));
  } else if (const auto k = s->second.keys.find(Fold(key)); k != s->second.keys.end()) {
    // The key keeps the spelling it has in the file.
    lines_[k->second] = std::string(Parse(lines_[k->second]).name) + "=" + std::string(value);
  } else {
    std::size_t at = s->second.end;
    while (at > s->second.header + 1 && TrimBlanks(lines_[at - 1]).empty()) --at;
    InsertLine(at, std::string(key) + "=" + std::string(value));
    s->second.keys.emplace(Fold(key), at);
  }
  return true;
}

void ProfileFile::InsertLine(std::size_t at, std::string line) {
  // Appending (the common case when a file is written key after key) moves no line, so only the
  // section ends need adjusting.
  const bool appended = at == lines_.size();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
  for (auto& [name, section] : sections_) {
    if (section.header >= at) ++section.header;
    if (section.end >= at) ++section.end;
    if (appended) continue;
    for (auto& [key, index] : section.keys) {
      if (index >= at) ++index;
    }
  }
}

bool ProfileFile::SetInteger(std::string_view section, std::string_view key, std::int32_t value) {
  return SetString(section, key, std::to_string(value));
}

bool ProfileFile::Save() {
  if (!writable_) return false;
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return WriteFileAtomically(fs_, path_, text);
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::vector<std::string> lines = lines_;
  std::unordered_map<std::string, Section> sections = sections_;
  if (SetString(section, key, value) && Save()) return true;
  lines_ = std::move(lines);
  sections_ = std::move(sections);
  return false;
}

bool ProfileFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

}  // namespace ov
