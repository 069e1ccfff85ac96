#include "platform/win32/Win32Resources.h"

#include "platform/win32/WindowsApi.h"

namespace ov::win32 {

std::optional<std::string_view> Win32Resources::Find(const std::string& name, platform::ResourceType type) {
  // Loaded resources stay mapped as long as the module: no unlock or free is needed.
  const HMODULE module = ::GetModuleHandleA(nullptr);
  const HRSRC found = ::FindResourceA(module, name.c_str(), MAKEINTRESOURCEA(static_cast<WORD>(type)));
  if (!found) return std::nullopt;
  const HGLOBAL loaded = ::LoadResource(module, found);
  if (!loaded) return std::nullopt;
  const void* data = ::LockResource(loaded);
  if (!data) return std::nullopt;
  return std::string_view(static_cast<const char*>(data), ::SizeofResource(module, found));
}

void Win32Resources::Release(std::string_view part) {
  SYSTEM_INFO system{};
  ::GetSystemInfo(&system);
  const std::string_view pages = platform::PagesWithin(part, system.dwPageSize);
  if (pages.empty()) return;
  // On pages that are not locked this only drops them from the working set (and reports
  // ERROR_NOT_LOCKED): the bytes stay mapped and are read in again when touched.
  ::VirtualUnlock(const_cast<char*>(pages.data()), pages.size());
}

}  // namespace ov::win32
