#include "platform/emulated/EmulatedMessages.h"

#include "platform/emulated/Names.h"

namespace ov::emulated {

using platform::WindowHandle;

WindowHandle EmulatedMessages::AddWindow(const std::string& className, WindowProc proc) {
  std::lock_guard lock(mutex_);
  const WindowHandle handle = nextWindow_;
  nextWindow_ += 0x10;
  windows_[handle] = Window{className, std::move(proc)};
  return handle;
}

WindowHandle EmulatedMessages::AddForeignWindow(const std::string& className) {
  return AddWindow(className, {});
}

WindowHandle EmulatedMessages::CreateWindow(const std::string& className, WindowProc proc) {
  if (!proc) return 0;
  return AddWindow(className, std::move(proc));
}

void EmulatedMessages::DestroyWindow(WindowHandle window) {
  std::lock_guard lock(mutex_);
  windows_.erase(window);
}

WindowHandle EmulatedMessages::FindWindowByClass(const std::string& className) {
  std::lock_guard lock(mutex_);
  for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
    if (SameName(it->second.className, className)) return it->first;
  }
  return 0;
}

bool EmulatedMessages::Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) {
  std::lock_guard lock(mutex_);
  const auto it = windows_.find(window);
  if (it == windows_.end()) return false;
  if (!it->second.proc) return true;
  queue_.push_back(Item{window, message, wParam, lParam, {}});
  posted_.notify_all();
  return true;
}

bool EmulatedMessages::PostTask(std::function<void()> task) {
  if (!task) return false;
  std::lock_guard lock(mutex_);
  queue_.push_back(Item{0, 0, 0, 0, std::move(task)});
  posted_.notify_all();
  return true;
}

bool EmulatedMessages::Next(Item& item, std::chrono::steady_clock::time_point deadline) {
  std::unique_lock lock(mutex_);
  if (!posted_.wait_until(lock, deadline, [this] { return !queue_.empty(); })) return false;
  item = std::move(queue_.front());
  queue_.pop_front();
  return true;
}

void EmulatedMessages::Dispatch(const Item& item) {
  if (item.task) {
    item.task();
    return;
  }
  WindowProc proc;
  {
    std::lock_guard lock(mutex_);
    const auto it = windows_.find(item.window);
    if (it == windows_.end()) return;  // destroyed since the message was posted
    proc = it->second.proc;
  }
  proc(item.message, item.wParam, item.lParam);
}

std::size_t EmulatedMessages::PumpPending() {
  std::size_t count = 0;
  Item item;
  while (Next(item, std::chrono::steady_clock::now())) {
    Dispatch(item);
    ++count;
  }
  return count;
}

bool EmulatedMessages::PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  Item item;
  while (!condition()) {
    if (!Next(item, deadline)) return condition();
    Dispatch(item);
  }
  return true;
}

}  // namespace ov::emulated
