#pragma once
// Windows and posted messages on the real API. Tasks run on the thread that created this
// object (the UI thread) through a hidden message-only window, in posting order with the
// thread's other posted messages.
#include <deque>
#include <mutex>

#include "platform/Messages.h"
#include "platform/win32/Handles.h"

namespace ov::win32 {

class Win32Messages final : public platform::Messages {
 public:
  // Creates the task window on the calling thread; throws std::runtime_error when it cannot.
  Win32Messages();
  // On the thread that created it: tasks still queued are dropped.
  ~Win32Messages() override;
  Win32Messages(const Win32Messages&) = delete;
  Win32Messages& operator=(const Win32Messages&) = delete;

  platform::WindowHandle FindWindowByClass(const std::string& className) override;
  bool Post(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
            std::intptr_t lParam) override;
  bool PostTask(std::function<void()> task) override;

 private:
  static LRESULT CALLBACK TaskWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RunNextTask();

  // Each posted run-task message takes one task from the front; the message carries no
  // pointer, so a stray message cannot make the window free memory it does not own.
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  Window taskWindow_;
};

}  // namespace ov::win32
