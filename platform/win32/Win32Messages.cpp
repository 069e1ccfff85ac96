#include "platform/win32/Win32Messages.h"

#include <stdexcept>

namespace ov::win32 {
namespace {

constexpr char kTaskWindowClass[] = "OvPlatformTaskWindow";
constexpr UINT kRunTask = WM_APP + 0x2A1;

}  // namespace

Win32Messages::Win32Messages() {
  // A class is registered once per process; later machines reuse it.
  static const bool registered = [] {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &Win32Messages::TaskWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kTaskWindowClass;
    return ::RegisterClassA(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) throw std::runtime_error("cannot register the task window class");
  taskWindow_ = Window(::CreateWindowExA(0, kTaskWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                         ::GetModuleHandleA(nullptr), nullptr));
  if (!taskWindow_.Valid()) throw std::runtime_error("cannot create the task window");
  ::SetWindowLongPtrA(taskWindow_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Messages::~Win32Messages() {
  ::SetWindowLongPtrA(taskWindow_.Get(), GWLP_USERDATA, 0);
  taskWindow_.Reset();
}

platform::WindowHandle Win32Messages::FindWindowByClass(const std::string& className) {
  return reinterpret_cast<platform::WindowHandle>(::FindWindowA(className.c_str(), nullptr));
}

bool Win32Messages::Post(platform::WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                         std::intptr_t lParam) {
  // PostMessage to no window would post to the calling thread instead.
  if (window == 0) return false;
  return ::PostMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam) != 0;
}

bool Win32Messages::PostTask(std::function<void()> task) {
  if (!task) return false;
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
  if (::PostMessageA(taskWindow_.Get(), kRunTask, 0, 0)) return true;
  // Still the last one: the lock keeps every other poster out.
  tasks_.pop_back();
  return false;
}

void Win32Messages::RunNextTask() {
  std::function<void()> task;
  {
    std::lock_guard lock(mutex_);
    if (tasks_.empty()) return;
    task = std::move(tasks_.front());
    tasks_.pop_front();
  }
  try {
    task();
  } catch (...) {
    // An exception cannot unwind through the system's message dispatch; tasks report their own failures.
  }
}

LRESULT CALLBACK Win32Messages::TaskWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kRunTask) {
    if (auto* self = reinterpret_cast<Win32Messages*>(::GetWindowLongPtrA(window, GWLP_USERDATA)))
      self->RunNextTask();
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace ov::win32
