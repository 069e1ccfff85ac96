#pragma once
// Reading the leading number of a registry version text such as "1.5.0_11".
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ov::javatools {

struct MajorNumber {
  std::int32_t status = 0;  // 0, -3 (no ".") or -4 (the text before it is not an integer)
  std::int32_t value = 0;   // the integer before the first "."
  std::size_t dot = 0;      // where the first "." is
};

MajorNumber ReadMajorNumber(std::string_view version);

// Byte-by-byte comparison as unsigned values; a prefix is smaller than the longer text.
bool VersionAtLeast(std::string_view version, std::string_view threshold);

}  // namespace ov::javatools
