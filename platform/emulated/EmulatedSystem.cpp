#include "platform/emulated/EmulatedSystem.h"

namespace ov::emulated {

EmulatedSystem::EmulatedSystem(std::shared_ptr<Clock> clock) : clock_(std::move(clock)) {}

void EmulatedSystem::SetTempPath(std::string path) {
  // GetTempPath always ends its answer with a backslash.
  if (!path.empty() && path.back() != '\\') path += '\\';
  std::lock_guard lock(mutex_);
  tempPath_ = std::move(path);
}

void EmulatedSystem::SetWindowsDirectory(std::string path) {
  std::lock_guard lock(mutex_);
  windowsDirectory_ = std::move(path);
}

void EmulatedSystem::SetSpecialFolder(int csidl, std::optional<std::string> path) {
  std::lock_guard lock(mutex_);
  if (path) {
    specialFolders_[csidl] = std::move(*path);
  } else {
    specialFolders_.erase(csidl);
  }
}

void EmulatedSystem::SetClock(const platform::LocalTime& time) { clock_->Set(time); }

void EmulatedSystem::SetDecimalSeparator(char separator) {
  std::lock_guard lock(mutex_);
  decimalSeparator_ = separator;
}

std::string EmulatedSystem::TempPath() {
  std::lock_guard lock(mutex_);
  return tempPath_;
}

std::string EmulatedSystem::WindowsDirectory() {
  std::lock_guard lock(mutex_);
  return windowsDirectory_;
}

std::optional<std::string> EmulatedSystem::SpecialFolder(int csidl, platform::WindowHandle) {
  std::lock_guard lock(mutex_);
  const auto it = specialFolders_.find(csidl);
  if (it == specialFolders_.end()) return std::nullopt;
  return it->second;
}

platform::LocalTime EmulatedSystem::Now() { return clock_->Now(); }

char EmulatedSystem::DecimalSeparator() {
  std::lock_guard lock(mutex_);
  return decimalSeparator_;
}

}  // namespace ov::emulated
