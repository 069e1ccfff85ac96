#include "platform/emulated/RegFile.h"

#include <cstdint>
#include <cstdio>

namespace ov::emulated {

using platform::RegType;
using platform::RegValue;

namespace {

struct RootName {
  const char* name;
  platform::RegRoot root;
};
constexpr RootName kRootNames[] = {{"HKEY_LOCAL_MACHINE", platform::RegRoot::LocalMachine},
                                   {"HKEY_CURRENT_USER", platform::RegRoot::CurrentUser},
                                   {"HKEY_CLASSES_ROOT", platform::RegRoot::ClassesRoot}};
constexpr std::string_view kHeader = "REGEDIT4";
constexpr std::size_t kWrapColumn = 76;

// ---- writing ----

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + '"';
}

bool Quotable(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == text.npos;
}

// `line` holds "name=hex...:"; the bytes follow, wrapped as regedit wraps them.
void AppendHex(std::string& out, std::string line, std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    line += kDigits[byte >> 4];
    line += kDigits[byte & 0x0F];
    if (i + 1 == bytes.size()) break;
    line += ',';
    if (line.size() > kWrapColumn) {
      out += line + "\\\r\n";
      line = "  ";
    }
  }
  out += line + "\r\n";
}

void AppendValue(std::string& out, const std::string& name, const RegValue& value) {
  const std::string prefix = (name.empty() ? std::string("@") : Quoted(name)) + "=";
  switch (value.type) {
    case RegType::String:
      if (Quotable(value.text)) {
        out += prefix + Quoted(value.text) + "\r\n";
      } else {
        AppendHex(out, prefix + "hex(1):", value.text + '\0');
      }
      return;
    case RegType::Dword: {
      char digits[9];
      std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value.number));
      out += prefix + "dword:" + digits + "\r\n";
      return;
    }
    case RegType::Binary:
      AppendHex(out, prefix + "hex:", value.text);
      return;
    case RegType::ExpandString:
      AppendHex(out, prefix + "hex(2):", value.text + '\0');
      return;
  }
  char type[16];
  std::snprintf(type, sizeof type, "hex(%x):", static_cast<unsigned>(value.type));
  AppendHex(out, prefix + type, value.text);
}

bool AppendKey(std::string& out, const std::string& keyName, const RegNode& node, bool isRoot) {
  if (!node.values.empty() || (!isRoot && node.subkeys.empty())) {
    out += "[" + keyName + "]\r\n";
    for (const auto& [name, value] : node.values) {
      if (!Quotable(name)) return false;
      AppendValue(out, name, value);
    }
    out += "\r\n";
  }
  for (const auto& [name, child] : node.subkeys) {
    if (!Quotable(name) || !AppendKey(out, keyName + "\\" + name, *child, false)) return false;
  }
  return true;
}

// ---- reading ----

std::string_view TrimSpace(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The logical lines: CR LF or LF breaks, hex continuations ("\" at the end) joined.
std::vector<std::string> LogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  bool continues = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == text.npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = TrimSpace(line);
    if (continues) {
      lines.back() += line;
    } else {
      lines.emplace_back(line);
    }
    continues = !lines.back().empty() && lines.back().back() == '\\' && lines.back().front() != '[' &&
                lines.back().find("=hex") != std::string::npos;
    if (continues) lines.back().pop_back();
  }
  return lines;
}

// A quoted text starting at text[pos] == '"'; pos ends after the closing quote.
std::optional<std::string> ReadQuoted(std::string_view text, std::size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string value;
  for (++pos; pos < text.size(); ++pos) {
    char c = text[pos];
    if (c == '"') {
      ++pos;
      return value;
    }
    if (c == '\\') {
      if (++pos >= text.size() || (text[pos] != '\\' && text[pos] != '"')) return std::nullopt;
      c = text[pos];
    }
    value += c;
  }
  return std::nullopt;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::uint32_t> ReadHexNumber(std::string_view digits, std::size_t maxDigits) {
  if (digits.empty() || digits.size() > maxDigits) return std::nullopt;
  std::uint32_t number = 0;
  for (char c : digits) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    number = number * 16 + static_cast<std::uint32_t>(digit);
  }
  return number;
}

std::optional<std::string> ReadHexBytes(std::string_view list) {
  std::string bytes;
  list = TrimSpace(list);
  if (list.empty()) return bytes;
  while (true) {
    const std::size_t comma = list.find(',');
    const auto byte = ReadHexNumber(TrimSpace(list.substr(0, comma)), 2);
    if (!byte) return std::nullopt;
    bytes += static_cast<char>(*byte);
    if (comma == list.npos) return bytes;
    list = list.substr(comma + 1);
  }
}

std::optional<RegValue> ReadData(std::string_view data) {
  RegValue value;
  if (!data.empty() && data.front() == '"') {
    std::size_t pos = 0;
    auto text = ReadQuoted(data, pos);
    if (!text || pos != data.size()) return std::nullopt;
    value.text = std::move(*text);
    return value;
  }
  if (data.substr(0, 6) == "dword:") {
    const auto number = ReadHexNumber(data.substr(6), 8);
    if (!number) return std::nullopt;
    value.type = RegType::Dword;
    value.number = *number;
    return value;
  }
  std::uint32_t type = static_cast<std::uint32_t>(RegType::Binary);
  if (data.substr(0, 4) == "hex:") {
    data.remove_prefix(4);
  } else if (data.substr(0, 4) == "hex(") {
    const std::size_t close = data.find("):");
    if (close == data.npos) return std::nullopt;
    const auto number = ReadHexNumber(data.substr(4, close - 4), 8);
    if (!number) return std::nullopt;
    type = *number;
    data.remove_prefix(close + 2);
  } else {
    return std::nullopt;
  }
  auto bytes = ReadHexBytes(data);
  if (!bytes) return std::nullopt;
  value.type = static_cast<RegType>(type);
  if (value.type == RegType::Dword) {
    if (bytes->size() != 4) return std::nullopt;
    for (int i = 3; i >= 0; --i) value.number = (value.number << 8) | static_cast<unsigned char>((*bytes)[i]);
    return value;
  }
  if ((value.type == RegType::String || value.type == RegType::ExpandString) && !bytes->empty() &&
      bytes->back() == '\0') {
    bytes->pop_back();
  }
  value.text = std::move(*bytes);
  return value;
}

std::optional<RegFileEntry> ReadSection(std::string_view line) {
  if (line.size() < 2 || line.back() != ']') return std::nullopt;
  const std::string_view name = line.substr(1, line.size() - 2);
  const std::size_t slash = name.find('\\');
  const std::string_view rootName = name.substr(0, slash);
  for (const RootName& root : kRootNames) {
    if (!SameName(rootName, root.name)) continue;
    auto path = SplitKeyPath(slash == name.npos ? std::string_view() : name.substr(slash + 1));
    if (!path || (slash != name.npos && path->empty())) return std::nullopt;
    return RegFileEntry{Locate(root.root, std::move(*path)), std::nullopt};
  }
  return std::nullopt;
}

std::optional<std::pair<std::string, RegValue>> ReadValueLine(std::string_view line) {
  std::string name;
  std::size_t pos = 0;
  if (line.front() == '@') {
    pos = 1;
  } else {
    auto quoted = ReadQuoted(line, pos);
    if (!quoted) return std::nullopt;
    name = std::move(*quoted);
  }
  const std::string_view rest = TrimSpace(line.substr(pos));
  if (rest.empty() || rest.front() != '=') return std::nullopt;
  auto value = ReadData(TrimSpace(rest.substr(1)));
  if (!value) return std::nullopt;
  return std::make_pair(std::move(name), std::move(*value));
}

}  // namespace

std::optional<std::string> FormatRegFile(const Trees& trees) {
  std::string out = std::string(kHeader) + "\r\n\r\n";
  for (const RootName& root : kRootNames) {
    if (root.root == platform::RegRoot::ClassesRoot) continue;
    if (!AppendKey(out, root.name, *trees[TreeIndex(root.root)], true)) return std::nullopt;
  }
  return out;
}

std::optional<std::vector<RegFileEntry>> ParseRegFile(std::string_view text) {
  const std::vector<std::string> lines = LogicalLines(text);
  std::vector<RegFileEntry> entries;
  bool headerSeen = false;
  for (const std::string& line : lines) {
    if (line.empty() || line.front() == ';') continue;
    if (!headerSeen) {
      if (line != kHeader) return std::nullopt;
      headerSeen = true;
      continue;
    }
    if (line.front() == '[') {
      auto section = ReadSection(line);
      if (!section) return std::nullopt;
      entries.push_back(std::move(*section));
      continue;
    }
    if (entries.empty()) return std::nullopt;  // a value before any section
    auto value = ReadValueLine(line);
    if (!value) return std::nullopt;
    RegFileEntry entry{entries.back().key, std::move(*value)};
    entries.push_back(std::move(entry));
  }
  if (!headerSeen) return std::nullopt;
  return entries;
}

}  // namespace ov::emulated
