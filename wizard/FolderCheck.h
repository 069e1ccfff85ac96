#pragma once
// Whether a typed install folder can take the install: a drive of an accepted type, reachable,
// with room, and a folder that can be created.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace ov::wizard {

// The folder needs more than this many whole megabytes free.
constexpr std::uint64_t kMinimumFreeMB = 32;

// `text` is the edit box's text as typed. False with the reason when the folder is refused;
// nothing is shown. A folder created to prove the path is removed again if it is empty.
bool CheckTargetFolder(platform::FileSystem& fs, std::string_view text, std::string& reason);

}  // namespace ov::wizard
