#pragma once
// The real Windows machine: every platform interface on the system's own API.
// Construct and destroy it on the UI thread: tasks posted to it run there, and it keeps COM
// initialised for that thread while it lives.
#include <memory>

#include "platform/Machine.h"

namespace ov::win32 {

class Win32Machine {
 public:
  // Throws std::runtime_error when the UI thread's task window cannot be made.
  Win32Machine();
  ~Win32Machine();
  Win32Machine(const Win32Machine&) = delete;
  Win32Machine& operator=(const Win32Machine&) = delete;

  platform::Machine& machine();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ov::win32
