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

}  // namespace ov::win32
