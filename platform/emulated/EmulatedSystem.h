#pragma once
// System folders, clock and locale of the emulated machine, as the test sets them.
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/System.h"
#include "platform/emulated/Clock.h"

namespace ov::emulated {

class EmulatedSystem final : public platform::System {
 public:
  explicit EmulatedSystem(std::shared_ptr<Clock> clock);

  void SetTempPath(std::string path);
  void SetWindowsDirectory(std::string path);
  void SetSpecialFolder(int csidl, std::optional<std::string> path);
  void SetClock(const platform::LocalTime& time);
  void SetDecimalSeparator(char separator);

  std::string TempPath() override;
  std::string WindowsDirectory() override;
  std::optional<std::string> SpecialFolder(int csidl, platform::WindowHandle owner) override;
  platform::LocalTime Now() override;
  char DecimalSeparator() override;

 private:
  const std::shared_ptr<Clock> clock_;
  std::mutex mutex_;
  std::string tempPath_ = "C:\\windows\\temp\\";
  std::string windowsDirectory_ = "C:\\windows";
  std::map<int, std::string> specialFolders_;
  char decimalSeparator_ = '.';
};

}  // namespace ov::emulated
