#pragma once
// REGEDIT4 text: "[HKEY_LOCAL_MACHINE\Key]" sections, "name"="text" (with \\ and \" escaped),
// @= for the default value, dword:0000000a, hex: for binary, hex(2): for expandable strings
// (with their terminating zero) and hex(n): for other types. Strings that REGEDIT4 cannot
// quote (line breaks, zero bytes) are written as hex(1):, so every value reads back exactly.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/emulated/RegistryTree.h"

namespace ov::emulated {

// One section header or value line of a file.
struct RegFileEntry {
  KeyLocation key;
  std::optional<std::pair<std::string, platform::RegValue>> value;  // none for a section header
};

// Every key with a value or without subkeys gets a section, in enumeration order; CR LF lines.
// HKEY_CLASSES_ROOT is written where it lives, under HKEY_LOCAL_MACHINE\Software\Classes.
// Nullopt when a key or value name holds a line break or a zero byte, which the format cannot hold.
std::optional<std::string> FormatRegFile(const Trees& trees);
// Nullopt for text that is not REGEDIT4 or has a line it cannot read.
std::optional<std::vector<RegFileEntry>> ParseRegFile(std::string_view text);

}  // namespace ov::emulated
