#include "package/PackItem.h"

#include <optional>

#include "support/Text.h"

namespace ov::package {

namespace {

bool Convert(std::string_view field, std::int32_t& target) {
  std::optional<std::int32_t> value = ParseInt32(Trim(field));
  if (!value) return false;
  target = *value;
  return true;
}

// Everything after the fourth comma: the date is the rest of the line, so a line with a sixth
// field does not convert.
std::string_view AfterFourthComma(std::string_view text) {
  for (int i = 0; i < 4; ++i) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return {};
    text.remove_prefix(comma + 1);
  }
  return text;
}

}  // namespace

void TPackItem::Parse(std::string_view text) {
  Folder = Trim(NthField(text, ",", 1));
  Name = Trim(NthField(text, ",", 2));
  Error = 0;
  if (!Convert(NthField(text, ",", 3), Offset) || !Convert(NthField(text, ",", 4), Size) ||
      !Convert(AfterFourthComma(text), FileDate)) {
    Error = -11;
  }
}

}  // namespace ov::package
