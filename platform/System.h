#pragma once
// System folders, the local clock and the user's locale.
#include <optional>
#include <string>

#include "platform/Types.h"

namespace ov::platform {

class System {
 public:
  virtual ~System() = default;
  // GetTempPath: ends with a backslash; empty when the query fails.
  virtual std::string TempPath() = 0;
  // GetWindowsDirectory: no trailing backslash; empty when the query fails.
  virtual std::string WindowsDirectory() = 0;
  // The file-system path of a shell special folder by CSIDL, as the shell returns it;
  // nullopt when the folder does not exist here or has no file-system path.
  virtual std::optional<std::string> SpecialFolder(int csidl, WindowHandle owner) = 0;
  virtual LocalTime Now() = 0;
  // The decimal separator of the user's default locale.
  virtual char DecimalSeparator() = 0;
};

}  // namespace ov::platform
