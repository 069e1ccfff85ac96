#pragma once
// Windows and the UI thread's queue of the emulated machine. Posting is thread-safe and never
// blocks; the pump runs on whichever thread calls it (the test's UI thread) and dispatches in
// posting order, outside the lock, so handlers may post again.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>

#include "platform/Messages.h"
#include "platform/emulated/WindowProc.h"

namespace ov::emulated {

class EmulatedMessages final : public platform::Messages {
 public:
  platform::WindowHandle AddForeignWindow(const std::string& className);
  platform::WindowHandle CreateWindow(const std::string& className, WindowProc proc);
  // Messages still queued for the window are dropped.
  void DestroyWindow(platform::WindowHandle window);
  // Dispatches until the queue is empty; the number of messages and tasks dispatched.
  std::size_t PumpPending();
  bool PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

  // The most recently created window of that class (class names compare without regard to case).
  platform::WindowHandle FindWindowByClass(const std::string& className) override;
  // Messages to another program's window are accepted and go nowhere.
  bool Post(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
            std::intptr_t lParam) override;
  bool PostTask(std::function<void()> task) override;

 private:
  struct Window {
    std::string className;
    WindowProc proc;  // empty for another program's window
  };
  struct Item {
    platform::WindowHandle window = 0;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::function<void()> task;
  };

  platform::WindowHandle AddWindow(const std::string& className, WindowProc proc);
  // Takes the next item, waiting until `deadline` for one; false when none came.
  bool Next(Item& item, std::chrono::steady_clock::time_point deadline);
  void Dispatch(const Item& item);

  std::mutex mutex_;
  std::condition_variable posted_;
  std::map<platform::WindowHandle, Window> windows_;
  std::deque<Item> queue_;
  platform::WindowHandle nextWindow_ = 0x10010;
};

}  // namespace ov::emulated
