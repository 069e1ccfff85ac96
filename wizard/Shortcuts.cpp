#include "wizard/Shortcuts.h"

#include <array>
#include <exception>

#include "support/Folders.h"

namespace ov::wizard {
namespace {

constexpr const char* kQuickLaunch = "\\Microsoft\\Internet Explorer\\Quick Launch";
constexpr const char* kLinkName = "Ornivale";

// The all-users folder, or the user's own when the all-users one is not there.
std::string FolderOrFallback(platform::Machine& machine, int first, int fallback,
                             platform::WindowHandle owner) {
  std::string path = SpecialFolderPath(machine.system, first, owner);
  if (!FolderExists(machine.files, path)) path = SpecialFolderPath(machine.system, fallback, owner);
  return path;
}

// `base` + `suffix` when `base` is an existing folder, else empty.
std::string Below(platform::FileSystem& fs, const std::string& base, const char* suffix) {
  return FolderExists(fs, base) ? base + suffix : std::string();
}

}  // namespace

void CreateShellLink(platform::Shell& shell, const std::string& target, const std::string& arguments,
                     const std::string& workingDir, const std::string& linkFile) {
  try {
    shell.SaveShellLink({target, arguments, workingDir}, linkFile);
  } catch (const std::exception&) {
    // A link that cannot be made is missing; the others are still attempted.
  }
}

bool CreateShortcuts(platform::Machine& machine, const std::string& exe, platform::WindowHandle owner) {
  platform::FileSystem& fs = machine.files;
  const std::string dir = exe.substr(0, exe.rfind('\\') + 1);
  if (!FolderExists(fs, dir)) return false;
  try {
    const std::string appData = SpecialFolderPath(machine.system, csidl::kAppData, owner);
    const std::string desktop =
        FolderOrFallback(machine, csidl::kCommonDesktopDirectory, csidl::kDesktop, owner);
    const std::string programs = FolderOrFallback(machine, csidl::kCommonPrograms, csidl::kPrograms, owner);
    const std::string commonAppData = SpecialFolderPath(machine.system, csidl::kCommonAppData, owner);

    const std::string userQuickLaunch = Below(fs, appData, kQuickLaunch);
    const std::string desktopLinks = Below(fs, desktop, "");
    const std::string programLinks = Below(fs, programs, "\\Ornivale");
    if (!programLinks.empty()) ForceFolder(fs, programLinks);
    const std::string commonQuickLaunch = Below(fs, commonAppData, kQuickLaunch);

    const std::string target = dir + "/" + kLinkName + ".exe";
    for (const std::string* folder :
         std::array{&programLinks, &desktopLinks, &userQuickLaunch, &commonQuickLaunch}) {
      if (FolderExists(fs, *folder)) {
        CreateShellLink(machine.shell, target, "", dir, *folder + "/" + kLinkName + ".lnk");
      }
    }
  } catch (const std::exception&) {
    // Whatever failed, the links made so far stay and the wizard still finishes.
  }
  return true;
}

}  // namespace ov::wizard
