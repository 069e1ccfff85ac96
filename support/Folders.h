#pragma once
// Folder helpers shared by every subsystem.
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/System.h"

namespace ov {

// True exactly when the path names an existing folder (a trailing backslash does not matter).
bool FolderExists(platform::FileSystem& fs, std::string_view path);

// Creates the folder and every missing parent; true when the folder exists afterwards.
// Raises OvError("Unable to create directory") for the empty text.
bool ForceFolder(platform::FileSystem& fs, std::string_view path);

// The file-system path of a shell special folder without a trailing backslash; "" when it
// does not exist here or has no path.
std::string SpecialFolderPath(platform::System& system, int csidl, platform::WindowHandle owner = 0);

namespace csidl {
constexpr int kDesktop = 0x00;
constexpr int kPrograms = 0x02;
constexpr int kCommonPrograms = 0x17;
constexpr int kCommonDesktopDirectory = 0x19;
constexpr int kAppData = 0x1A;
constexpr int kCommonAppData = 0x23;
constexpr int kProgramFiles = 0x26;
}  // namespace csidl

}  // namespace ov
