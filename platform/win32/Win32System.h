#pragma once
// System folders, the local clock and the user's locale from the real API.
#include "platform/System.h"

namespace ov::win32 {

class Win32System final : public platform::System {
 public:
  std::string TempPath() override;
  std::string WindowsDirectory() override;
  std::optional<std::string> SpecialFolder(int csidl, platform::WindowHandle owner) override;
  platform::LocalTime Now() override;
  char DecimalSeparator() override;
};

}  // namespace ov::win32
