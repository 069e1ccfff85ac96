#include "platform/win32/Win32System.h"

#include "platform/win32/Handles.h"

namespace ov::win32 {
namespace {

// Calls a GetXxxPath-style query (length without the zero on success, the size needed when
// the buffer is too small, 0 on failure) and returns its text, empty on failure.
template <typename Query>
std::string QueryPath(Query query) {
  std::string buffer(MAX_PATH + 1, '\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const UINT length = query(static_cast<UINT>(buffer.size()), buffer.data());
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(length + 1, '\0');
  }
  return {};
}

}  // namespace

std::string Win32System::TempPath() {
  return QueryPath([](UINT size, char* buffer) { return static_cast<UINT>(::GetTempPathA(size, buffer)); });
}

std::string Win32System::WindowsDirectory() {
  return QueryPath([](UINT size, char* buffer) { return ::GetWindowsDirectoryA(buffer, size); });
}

std::optional<std::string> Win32System::SpecialFolder(int csidl, platform::WindowHandle owner) {
  ShellIdList list;
  if (FAILED(::SHGetSpecialFolderLocation(reinterpret_cast<HWND>(owner), csidl, list.Receive())) ||
      !list.Get())
    return std::nullopt;
  char path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListA(list.Get(), path) || path[0] == '\0') return std::nullopt;
  return std::string(path);
}

platform::LocalTime Win32System::Now() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  platform::LocalTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.millisecond = now.wMilliseconds;
  return time;
}

char Win32System::DecimalSeparator() {
  char separator[4] = {};
  // The locale gives at most three characters; the first one is the separator used.
  if (::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) == 0 ||
      separator[0] == '\0')
    return '.';
  return separator[0];
}

}  // namespace ov::win32
