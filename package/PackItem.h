#pragma once
// One catalogue entry of the package.
#include <cstdint>
#include <string>
#include <string_view>

namespace ov::package {

struct TPackItem {
  std::string Folder;  // relative to the install folder, "\" or "" for the folder itself
  std::string Name;    // the file name; the extraction replaces it with the written file's full path
  std::int32_t Size = 0;
  std::int32_t FileDate = 0;  // MS-DOS date and time, local; 0 = no date
  std::int32_t Offset = 0;
  std::int32_t Error = 0;  // 0, or -11 when a number of the line did not convert

  // Fills the entry from the part of a catalogue line before its "|":
  // Folder, Name, Offset, Size, FileDate. Fields filled before a failed conversion keep their values.
  void Parse(std::string_view text);
};

}  // namespace ov::package
