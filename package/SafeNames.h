#pragma once
// Catalogue names that keep a member file inside the install folder. The extraction writes
// install folder + Folder + "\" + Name, so these are the only names it may be given.
#include <string_view>

namespace ov::package {

// "" or "\" (the install folder itself), or "\" followed by components separated by single
// backslashes, one trailing backslash allowed. No component is empty, "." or "..", or ends with a
// dot or a space (Windows drops those, so "..." or ".. " would climb out); no ":", "/", or control
// character anywhere (no drive, no stream, no second kind of separator); no component is a device
// name such as CON, NUL.txt or COM1, which Windows opens as the device.
bool IsSafeFolder(std::string_view folder);

// A plain file name under the same rules, with no backslash.
bool IsSafeName(std::string_view name);

}  // namespace ov::package
