#pragma once
// Windows and posted messages. Posting never blocks; the UI thread handles posted
// messages and tasks in posting order.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Types.h"

namespace ov::platform {

class Messages {
 public:
  virtual ~Messages() = default;
  // A top-level window of that class, 0 when none.
  virtual WindowHandle FindWindowByClass(const std::string& className) = 0;
  // PostMessage; false when the window does not exist or the queue refuses it.
  virtual bool Post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) = 0;
  // Runs a task on the UI thread, queued behind everything posted before it.
  virtual bool PostTask(std::function<void()> task) = 0;
};

}  // namespace ov::platform
