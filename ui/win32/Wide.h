#pragma once
// The core keeps Windows-1252 text; the window API gets UTF-16, so "\x99" shows as the trade
// mark sign whatever the system's code page.
#include <string>
#include <string_view>

#include "platform/win32/WindowsApi.h"

namespace ov::ui {

constexpr UINT kCorePage = 1252;

inline std::wstring ToWide(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(kCorePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(kCorePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

// Characters Windows-1252 cannot hold become "?", which no path accepts: a folder typed in
// another script then fails the folder check instead of naming some other folder.
inline std::string FromWide(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      ::WideCharToMultiByte(kCorePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, "?", nullptr);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(kCorePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, text.data(), length, "?",
                        nullptr);
  return text;
}

inline std::wstring WindowTextOf(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

}  // namespace ov::ui
