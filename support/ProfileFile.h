#pragma once
// Profile (INI) files with the platform's rules:
// - sections and keys match without regard to case; the first section and key of a name count;
// - values are read trimmed of blanks, without one pair of enclosing quotes, at most 2047 characters;
// - integers are decimal, or hexadecimal after "0x";
// - a write replaces the key's line in place, adds a new key at the end of its section and a new
//   section at the end of the file; lines end with CR LF and no blank lines are added.
// The file is read once when opened and never emptied. Set* change the text in memory and Save writes
// it as a whole, under a temporary name that replaces the file only when complete; Write* do both, as
// the platform's own profile writes do.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/FileSystem.h"

namespace ov {

class ProfileFile {
 public:
  static constexpr std::size_t kMaxValueLength = 2047;

  // A missing file starts empty and is created by the first write. A file that exists but cannot be
  // read refuses every write, so its content is never replaced by a partial one.
  ProfileFile(platform::FileSystem& fs, std::string path);

  const std::string& Path() const { return path_; }
  // Lines of the file as read or written, blank and comment lines included.
  std::size_t LineCount() const { return lines_.size(); }

  // The sections' names in file order, each name once, as first spelled.
  std::vector<std::string> SectionNames() const;

  // The value, or the default when the section or key is missing.
  std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
  // The default also when the value is not a 32-bit integer.
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;

  // False, with nothing changed, when a name or the value cannot be stored as a line: a line break or
  // NUL anywhere, an empty key, "=" in a key or one starting with ";" or "[", "]" in a section name.
  bool SetString(std::string_view section, std::string_view key, std::string_view value);
  bool SetInteger(std::string_view section, std::string_view key, std::int32_t value);
  // Writes the text to the file; false, with the file as it was, when it cannot be written or when
  // the file existed but could not be read.
  bool Save();

  // Set and Save in one; on failure neither the file nor this object changes.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

 private:
  struct Section {
    std::size_t header = 0;  // line of "[name]"
    std::size_t end = 0;     // one past its last line
    std::unordered_map<std::string, std::size_t> keys;  // folded key -> line of its first occurrence
  };

  void Index();
  void InsertLine(std::size_t at, std::string line);
  const std::string* FindValueLine(std::string_view section, std::string_view key) const;

  platform::FileSystem& fs_;
  std::string path_;
  bool writable_ = true;
  std::vector<std::string> lines_;
  std::unordered_map<std::string, Section> sections_;  // folded name -> its first occurrence
};

}  // namespace ov
