#include "javatools/VersionText.h"

#include <optional>

#include "support/Text.h"

namespace ov::javatools {

MajorNumber ReadMajorNumber(std::string_view version) {
  MajorNumber major;
  major.dot = version.find('.');
  if (major.dot == std::string_view::npos) {
    major.status = -3;
    return major;
  }
  const std::optional<std::int32_t> number = ParseInt32(version.substr(0, major.dot));
  if (!number) {
    major.status = -4;
    return major;
  }
  major.value = *number;
  return major;
}

bool VersionAtLeast(std::string_view version, std::string_view threshold) {
  // char_traits<char> compares as unsigned char, so "\xE9" sorts above "1.5".
  return version.compare(threshold) >= 0;
}

}  // namespace ov::javatools
