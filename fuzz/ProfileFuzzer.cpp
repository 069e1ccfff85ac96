// The profile-file reader and writer on any text. Every value read keeps the reading rules; a write
// that is accepted reads back as written and leaves every other key's value as it was.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "support/ProfileFile.h"

namespace {

using ov::fuzz::Printable;

constexpr const char* kProfile = "C:\\fz\\p.ini";
// Enough pairs to cover a document's sections, few enough to keep a run fast.
constexpr std::size_t kMaxPairs = 64;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Names as they are matched: trimmed of blanks, ASCII letters in one case.
std::string Folded(std::string_view name) {
  std::string folded(TrimBlanks(name));
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// The value a reader gets for a value written as it is.
std::string AsRead(std::string_view written) {
  std::string_view value = TrimBlanks(written);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, ov::ProfileFile::kMaxValueLength));
}

struct Pair {
  std::string section;
  std::string key;
};

// Section and key names as the text spells them: "[name]" lines and the part of other lines before "=".
std::vector<Pair> PairsOf(std::string_view text) {
  std::vector<Pair> pairs;
  std::string section;
  std::size_t start = 0;
  while (start < text.size() && pairs.size() < kMaxPairs) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = TrimBlanks(text.substr(start, end - start));
    start = end + 1;
    if (line.empty()) continue;
    if (line.front() == '[') {
      section = std::string(line.substr(1, line.find(']') - 1));  // to the line's end without a "]"
    } else if (line.front() != ';') {
      pairs.push_back({section, std::string(line.substr(0, line.find('=')))});
    }
  }
  return pairs;
}

std::vector<std::string> ValuesOf(const ov::ProfileFile& file, const std::vector<Pair>& pairs) {
  std::vector<std::string> values;
  for (const Pair& pair : pairs) values.push_back(file.ReadString(pair.section, pair.key, "\x01missing"));
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string_view data(reinterpret_cast<const char*>(bytes), size);
  ov::emulated::EmulatedMachine& machine = ov::fuzz::Machine();
  ov::platform::FileSystem& fs = machine.machine().files;

  // The last line of the input, when it has an "=", is the write to make; the rest is the file.
  const std::size_t lastBreak = data.find_last_of("\r\n");
  const std::string_view text =
      lastBreak == std::string_view::npos ? std::string_view() : data.substr(0, lastBreak + 1);
  const std::string_view write = lastBreak == std::string_view::npos ? data : data.substr(lastBreak + 1);
  ov::fuzz::PutFile(fs, kProfile, text);

  const std::vector<Pair> pairs = PairsOf(text);
  std::vector<std::string> before;
  {
    const ov::ProfileFile file(fs, kProfile);
    std::vector<std::string> names;
    for (const std::string& name : file.SectionNames()) names.push_back(Folded(name));
    std::sort(names.begin(), names.end());
    OV_FUZZ_CHECK(std::adjacent_find(names.begin(), names.end()) == names.end(), "a section is listed twice");
    before = ValuesOf(file, pairs);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      const std::string& value = before[i];
      OV_FUZZ_CHECK(value.size() <= ov::ProfileFile::kMaxValueLength,
                    "a value longer than the limit was read");
      OV_FUZZ_CHECK(value.find_first_of("\r\n") == std::string::npos, "a value holds a line break");
      file.ReadInteger(pairs[i].section, pairs[i].key, -7);
    }
  }

  const std::size_t equals = write.find('=');
  if (equals == std::string_view::npos) return 0;
  // "section/key=value": a write into one of the file's sections, or into a new one.
  const std::string_view target = write.substr(0, equals);
  const std::size_t slash = target.find('/');
  const std::string section(slash == std::string_view::npos ? std::string_view("S")
                                                            : target.substr(0, slash));
  const std::string key(slash == std::string_view::npos ? target : target.substr(slash + 1));
  const std::string value(write.substr(equals + 1));

  bool written = false;
  std::string heldValue;
  {
    ov::ProfileFile file(fs, kProfile);
    written = file.WriteString(section, key, value);
    heldValue = file.ReadString(section, key, "\x01missing");
  }
  const ov::ProfileFile reread(fs, kProfile);
  const std::string readBack = reread.ReadString(section, key, "\x01missing");
  OV_FUZZ_CHECK(heldValue == readBack, "the object and the file disagree after a write");
  if (written) {
    OV_FUZZ_CHECK(readBack == AsRead(value), "[" + Printable(section) + "] " + Printable(key) +
                                                 " reads back as \"" + Printable(readBack) + "\"");
  }
  const std::vector<std::string> after = ValuesOf(reread, pairs);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    if (written && Folded(pairs[i].section) == Folded(section) && Folded(pairs[i].key) == Folded(key))
      continue;
    OV_FUZZ_CHECK(after[i] == before[i], "writing [" + Printable(section) + "] " + Printable(key) +
                                             " changed [" + Printable(pairs[i].section) + "] " +
                                             Printable(pairs[i].key) + " from \"" + Printable(before[i]) +
                                             "\" to \"" + Printable(after[i]) + "\"");
  }
  return 0;
}
