#pragma once
// Owners for GDI objects and windows the window code creates.
#include <utility>

#include "platform/win32/WindowsApi.h"

namespace ov::ui {

// A font, brush or bitmap, deleted when its owner goes.
template <typename Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void Reset(Handle handle = nullptr) {
    if (handle_) ::DeleteObject(handle_);
    handle_ = handle;
  }

 private:
  Handle handle_ = nullptr;
};

using Font = GdiObject<HFONT>;
using Brush = GdiObject<HBRUSH>;
using Bitmap = GdiObject<HBITMAP>;

// A window's device context (the screen's for no window), released when its owner goes.
class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ::ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A top-level window this program made. Release() is for the window procedure, once the
// system has destroyed the window by itself.
class OwnedWindow {
 public:
  OwnedWindow() = default;
  explicit OwnedWindow(HWND window) : window_(window) {}
  ~OwnedWindow() { Reset(); }
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;

  HWND Get() const { return window_; }
  void Reset(HWND window = nullptr) {
    if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
    window_ = window;
  }
  void Release() { window_ = nullptr; }

 private:
  HWND window_ = nullptr;
};

}  // namespace ov::ui
