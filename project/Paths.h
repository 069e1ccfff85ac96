#pragma once
// Parts of Windows paths, as the project model takes them apart.
#include <string>
#include <string_view>

namespace ov::project {

// The text after the last "\", "/" or ":".
std::string FileNamePart(std::string_view path);
// The text up to and including the last "\", "/" or ":"; "" when there is none.
std::string FolderPart(std::string_view path);
// The file name's text from its last "." on; "" when it has none.
std::string ExtensionOf(std::string_view path);
// True when the extension is ".ov5", in any case.
bool IsBundlePath(std::string_view path);
// A name a catalogue may give a member: a plain file name that stays inside the folder it is unpacked
// into (no folder part, drive, "..", device name or character that file names do not allow).
bool IsPlainFileName(std::string_view name);

}  // namespace ov::project
