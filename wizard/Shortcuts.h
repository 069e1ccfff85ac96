#pragma once
// The product's shortcuts: its own program-menu folder, the desktop and both Quick Launch folders.
#include <string>

#include "platform/Machine.h"

namespace ov::wizard {

// One shell link file; a link that cannot be saved is simply missing.
void CreateShellLink(platform::Shell& shell, const std::string& target, const std::string& arguments,
                     const std::string& workingDir, const std::string& linkFile);

// `exe` is the product's executable. False, with nothing done, when its folder does not exist;
// otherwise every link that can be made is made and the result is true.
bool CreateShortcuts(platform::Machine& machine, const std::string& exe, platform::WindowHandle owner);

}  // namespace ov::wizard
